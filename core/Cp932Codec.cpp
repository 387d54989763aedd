// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "Cp932Codec.h"

#include "Utf8Text.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

constexpr char16_t ReplacementChar = 0xFFFD;

bool isHalfWidthKatakana(quint8 b)
{
    return b >= 0xA1 && b <= 0xDF;
}

bool isTrail(quint8 b)
{
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

// Single bytes that are neither ASCII, half-width katakana nor lead bytes,
// read as Windows reads them (0xA0 and 0xFD..0xFF into the private use
// area) and written back as the same bytes. Windows writes nothing else
// for these characters, so they round-trip.
struct SingleByte
{
    quint8 byte;
    char16_t character;
};
constexpr SingleByte WindowsSingleBytes[] = {
    { 0x80, 0x0080 },
    { 0xA0, 0xF8F0 },
    { 0xFD, 0xF8F1 },
    { 0xFE, 0xF8F2 },
    { 0xFF, 0xF8F3 },
};

// The character of one of those bytes, 0 for any other byte.
char16_t windowsSingleByte(quint8 b)
{
    for (const SingleByte &single : WindowsSingleBytes) {
        if (single.byte == b)
            return single.character;
    }
    return 0;
}

// Two-byte codes, generated from the C library's converter.
constexpr char16_t DecodeTable[] = {
#include "Cp932Table.inc"
};

} // namespace

const Cp932Codec &Cp932Codec::instance()
{
    static const Cp932Codec codec;
    return codec;
}

int Cp932Codec::leadIndex(quint8 lead)
{
    if (lead >= 0x81 && lead <= 0x9F)
        return lead - 0x81;
    if (lead >= 0xE0 && lead <= 0xFC)
        return lead - 0xE0 + 31;
    return -1;
}

Cp932Codec::Cp932Codec()
    : m_encodeTable(std::make_unique<std::array<quint16, 65536>>())
{
    auto &encode = *m_encodeTable;
    encode.fill(0);
    for (int c = 0; c < 0x80; ++c)
        encode[size_t(c)] = quint16(c);
    for (int b = 0xA1; b <= 0xDF; ++b)
        encode[size_t(0xFF61 + b - 0xA1)] = quint16(b);
    for (const SingleByte &single : WindowsSingleBytes)
        encode[single.character] = single.byte;

    static_assert(sizeof DecodeTable / sizeof DecodeTable[0] == LeadCount * TrailCount);
    std::copy(std::begin(DecodeTable), std::end(DecodeTable), m_decode.begin());

    // Where one character has several codes, the lowest wins, except that the
    // NEC-selected IBM extensions (leads 0xED, 0xEE) are only a last resort:
    // Windows writes those characters with the IBM codes 0xFA..0xFC.
    for (int pass = 0; pass < 2; ++pass) {
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            const int li = leadIndex(quint8(lead));
            const bool necIbm = lead == 0xED || lead == 0xEE;
            if (li < 0 || necIbm != (pass == 1))
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char16_t c = m_decode[size_t(li * TrailCount + trail - 0x40)];
                if (c != 0 && encode[c] == 0 && c >= 0x80)
                    encode[c] = quint16(lead << 8 | trail);
            }
        }
    }
    m_encode = encode.data();
}

// The character of the sequence at p, whose first byte is not ASCII; p
// moves past it. An undecodable byte becomes U+FFFD and is counted in bad.
inline char16_t Cp932Codec::decodeNonAscii(const quint8 *&p, const quint8 *end, qint64 &bad) const
{
    const quint8 b = *p;
    if (isHalfWidthKatakana(b)) {
        ++p;
        return char16_t(0xFF61 + b - 0xA1);
    }
    const int li = leadIndex(b);
    if (li < 0) {
        if (const char16_t single = windowsSingleByte(b)) {
            ++p;
            return single;
        }
    }
    if (li < 0 || p + 1 == end || !isTrail(p[1])) {
        // A stray byte: the next byte starts afresh, so a line end or a
        // separator behind it is kept.
        ++bad;
        ++p;
        return ReplacementChar;
    }
    const char16_t c = m_decode[size_t(li * TrailCount + p[1] - 0x40)];
    p += 2;
    if (c == 0) {
        ++bad;
        return ReplacementChar;
    }
    return c;
}

