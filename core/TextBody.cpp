// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "TextBody.h"

TextBody::TextBody(QByteArrayView fileBytes)
    : m_fileEncoding(TextCodec::detect(fileBytes))
    , m_bytes(TextCodec::body(fileBytes, m_fileEncoding))
{
    if (m_fileEncoding == TextEncoding::Utf16LE || m_fileEncoding == TextEncoding::Utf16BE) {
        m_guessedUtf16 = m_bytes.size() == fileBytes.size();
        m_converted = TextCodec::utf16ToUtf8(m_bytes, m_fileEncoding, m_undecodable);
        m_bytes = m_converted;
    }
}

TextEncoding TextBody::lineEncoding() const
{
    switch (m_fileEncoding) {
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE:
        return TextEncoding::Utf8;
    default:
        return m_fileEncoding;
    }
}
