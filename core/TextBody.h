// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "TextCodec.h"

#include <QByteArray>
#include <QByteArrayView>

// The bytes of a whole text file made ready to be cut into lines
// (LineSplitter) and decoded line by line (TextCodec::decodeInto with
// lineEncoding()): the encoding is detected, the byte-order mark taken off,
// and a UTF-16 file converted to UTF-8 once, so that its line ends are
// single bytes. Other files are used in place: fileBytes must outlive it.
class TextBody
{
public:
    explicit TextBody(QByteArrayView fileBytes);
    TextBody(const TextBody &) = delete;
    TextBody &operator=(const TextBody &) = delete;

    // The encoding the file is in.
    TextEncoding fileEncoding() const { return m_fileEncoding; }
    // The encoding of bytes().
    TextEncoding lineEncoding() const;
    QByteArrayView bytes() const { return m_bytes; }
    // Units that were not text, already replaced while converting UTF-16.
    qint64 undecodable() const { return m_undecodable; }
    // True for UTF-16 without its byte-order mark: the encoding is a guess.
    bool guessedUtf16() const { return m_guessedUtf16; }

private:
    TextEncoding m_fileEncoding;
    QByteArrayView m_bytes;
    QByteArray m_converted;
    qint64 m_undecodable = 0;
    bool m_guessedUtf16 = false;
};
