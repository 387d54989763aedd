// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "FoldedUnits.h"

#include <QChar>
#include <QString> // QAnyStringView::visit
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// The cursor: a position in the text (units, or bytes in UTF-8), how many
// bytes of the code of the character there went into the chunk before, and
// a flag.
constexpr quint32 PositionBits = (1u << 28) - 1;
constexpr int SkipShift = 28;
constexpr quint32 SkipBits = 7u << SkipShift;
// Folding changed some character before the position (see lonesome()).
constexpr quint32 Changed = 1u << 31;

qsizetype positionOf(FoldedUnits::Cursor cursor)
{
    return cursor & PositionBits;
}
int skipOf(FoldedUnits::Cursor cursor)
{
    return int((cursor & SkipBits) >> SkipShift);
}
FoldedUnits::Cursor cursorAt(qsizetype position, int skip, bool changed = false)
{
    return quint32(position) | (quint32(skip) << SkipShift) | (changed ? Changed : 0);
}

// Folding is per character, one unit to one unit in the basic plane and a
// pair to a pair above it, so a table of the basic plane does most of it.
const char16_t *foldTable()
{
    static const std::unique_ptr<char16_t[]> table = [] {
        auto t = std::make_unique<char16_t[]>(0x10000);
        for (char32_t u = 0; u < 0x10000; ++u)
            t[u] = QChar::isSurrogate(u) ? char16_t(u) : char16_t(QChar::toCaseFolded(u));
        return t;
    }();
    return table.get();
}

// The code of a unit, in out; gives its length. The lead byte tells the
// length and the range: ASCII is one byte above 0 (0 pads a chunk), U+3000
// to U+9FFF (kana and kanji) and U+FF00 on (the half- and full-width forms)
// are two, the rest three. Codes compare byte by byte as their units do,
// and none begins another, so strings of them compare so too.
Q_ALWAYS_INLINE int codeOf(char16_t u, uchar *out)
{
    if (u < 0x80) {
        out[0] = uchar(u + 1);
        return 1;
    }
    if (u >= 0x3000 && u < 0xA000) {
        out[0] = uchar(0x82 + ((u - 0x3000) >> 8));
        out[1] = uchar(u);
        return 2;
    }
    if (u >= 0xFF00) {
        out[0] = 0xF3;
        out[1] = uchar(u);
        return 2;
    }
    out[0] = u < 0x3000 ? 0x81 : 0xF2;
    out[1] = uchar(u >> 8);
    out[2] = uchar(u);
    return 3;
}

// The code of a character of one unit or two (a surrogate pair).
struct CharacterCode
{
    uchar bytes[6];
    int length;
};

CharacterCode codeOfUnit(char16_t u)
{
    CharacterCode code;
    code.length = codeOf(u, code.bytes);
    return code;
}

CharacterCode codeOfSupplementary(char32_t c)
{
    CharacterCode code;
    code.length = codeOf(QChar::highSurrogate(c), code.bytes);
    code.length += codeOf(QChar::lowSurrogate(c), code.bytes + code.length);
    return code;
}

// ASCII runs are folded several characters at a time, in lanes of one
// integer: 'A' to 'Z' get 0x20 added. Every lane must be below 0x80.
constexpr quint64 Lanes16(quint64 lane)
{
    return lane * 0x0001000100010001ull;
}
constexpr quint64 Lanes8(quint64 lane)
{
    return lane * 0x0101010101010101ull;
}

// The upper-case lanes, as 0x80 in each.
quint64 upperLanes16(quint64 x)
{
    return (x + Lanes16(0x80 - 'A')) & ~(x + Lanes16(0x80 - 'Z' - 1)) & Lanes16(0x80);
}

quint64 upperLanes8(quint64 x)
{
    return (x + Lanes8(0x80 - 'A')) & ~(x + Lanes8(0x80 - 'Z' - 1)) & Lanes8(0x80);
}

// Four characters, lane k (bits 16k up) holding the one at s[k].
quint64 fourUnits(const char16_t *s)
{
    quint64 x;
    std::memcpy(&x, s, sizeof x);
#if Q_BYTE_ORDER == Q_BIG_ENDIAN
    x = (x << 48) | ((x << 16) & 0x0000FFFF00000000ull) | ((x >> 16) & 0x00000000FFFF0000ull) | (x >> 48);
#endif
    return x;
}

