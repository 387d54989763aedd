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

// The cursor: a position in the text (units, or bytes in UTF-8) and two flags.
constexpr quint32 PositionBits = (1u << 30) - 1;
// The chunk ended between the two halves of a folded surrogate pair: the
// low half comes first in the next chunk, the position is the pair's.
constexpr quint32 PendingLow = 1u << 31;
// Folding changed some character before the position (see lonesome()).
constexpr quint32 Changed = 1u << 30;

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

// ASCII runs are folded several characters at a time, in lanes of one
// integer: 'A' to 'Z' get 0x20 added. Every lane must be below 0x80.
constexpr quint64 Lanes16(quint64 lane)
{
    return lane * 0x0001000100010001ull;
}
constexpr quint32 Lanes8(quint32 lane)
{
    return lane * 0x01010101u;
}

// The upper-case lanes, as 0x80 in each.
quint64 upperLanes16(quint64 x)
{
    return (x + Lanes16(0x80 - 'A')) & ~(x + Lanes16(0x80 - 'Z' - 1)) & Lanes16(0x80);
}

quint32 upperLanes8(quint32 x)
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

// The units are shifted into one word in a register and the word is stored
// when it is full: no unit waits on the store of the one before.
class ChunkWriter
{
public:
    void put(char16_t unit)
    {
        m_current = (m_current << 16) | unit;
        if ((++m_count & 3) == 0)
            m_words[(m_count >> 2) - 1] = m_current;
    }
    // The first n lanes of four, lane 0 (the low 16 bits) first.
    void putLanes(quint64 lanes, int n)
    {
        for (int k = 0; k < n; ++k)
            put(char16_t(lanes >> (16 * k)));
    }
    int room() const { return FoldedUnits::ChunkUnits - m_count; }
    FoldedUnits::Chunk finish(bool goesOn)
    {
        const int count = m_count;
        while (m_count < FoldedUnits::ChunkUnits)
            put(0);
        put(goesOn ? FoldedUnits::GoesOn : char16_t(count));
        return { { m_words[0], m_words[1], m_words[2] } };
    }

private:
    quint64 m_words[3];
    quint64 m_current = 0;
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
    qsizetype pos = cursor & PositionBits;
    bool changed = cursor & Changed;
    bool pendingLow = false;
    ChunkWriter out;
    if (cursor & PendingLow) {
        out.put(QChar::lowSurrogate(QChar::toCaseFolded(QChar::surrogateToUcs4(s[pos], s[pos + 1]))));
        pos += 2;
    }
    while (out.room() > 0 && pos < size) {
        if (pos + 4 <= size) {
            const quint64 x = fourUnits(s + pos);
            if ((x & Lanes16(0xFF80)) == 0) {
                const quint64 upper = upperLanes16(x);
                const int n = std::min(4, out.room());
                out.putLanes(x | (upper >> 2), n);
                changed |= (upper & (~0ull >> (64 - 16 * n))) != 0;
                pos += n;
                continue;
            }
        }
        const char16_t u = s[pos];
        if (!QChar::isSurrogate(u)) {
            changed |= fold[u] != u;
            out.put(fold[u]);
            ++pos;
        } else if (QChar::isHighSurrogate(u) && pos + 1 < size && QChar::isLowSurrogate(s[pos + 1])) {
            const char32_t c = QChar::surrogateToUcs4(u, s[pos + 1]);
            const char32_t folded = QChar::toCaseFolded(c);
            changed |= folded != c;
            out.put(QChar::highSurrogate(folded));
            if (out.room() == 0) {
                pendingLow = true;
                break;
            }
            out.put(QChar::lowSurrogate(folded));
            pos += 2;
        } else {
            out.put(lonesome(s, pos, size, changed));
            ++pos;
        }
    }
    cursor = quint32(pos) | (changed ? Changed : 0) | (pendingLow ? PendingLow : 0);
    return out.finish(pendingLow || pos < size);
}

// Four ASCII bytes folded into four lanes of 16 bits, or false.
bool fourAscii(const uchar *s, quint64 &lanes)
{
    const quint32 x = qFromLittleEndian<quint32>(s);
    if ((x & Lanes8(0x80)) != 0)
        return false;
    quint64 y = x | (upperLanes8(x) >> 2);
    y = (y | (y << 16)) & 0x0000FFFF0000FFFFull;
    lanes = (y | (y << 8)) & 0x00FF00FF00FF00FFull;
    return true;
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
    qsizetype pos = cursor & PositionBits;
    bool pendingLow = false;
    ChunkWriter out;
    char32_t c = 0;
    if (cursor & PendingLow) {
        pos += decodeUtf8(s, pos, size, c);
        out.put(QChar::lowSurrogate(QChar::toCaseFolded(c)));
    }
    quint64 lanes = 0;
    while (out.room() > 0 && pos < size) {
        if (pos + 4 <= size && fourAscii(s + pos, lanes)) {
            const int n = std::min(4, out.room());
            out.putLanes(lanes, n);
            pos += n;
            continue;
        }
        if (s[pos] < 0x80) {
            out.put(fold[s[pos]]);
            ++pos;
            continue;
        }
        if (threeBytes(s, pos, size, c)) {
            out.put(fold[c]);
            pos += 3;
            continue;
        }
        const int length = decodeUtf8(s, pos, size, c);
        if (length == 0) {
            out.put(QChar::ReplacementCharacter);
            ++pos;
        } else if (c < 0x10000) {
            out.put(fold[c]);
            pos += length;
        } else {
            const char32_t folded = QChar::toCaseFolded(c);
            out.put(QChar::highSurrogate(folded));
            if (out.room() == 0) {
                pendingLow = true;
                break;
            }
            out.put(QChar::lowSurrogate(folded));
            pos += length;
        }
    }
    cursor = quint32(pos) | (pendingLow ? PendingLow : 0);
    return out.finish(pendingLow || pos < size);
}

FoldedUnits::Chunk readLatin1(const uchar *s, qsizetype textSize, FoldedUnits::Cursor &cursor)
{
    const qsizetype size = std::min(textSize, FoldedUnits::MaxLength);
    const char16_t *const fold = foldTable();
    qsizetype pos = cursor;
    ChunkWriter out;
    for (; out.room() > 0 && pos < size; ++pos)
        out.put(fold[s[pos]]);
    cursor = quint32(pos);
    return out.finish(pos < size);
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
