// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "TextOrder.h"

#include "Prefetch.h"

#include <algorithm>
#include <utility>

namespace {

// How many texts ahead of the one read their memory is asked for: the
// texts lie apart, and reading a chunk takes long enough that the processor
// would otherwise wait for each text in turn.
constexpr size_t Ahead = 16;

// Ranges at least this long are split by the unit at one place before
// being sorted further: a count and a move instead of a comparison sort.
constexpr size_t SplitLength = 256;
constexpr int Digits = FoldedUnits::ChunkUnits + 1;

// The unit at place d of a chunk (the last place says how the text goes on).
quint16 digitOf(const FoldedUnits::Chunk &chunk, int d)
{
    return quint16(chunk.words[d / 4] >> (48 - 16 * (d % 4)));
}

bool sameUnits(const FoldedUnits::Chunk &a, const FoldedUnits::Chunk &b)
{
    return a.words[0] == b.words[0] && a.words[1] == b.words[1] && a.words[2] == b.words[2];
}

} // namespace

TextOrder::TextOrder(Texts texts)
    : m_texts(std::move(texts))
{ }

TextOrder::TextOrder(const std::vector<QAnyStringView> &texts)
    : m_texts(texts.begin(), texts.end())
{ }

void TextOrder::readFirstChunks(Entries &entries) const
{
    const size_t n = m_texts.size();
    for (size_t i = 0; i < n; ++i) {
        if (i + Ahead < n)
            FoldedUnits::prefetch(m_texts[i + Ahead], 0);
        Entry &e = entries[i];
        e.index = quint32(i);
        e.cursor = 0;
        e.chunk = FoldedUnits::next(m_texts[i], e.cursor);
    }
}

// The tied entries lie in ranges one after another; their texts anywhere.
void TextOrder::readNextChunks(Entries &entries, const std::vector<Range> &tied) const
{
    size_t tiedCount = 0;
    for (const Range &r : tied)
        tiedCount += r.last - r.first;
    std::vector<quint32, LargeAllocator<quint32>> positions;
    positions.reserve(tiedCount);
    for (const Range &r : tied) {
        for (size_t i = r.first; i < r.last; ++i)
            positions.push_back(quint32(i));
    }
    const size_t count = positions.size();
    for (size_t k = 0; k < count; ++k) {
        if (k + 2 * Ahead < count)
            prefetchMemory(&m_texts[entries[positions[k + 2 * Ahead]].index]);
        if (k + Ahead < count) {
            const Entry &ahead = entries[positions[k + Ahead]];
            FoldedUnits::prefetch(m_texts[ahead.index], ahead.cursor);
        }
        Entry &e = entries[positions[k]];
        e.chunk = FoldedUnits::next(m_texts[e.index], e.cursor);
    }
}

// Sorts the range by its chunks from place digit on; entries with equal
// chunks come in their order so far, which is that of their positions.
void TextOrder::sortRange(Entry *first, Entry *last, Entry *spare, int digit)
{
    const size_t n = size_t(last - first);
    if (n < 2 || digit == Digits)
        return;
    if (n < SplitLength) {
        std::sort(first, last, [](const Entry &a, const Entry &b) {
            for (int w = 0; w < 3; ++w) {
                if (a.chunk.words[w] != b.chunk.words[w])
                    return a.chunk.words[w] < b.chunk.words[w];
            }
            return a.index < b.index;
        });
        return;
    }
    // Zero again on return: only the counts of units that occur are used.
    static thread_local std::vector<quint32> count(0x10001, 0);
    quint16 low = 0xFFFF, high = 0;
    for (const Entry *e = first; e != last; ++e) {
        const quint16 d = digitOf(e->chunk, digit);
        ++count[d + 1];
        low = std::min(low, d);
        high = std::max(high, d);
    }
    if (low == high) {
        count[size_t(low) + 1] = 0;
        sortRange(first, last, spare, digit + 1);
        return;
    }
    for (size_t d = size_t(low) + 1; d <= size_t(high) + 1; ++d)
        count[d] += count[d - 1];
    for (const Entry *e = first; e != last; ++e)
        spare[count[digitOf(e->chunk, digit)]++] = *e;
    std::copy(spare, spare + n, first);
    std::fill(count.begin() + low, count.begin() + high + 2, 0);
    for (Entry *run = first; run != last;) {
        const quint16 d = digitOf(run->chunk, digit);
        Entry *end = run + 1;
        while (end != last && digitOf(end->chunk, digit) == d)
            ++end;
        sortRange(run, end, spare, digit + 1);
        run = end;
    }
}

TextOrder::Sorted TextOrder::sortAll() const
{
    const size_t n = m_texts.size();
    Sorted out { Entries(n), Flags(n, 1) };
    Entries spare(n);
    // Ranges of texts tied so far, whose next chunks decide.
    std::vector<Range> tied;
    if (n > 1)
        tied.push_back({ 0, n });
    for (bool first = true; !tied.empty(); first = false) {
        if (first)
            readFirstChunks(out.entries);
        else
            readNextChunks(out.entries, tied);
        std::vector<Range> stillTied;
        for (const Range &r : tied) {
            sortRange(out.entries.data() + r.first, out.entries.data() + r.last, spare.data(), 0);
            for (size_t i = r.first + 1; i < r.last; ++i)
                out.startsGroup[i] = !sameUnits(out.entries[i - 1].chunk, out.entries[i].chunk);
            for (size_t i = r.first; i < r.last;) {
                size_t end = i + 1;
                while (end < r.last && !out.startsGroup[end])
                    ++end;
                if (end - i > 1 && FoldedUnits::ending(out.entries[i].chunk) == FoldedUnits::GoesOn)
                    stillTied.push_back({ i, end });
                i = end;
            }
        }
        tied.swap(stillTied);
    }
    return out;
}

std::vector<int> TextOrder::sorted(bool ascending) const
{
    const Sorted all = sortAll();
    const size_t n = all.entries.size();
    std::vector<int> positions;
    positions.reserve(n);
    if (ascending) {
        for (const Entry &e : all.entries)
            positions.push_back(int(e.index));
        return positions;
    }
    // Groups of equal texts from the last to the first, each in its order.
    size_t end = n;
    for (size_t i = n; i-- > 0;) {
        if (!all.startsGroup[i])
            continue;
        for (size_t k = i; k < end; ++k)
            positions.push_back(int(all.entries[k].index));
        end = i;
    }
    return positions;
}

std::vector<int> TextOrder::ascending() const
{
    return sorted(true);
}

quint32 TextOrder::ranks(std::vector<quint32> &rankOfText) const
{
    const Sorted all = sortAll();
    rankOfText.assign(m_texts.size(), 0);
    quint32 rank = 0;
    for (size_t i = 0; i < all.entries.size(); ++i) {
        if (i > 0 && all.startsGroup[i])
            ++rank;
        rankOfText[all.entries[i].index] = rank;
    }
    return all.entries.empty() ? 0 : rank + 1;
}
