// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>
#include <QUtf8StringView>

#include <array>
#include <memory>

// Windows code page 932 (windows-31j), table driven.
//
// The decoding table is generated at build time from the C library's
// converter for "CP932", so the program maps exactly as that converter does
// (NEC and IBM extensions, "～" as U+FF5E, 0x5C as the backslash), and the
// single bytes 0x80, 0xA0, 0xFD..0xFF, which that converter refuses, are
// read as Windows reads them (U+0080, U+F8F0..U+F8F3); the encoding table
// is the inverse of both, made at first use. Encoding is kept
// to the mappings that read back to the same character: a text that holds a
// character without such a mapping does not fit (see fits()).
class Cp932Codec
{
public:
    static const Cp932Codec &instance();

    // Decodes bytes, appending UTF-16 units at out (room for bytes.size()
    // units is enough). Undecodable bytes become U+FFFD and are counted in
    // bad. Returns the number of units written.
    qsizetype decode(QByteArrayView bytes, char16_t *out, qint64 &bad) const;
    // The same characters as UTF-8 (room for three bytes a byte is
    // enough); returns the number of bytes written.
    qsizetype decodeToUtf8(QByteArrayView bytes, char *out, qint64 &bad) const;

    // True when bytes hold no undecodable byte.
    bool isValid(QByteArrayView bytes) const;

    // True when every character of text has a round-trip mapping.
    bool fits(QStringView text) const;
    // The same for valid UTF-8.
    bool fits(QUtf8StringView text) const;
    // Appends the encoding of text, which must fit.
    void encodeAppend(QStringView text, QByteArray &out) const;
    // The same for valid UTF-8.
    void encodeAppend(QUtf8StringView text, QByteArray &out) const;

private:
    Cp932Codec();

    static constexpr int LeadCount = 60; // 0x81..0x9F, 0xE0..0xFC
    static constexpr int TrailCount = 189; // 0x40..0xFC
    static int leadIndex(quint8 lead);
    char16_t decodeNonAscii(const quint8 *&p, const quint8 *end, qint64 &bad) const;

    std::array<char16_t, LeadCount * TrailCount> m_decode {};
    std::unique_ptr<std::array<quint16, 65536>> m_encodeTable;
    const quint16 *m_encode = nullptr;
};