// The bytes are gathered in memory order, on zeros, and turned into the
// chunk's words at the end.
class ChunkWriter
{
public:
    int room() const { return FoldedUnits::ChunkBytes - m_count; }
    void put(uchar byte) { m_bytes[m_count++] = byte; }
    // The next eight bytes at s (there must be eight), folded and coded, as
    // many as there is room for, when they are all ASCII; gives how many
    // went in (0 when they are not all ASCII).
    int putAscii(const uchar *s)
    {
        quint64 x;
        std::memcpy(&x, s, sizeof x);
        if ((x & Lanes8(0x80)) != 0)
            return 0;
        quint64 codes = (x | (upperLanes8(x) >> 2)) + Lanes8(1);
        const int n = std::min(8, room());
        if (n < 8) {
#if Q_BYTE_ORDER == Q_BIG_ENDIAN
            codes &= ~(~0ull >> (8 * n));
#else
            codes &= ~(~0ull << (8 * n));
#endif
        }
        std::memcpy(m_bytes + m_count, &codes, sizeof codes);
        m_count += n;
        return n;
    }
    // The code of a unit, when there is room for the longest: most are put
    // here whole.
    bool putUnit(char16_t unit)
    {
        if (room() < 3)
            return false;
        m_count += codeOf(unit, m_bytes + m_count);
        return true;
    }
    // The code from byte skip on, as far as there is room; gives where the
    // next chunk takes it up (0 when all of it went in).
    int putCode(const CharacterCode &code, int skip)
    {
        for (; skip < code.length && room() > 0; ++skip)
            put(code.bytes[skip]);
        return skip < code.length ? skip : 0;
    }
    FoldedUnits::Chunk finish(bool goesOn)
    {
        m_bytes[FoldedUnits::ChunkBytes] = goesOn ? FoldedUnits::GoesOn : uchar(m_count);
        FoldedUnits::Chunk chunk;
        for (int w = 0; w < FoldedUnits::ChunkWords; ++w)
            chunk.words[w] = qFromBigEndian<quint64>(m_bytes + 8 * w);
        return chunk;
    }

private:
    // Room for eight bytes put at the last free place.
    uchar m_bytes[FoldedUnits::ChunkBytes + 9] = {};
    int m_count = 0;
};

// QString::toCaseFolded leaves a surrogate without its other half as it is
// up to the first character that folding changes; after it, such a
// surrogate becomes U+FFFD, except high surrogates that only high
// surrogates follow up to the end.
char16_t lonesome(const char16_t *s, qsizetype pos, qsizetype size, bool changed)
{
    const auto high = [](char16_t u) { return QChar::isHighSurrogate(u); };
    if (!changed || std::all_of(s + pos, s + size, high))
        return s[pos];
    return QChar::ReplacementCharacter;
}

FoldedUnits::Chunk readUtf16(QStringView text, FoldedUnits::Cursor &cursor)
{
    const char16_t *const s = text.utf16();
    const qsizetype size = std::min(text.size(), FoldedUnits::MaxLength);
    const char16_t *const fold = foldTable();
    qsizetype pos = positionOf(cursor);
    int skip = skipOf(cursor);
    bool changed = cursor & Changed;
    ChunkWriter out;
    while (out.room() > 0 && pos < size) {
        if (skip == 0 && pos + 4 <= size) {
            const quint64 x = fourUnits(s + pos);
            if ((x & Lanes16(0xFF80)) == 0) {
                const quint64 upper = upperLanes16(x);
                const quint64 codes = (x | (upper >> 2)) + Lanes16(1);
                const int n = std::min(4, out.room());
                for (int k = 0; k < n; ++k)
                    out.put(uchar(codes >> (16 * k)));
                changed |= (upper & (~0ull >> (64 - 16 * n))) != 0;
                pos += n;
                continue;
            }
        }
        const char16_t u = s[pos];
        int length = 1;
        CharacterCode code;
        if (!QChar::isSurrogate(u)) {
            changed |= fold[u] != u;
            if (skip == 0 && out.putUnit(fold[u])) {
                ++pos;
                continue;
            }
            code = codeOfUnit(fold[u]);
        } else if (QChar::isHighSurrogate(u) && pos + 1 < size && QChar::isLowSurrogate(s[pos + 1])) {
            const char32_t c = QChar::surrogateToUcs4(u, s[pos + 1]);
            const char32_t folded = QChar::toCaseFolded(c);
            changed |= folded != c;
            code = codeOfSupplementary(folded);
            length = 2;
        } else {
            code = codeOfUnit(lonesome(s, pos, size, changed));
        }
        skip = out.putCode(code, skip);
        if (skip == 0)
            pos += length;
    }
    cursor = cursorAt(pos, skip, changed);
    return out.finish(skip > 0 || pos < size);
}