qsizetype Cp932Codec::decode(QByteArrayView bytes, char16_t *out, qint64 &bad) const
{
    const auto *p = reinterpret_cast<const quint8 *>(bytes.data());
    const auto *end = p + bytes.size();
    char16_t *o = out;
    while (p < end) {
        if (*p < 0x80)
            *o++ = *p++;
        else
            *o++ = decodeNonAscii(p, end, bad);
    }
    return o - out;
}

qsizetype Cp932Codec::decodeToUtf8(QByteArrayView bytes, char *out, qint64 &bad) const
{
    const auto *p = reinterpret_cast<const quint8 *>(bytes.data());
    const auto *end = p + bytes.size();
    char *o = out;
    while (p < end) {
        if (*p < 0x80) {
            const auto *run = reinterpret_cast<const char *>(p);
            const qsizetype ascii = Utf8Text::asciiRun(run, reinterpret_cast<const char *>(end));
            std::memcpy(o, run, size_t(ascii));
            o += ascii;
            p += ascii;
            continue;
        }
        // The table holds no surrogate.
        Utf8Text::put(decodeNonAscii(p, end, bad), o);
    }
    return o - out;
}

bool Cp932Codec::isValid(QByteArrayView bytes) const
{
    const auto *p = reinterpret_cast<const quint8 *>(bytes.data());
    const auto *end = p + bytes.size();
    while (p < end) {
        const int li = leadIndex(*p);
        if (li < 0) {
            ++p; // ASCII, half-width katakana or one of Windows' single bytes
            continue;
        }
        if (p + 1 == end || !isTrail(p[1]) || m_decode[size_t(li * TrailCount + p[1] - 0x40)] == 0)
            return false;
        p += 2;
    }
    return true;
}

bool Cp932Codec::fits(QStringView text) const
{
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c >= 0x80 && m_encode[c] == 0)
            return false;
    }
    return true;
}

bool Cp932Codec::fits(QUtf8StringView text) const
{
    const char *p = text.data();
    const char *const end = p + text.size();
    while (p < end) {
        if (quint8(*p) < 0x80) {
            p += Utf8Text::asciiRun(p, end);
            continue;
        }
        const char32_t c = Utf8Text::next(p);
        if (c > 0xFFFF || m_encode[c] == 0)
            return false;
    }
    return true;
}

void Cp932Codec::encodeAppend(QStringView text, QByteArray &out) const
{
    const qsizetype start = out.size();
    out.resize(start + 2 * text.size());
    char *o = out.data() + start;
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x80) {
            *o++ = char(c);
            continue;
        }
        const quint16 code = m_encode[c];
        if (code > 0xFF)
            *o++ = char(code >> 8);
        *o++ = char(code & 0xFF);
    }
    out.resize(o - out.data());
}

void Cp932Codec::encodeAppend(QUtf8StringView text, QByteArray &out) const
{
    // No character that fits takes more bytes in code page 932 than in
    // UTF-8.
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char *o = out.data() + start;
    const char *p = text.data();
    const char *const end = p + text.size();
    while (p < end) {
        // Names, sizes and dates are mostly ASCII, which is copied as it is.
        if (quint8(*p) < 0x80) {
            const qsizetype ascii = Utf8Text::asciiRun(p, end);
            std::memcpy(o, p, size_t(ascii));
            o += ascii;
            p += ascii;
            continue;
        }
        const char32_t c = Utf8Text::next(p);
        const quint16 code = m_encode[c];
        if (code > 0xFF)
            *o++ = char(code >> 8);
        *o++ = char(code & 0xFF);
    }
    out.resize(o - out.data());
}
