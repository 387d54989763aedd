// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QIODevice;

// Reads a text file in pieces of about a few megabytes, each ending at a
// line end (after an LF, or after a CR that no LF can follow) or at the
// file's end, so that the file is never held whole and no line and no
// character is cut. A line longer than a piece makes the piece grow, up to
// maxPiece: a longer one (a damaged file without line ends) is a failure.
//
//   PieceReader pieces(file, maxBytes);
//   QByteArrayView piece;
//   while (pieces.next(piece))
//       use(piece);
//   if (pieces.failed()) ...
class PieceReader
{
public:
    static constexpr qsizetype DefaultChunk = qsizetype(4) << 20;

    PieceReader(QIODevice &device, qint64 maxBytes, qsizetype chunk = DefaultChunk, qint64 maxPiece = qint64(1) << 30);

    // The next piece; valid until the next call. False at the end or on a
    // failure.
    bool next(QByteArrayView &piece);
    bool failed() const { return !m_error.isEmpty(); }
    QString error() const { return m_error; }

private:
    bool fill();
    qsizetype cutPoint() const;

    QIODevice &m_device;
    qint64 m_maxBytes;
    qsizetype m_chunk;
    qint64 m_maxPiece;
    QByteArray m_buffer;
    qsizetype m_begin = 0; // the unread part is [m_begin, m_end)
    qsizetype m_end = 0;
    qint64 m_total = 0;
    bool m_atEnd = false;
    QString m_error;
};
