// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QAnyStringView>
#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QUtf8StringView>

#include <vector>

// Conversions between the UTF-16 of Qt's strings and the UTF-8 the catalogue
// keeps its texts in. A stored text is always valid UTF-8: an unpaired
// surrogate on the way in becomes U+FFFD.
namespace Utf8Text {

// A UTF-16 unit never takes more than this many UTF-8 bytes.
inline constexpr qsizetype MaxBytesPerUnit = 3;

// Writes text as UTF-8 at out (room for MaxBytesPerUnit bytes a unit);
// returns the number of bytes written.
qsizetype fromUtf16(QStringView text, char *out);
QByteArray fromUtf16(QStringView text);
// The number of bytes fromUtf16() writes for text.
qsizetype length(QStringView text);

// Writes valid UTF-8 as UTF-16 at out (room for text.size() units is
// enough); returns the number of units written.
qsizetype toUtf16(QUtf8StringView text, char16_t *out);
QString toString(QUtf8StringView text);
// Any text as a QString; unlike QString::fromUtf8(), UTF-8 keeps a leading
// U+FEFF (it is a character of the text, not a mark).
QString toString(QAnyStringView text);
// The same into a buffer that keeps its room from one call to the next.
QStringView toUtf16(QUtf8StringView text, std::vector<char16_t> &buffer);

// The character of valid UTF-8 that starts at p, which moves past it.
inline char32_t next(const char *&p)
{
    const auto byte = [&p](int i) { return char32_t(quint8(p[i])); };
    const char32_t b = byte(0);
    if (b < 0x80) {
        p += 1;
        return b;
    }
    if (b < 0xE0) {
        const char32_t c = ((b & 0x1F) << 6) | (byte(1) & 0x3F);
        p += 2;
        return c;
    }
    if (b < 0xF0) {
        const char32_t c = ((b & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
        p += 3;
        return c;
    }
    const char32_t c = ((b & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) | (byte(3) & 0x3F);
    p += 4;
    return c;
}

// Writes a character of the Basic Multilingual Plane that is no surrogate
// as UTF-8 at o (one to three bytes), which moves past it.
inline void put(char16_t c, char *&o)
{
    if (c < 0x80) {
        *o++ = char(c);
    } else if (c < 0x800) {
        *o++ = char(0xC0 | (c >> 6));
        *o++ = char(0x80 | (c & 0x3F));
    } else {
        *o++ = char(0xE0 | (c >> 12));
        *o++ = char(0x80 | ((c >> 6) & 0x3F));
        *o++ = char(0x80 | (c & 0x3F));
    }
}

// Whether every byte is ASCII.
bool isAscii(QUtf8StringView text);
// The length of the ASCII run at the start of [p, end), eight bytes at a time.
qsizetype asciiRun(const char *p, const char *end);

} // namespace Utf8Text
