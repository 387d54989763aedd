// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QBuffer>
#include <QByteArray>

// An in-memory device that fails on demand: writes fail once more than
// writeLimit bytes would have been taken, reads fail once readLimit bytes
// were given. -1 means no limit. What was accepted stays in data().
//
// Buffered, it behaves as a file whose writes land in a buffer: every write
// is reported as taken, and only flush() hands the bytes on, failing there
// when they pass writeLimit (what was handed on before the failure stays).
class FailingDevice : public QIODevice
{
    Q_OBJECT

public:
    explicit FailingDevice(qint64 writeLimit = -1, qint64 readLimit = -1, QObject *parent = nullptr);

    void setContent(const QByteArray &bytes) { m_data = bytes; }
    void setBuffered(bool buffered) { m_buffered = buffered; }
    // Hands the buffered bytes on; false when the limit stops them.
    bool flush();
    const QByteArray &data() const { return m_data; }
    int failures() const { return m_failures; }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    bool take(const char *data, qint64 size);

    QByteArray m_data;
    QByteArray m_pending;
    bool m_buffered = false;
    qint64 m_readPos = 0;
    qint64 m_writeLimit;
    qint64 m_readLimit;
    int m_failures = 0;
};
