// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "FailingDevice.h"

#include <utility>

FailingDevice::FailingDevice(qint64 writeLimit, qint64 readLimit, QObject *parent)
    : QIODevice(parent)
    , m_writeLimit(writeLimit)
    , m_readLimit(readLimit)
{ }

qint64 FailingDevice::bytesAvailable() const
{
    return m_data.size() - m_readPos + QIODevice::bytesAvailable();
}

qint64 FailingDevice::readData(char *data, qint64 maxSize)
{
    if (m_readLimit >= 0 && m_readPos >= m_readLimit) {
        ++m_failures;
        setErrorString(QStringLiteral("Input/output error"));
        return -1;
    }
    qint64 n = qMin(maxSize, qint64(m_data.size()) - m_readPos);
    if (m_readLimit >= 0)
        n = qMin(n, m_readLimit - m_readPos);
    memcpy(data, m_data.constData() + m_readPos, size_t(n));
    m_readPos += n;
    return n;
}

bool FailingDevice::take(const char *data, qint64 size)
{
    if (m_writeLimit >= 0 && m_data.size() + size > m_writeLimit) {
        m_data.append(data, qMax<qint64>(0, m_writeLimit - m_data.size()));
        ++m_failures;
        setErrorString(QStringLiteral("No space left on device"));
        return false;
    }
    m_data.append(data, size);
    return true;
}

qint64 FailingDevice::writeData(const char *data, qint64 maxSize)
{
    if (m_buffered) {
        m_pending.append(data, maxSize);
        return maxSize;
    }
    // Unbuffered, a refused write takes nothing.
    if (m_writeLimit >= 0 && m_data.size() + maxSize > m_writeLimit) {
        ++m_failures;
        setErrorString(QStringLiteral("No space left on device"));
        return -1;
    }
    return take(data, maxSize) ? maxSize : -1;
}

bool FailingDevice::flush()
{
    const QByteArray pending = std::exchange(m_pending, QByteArray());
    return take(pending.constData(), pending.size());
}
