// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "Utf8Text.h"

#include <cstring>
#include <type_traits>

namespace Utf8Text {

qsizetype asciiRun(const char *p, const char *end)
{
    constexpr quint64 HighBits = 0x8080808080808080ULL;
    const char *const start = p;
    while (end - p >= 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        if (word & HighBits)
            break;
        p += 8;
    }
    while (p < end && quint8(*p) < 0x80)
        ++p;
    return p - start;
}

qsizetype fromUtf16(QStringView text, char *out)
{
    const char16_t *p = text.utf16();
    const char16_t *const end = p + text.size();
    char *o = out;
    while (p < end) {
        // ASCII four units at a time.
        while (end - p >= 4) {
            quint64 units;
            std::memcpy(&units, p, 8);
            if (units & 0xFF80FF80FF80FF80ULL)
                break;
            o[0] = char(p[0]);
            o[1] = char(p[1]);
            o[2] = char(p[2]);
            o[3] = char(p[3]);
            o += 4;
            p += 4;
        }
        if (p == end)
            break;
        const char16_t u = *p++;
        if (!QChar::isSurrogate(u)) {
            put(u, o);
            continue;
        }
        if (QChar::isHighSurrogate(u) && p < end && QChar::isLowSurrogate(*p)) {
            const char32_t c = QChar::surrogateToUcs4(u, *p++);
            *o++ = char(0xF0 | (c >> 18));
            *o++ = char(0x80 | ((c >> 12) & 0x3F));
            *o++ = char(0x80 | ((c >> 6) & 0x3F));
            *o++ = char(0x80 | (c & 0x3F));
            continue;
        }
        put(0xFFFD, o);
    }
    return o - out;
}

qsizetype length(QStringView text)
{
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x80)
            bytes += 1;
        else if (u < 0x800)
            bytes += 2;
        else if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            bytes += 4, ++i;
        else
            bytes += 3;
    }
    return bytes;
}

QByteArray fromUtf16(QStringView text)
{
    QByteArray out(text.size() * MaxBytesPerUnit, Qt::Uninitialized);
    out.truncate(fromUtf16(text, out.data()));
    return out;
}

qsizetype toUtf16(QUtf8StringView text, char16_t *out)
{
    const char *p = text.data();
    const char *const end = p + text.size();
    char16_t *o = out;
    while (p < end) {
        const qsizetype ascii = asciiRun(p, end);
        for (qsizetype k = 0; k < ascii; ++k)
            *o++ = char16_t(quint8(p[k]));
        p += ascii;
        if (p == end)
            break;
        const char32_t c = next(p);
        if (QChar::requiresSurrogates(c)) {
            *o++ = QChar::highSurrogate(c);
            *o++ = QChar::lowSurrogate(c);
        } else {
            *o++ = char16_t(c);
        }
    }
    return o - out;
}

QString toString(QUtf8StringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    out.truncate(toUtf16(text, reinterpret_cast<char16_t *>(out.data())));
    return out;
}

QString toString(QAnyStringView text)
{
    return text.visit([](auto view) {
        if constexpr (std::is_same_v<decltype(view), QUtf8StringView>)
            return toString(view);
        else
            return view.toString();
    });
}

QStringView toUtf16(QUtf8StringView text, std::vector<char16_t> &buffer)
{
    if (buffer.size() < size_t(text.size()))
        buffer.resize(size_t(text.size()));
    return QStringView(buffer.data(), toUtf16(text, buffer.data()));
}

bool isAscii(QUtf8StringView text)
{
    return asciiRun(text.data(), text.data() + text.size()) == text.size();
}

} // namespace Utf8Text