// The length of the well-formed UTF-8 sequence at s[pos] and its character;
// 0 when the bytes there start none.
int decodeUtf8(const uchar *s, qsizetype pos, qsizetype size, char32_t &c)
{
    const uchar lead = s[pos];
    if (lead < 0xC2 || lead > 0xF4)
        return 0;
    const int length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (pos + length > size)
        return 0;
    // The second byte's range rules out overlong forms, surrogates and
    // characters past U+10FFFF.
    const uchar low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const uchar high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (s[pos + 1] < low || s[pos + 1] > high)
        return 0;
    c = lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        if ((s[pos + k] & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (s[pos + k] & 0x3F);
    }
    return length;
}

// The common case of decodeUtf8 on its own: a well-formed three-byte
// sequence (most of the basic plane, kana and kanji among it).
bool threeBytes(const uchar *s, qsizetype pos, qsizetype size, char32_t &c)
{
    if ((s[pos] & 0xF0) != 0xE0 || pos + 3 > size || (s[pos + 1] & 0xC0) != 0x80 || (s[pos + 2] & 0xC0) != 0x80)
        return false;
    const char32_t decoded = (char32_t(s[pos] & 0x0F) << 12) | (char32_t(s[pos + 1] & 0x3F) << 6) | (s[pos + 2] & 0x3F);
    // Overlong forms and surrogates are not well-formed.
    if (decoded < 0x800 || (decoded >= 0xD800 && decoded < 0xE000))
        return false;
    c = decoded;
    return true;
}

FoldedUnits::Chunk readUtf8(const uchar *s, qsizetype textSize, FoldedUnits::Cursor &cursor)
{
    const qsizetype size = std::min(textSize, FoldedUnits::MaxLength);
    const char16_t *const fold = foldTable();
    qsizetype pos = positionOf(cursor);
    int skip = skipOf(cursor);
    ChunkWriter out;
    char32_t c = 0;
    while (out.room() > 0 && pos < size) {
        if (skip == 0 && pos + 8 <= size) {
            if (const int n = out.putAscii(s + pos)) {
                pos += n;
                continue;
            }
        }
        // The folded character, one unit or two.
        int length = 1;
        if (s[pos] < 0x80) {
            c = fold[s[pos]];
        } else if (threeBytes(s, pos, size, c)) {
            c = fold[c];
            length = 3;
        } else {
            length = decodeUtf8(s, pos, size, c);
            if (length == 0) {
                c = QChar::ReplacementCharacter;
                length = 1;
            } else {
                c = c < 0x10000 ? fold[c] : QChar::toCaseFolded(c);
            }
        }
        if (c < 0x10000 && skip == 0 && out.putUnit(char16_t(c))) {
            pos += length;
            continue;
        }
        skip = out.putCode(c < 0x10000 ? codeOfUnit(char16_t(c)) : codeOfSupplementary(c), skip);
        if (skip == 0)
            pos += length;
    }
    cursor = cursorAt(pos, skip);
    return out.finish(skip > 0 || pos < size);
}

FoldedUnits::Chunk readLatin1(const uchar *s, qsizetype textSize, FoldedUnits::Cursor &cursor)
{
    const qsizetype size = std::min(textSize, FoldedUnits::MaxLength);
    const char16_t *const fold = foldTable();
    qsizetype pos = positionOf(cursor);
    int skip = skipOf(cursor);
    ChunkWriter out;
    while (out.room() > 0 && pos < size) {
        if (skip == 0 && pos + 8 <= size) {
            if (const int n = out.putAscii(s + pos)) {
                pos += n;
                continue;
            }
        }
        // Folding takes µ out of Latin-1, so a unit's code may be long.
        if (skip == 0 && out.putUnit(fold[s[pos]])) {
            ++pos;
            continue;
        }
        skip = out.putCode(codeOfUnit(fold[s[pos]]), skip);
        if (skip == 0)
            ++pos;
    }
    cursor = cursorAt(pos, skip);
    return out.finish(skip > 0 || pos < size);
}

} // namespace

FoldedUnits::Chunk FoldedUnits::next(QAnyStringView text, Cursor &cursor)
{
    return text.visit([&cursor](auto view) {
        using View = decltype(view);
        if constexpr (std::is_same_v<View, QStringView>)
            return readUtf16(view, cursor);
        else if constexpr (std::is_same_v<View, QLatin1StringView>)
            return readLatin1(reinterpret_cast<const uchar *>(view.data()), view.size(), cursor);
        else
            return readUtf8(reinterpret_cast<const uchar *>(view.data()), view.size(), cursor);
    });
}
