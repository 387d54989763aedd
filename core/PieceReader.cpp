// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "PieceReader.h"

#include "TextFile.h"

#include <QFileDevice>
#include <QIODevice>

#include <cerrno>
#include <cstring>

PieceReader::PieceReader(QIODevice &device, qint64 maxBytes, qsizetype chunk, qint64 maxPiece)
    : m_device(device)
    , m_maxBytes(maxBytes)
    , m_chunk(chunk)
    , m_maxPiece(maxPiece)
{ }

// Where the unread part may be cut: after its last LF, or after its last CR
// when that is not its last byte (an LF may still come); 0 when it holds
// no such line end.
qsizetype PieceReader::cutPoint() const
{
    const QByteArrayView unread(m_buffer.constData() + m_begin, m_end - m_begin);
    const qsizetype lf = unread.lastIndexOf('\n');
    if (lf >= 0)
        return lf + 1;
    if (unread.size() < 2)
        return 0;
    return unread.chopped(1).lastIndexOf('\r') + 1;
}

// Moves the unread part to the front and reads behind it until the buffer
// holds a chunk more; false on a failure.
bool PieceReader::fill()
{
    const qsizetype rest = m_end - m_begin;
    if (m_begin > 0 && rest > 0)
        std::memmove(m_buffer.data(), m_buffer.constData() + m_begin, size_t(rest));
    m_begin = 0;
    m_end = rest;
    if (rest >= m_maxPiece) {
        m_error = TextFile::tooLargeReason(m_maxPiece);
        return false;
    }
    if (m_buffer.size() < rest + m_chunk)
        m_buffer.resize(rest + m_chunk);
    while (m_end < m_buffer.size() && !m_atEnd) {
        errno = 0;
        const qint64 got = m_device.read(m_buffer.data() + m_end, m_buffer.size() - m_end);
        if (got < 0) {
            m_error = TextFile::failureReason(m_device, errno, QFileDevice::ReadError);
            return false;
        }
        if (got == 0 && (!m_device.isSequential() || !m_device.waitForReadyRead(30000)))
            m_atEnd = true;
        m_end += got;
        m_total += got;
        if (m_total > m_maxBytes) {
            // The file grew while it was read, or a device that tells no size.
            m_error = TextFile::tooLargeReason(m_maxBytes);
            return false;
        }
    }
    return true;
}

bool PieceReader::next(QByteArrayView &piece)
{
    if (failed())
        return false;
    qsizetype cut = cutPoint();
    while (cut == 0 && !m_atEnd) {
        if (!fill())
            return false;
        cut = cutPoint();
    }
    if (cut == 0)
        cut = m_end - m_begin; // the last line, without its end
    if (cut == 0)
        return false;
    piece = QByteArrayView(m_buffer.constData() + m_begin, cut);
    m_begin += cut;
    return true;
}
