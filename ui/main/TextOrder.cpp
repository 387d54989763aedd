// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "TextOrder.h"

#include "Prefetch.h"
#include "WorkShare.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <utility>

namespace {

// How many texts ahead of the one read the memory of their entries is asked
// for: the entries of tied texts lie anywhere, and the processor would
// otherwise wait for each in turn.
constexpr size_t Ahead = 16;
// The position of the entry of a text that is not read again.
constexpr quint32 NotTied = ~quint32(0);

// Ranges at least this long are split by the digit at one place before
// being sorted further: a count and a move instead of a comparison sort.
constexpr size_t SplitLength = 256;
// A chunk is read as digits of two bytes, most significant first.
constexpr int Digits = int(sizeof(FoldedUnits::Chunk) / 2);
// Ranges up to an eighth of the texts, and at most this long, are split
// through a spare copy, longer ones in place.
constexpr size_t SpareSize = size_t(1) << 16;
// Texts are read, a thread at a time, in blocks of consecutive positions:
// many blocks a thread, so that a thread held up holds up little, and up to
// this many texts a block.
constexpr size_t MaxBlockTexts = size_t(1) << 15;

size_t blockTexts(size_t n)
{
    return std::clamp<size_t>(n / 64, 64, MaxBlockTexts);
}
// The tied ranges are sorted in this many parts a thread, taken in turns.
constexpr qsizetype PartsPerThread = 64;

// The digit at place d of a chunk (the last place ends with how the text
// goes on).
quint16 digitOf(const FoldedUnits::Chunk &chunk, int d)
{
    return quint16(chunk.words[d / 4] >> (48 - 16 * (d % 4)));
}

// The first place from digit on where the chunks of the range differ;
// Digits when they are all equal.
int firstDifference(const TextOrder::Entry *first, const TextOrder::Entry *last, int digit)
{
    // Words of their own, not an array: the compiler keeps them in registers
    // instead of adding to memory, one store after another.
    static_assert(FoldedUnits::ChunkWords == 4);
    quint64 differ0 = 0, differ1 = 0, differ2 = 0, differ3 = 0;
    for (const TextOrder::Entry *e = first + 1; e != last; ++e) {
        differ0 |= e->chunk.words[0] ^ first->chunk.words[0];
        differ1 |= e->chunk.words[1] ^ first->chunk.words[1];
        differ2 |= e->chunk.words[2] ^ first->chunk.words[2];
        differ3 |= e->chunk.words[3] ^ first->chunk.words[3];
    }
    const FoldedUnits::Chunk differ { { differ0, differ1, differ2, differ3 } };
    while (digit < Digits && digitOf(differ, digit) == 0)
        ++digit;
    return digit;
}

bool sameChunks(const FoldedUnits::Chunk &a, const FoldedUnits::Chunk &b)
{
    return std::equal(a.words, a.words + FoldedUnits::ChunkWords, b.words);
}

} // namespace

class TextOrder::Views final : public Source
{
public:
    explicit Views(std::vector<QAnyStringView> texts)
        : m_texts(std::move(texts))
    { }
    size_t size() const override { return m_texts.size(); }
    QAnyStringView text(size_t position) const override { return m_texts[position]; }

private:
    std::vector<QAnyStringView> m_texts;
};

TextOrder::TextOrder(const Source &source, qsizetype parallelFrom)
    : m_source(source)
    , m_parallelFrom(parallelFrom)
{ }

TextOrder::TextOrder(std::vector<QAnyStringView> texts, qsizetype parallelFrom)
    : m_views(std::make_unique<Views>(std::move(texts)))
    , m_source(*m_views)
    , m_parallelFrom(parallelFrom)
{ }

TextOrder::~TextOrder() = default;

void TextOrder::readFirstChunks(Entries &entries, int threadCount) const
{
    const size_t n = entries.size();
    const size_t blockSize = blockTexts(n);
    WorkShare::run(qsizetype((n + blockSize - 1) / blockSize), threadCount, [&](qsizetype block, int) {
        const size_t from = size_t(block) * blockSize;
        const size_t to = std::min(n, from + blockSize);
        for (size_t i = from; i < to; ++i) {
            Entry &e = entries[i];
            e.index = quint32(i);
            e.cursor = 0;
            e.chunk = FoldedUnits::next(m_source.text(i), e.cursor);
        }
    });
}

// The tied entries lie in ranges one after another, their texts anywhere;
// the texts are read in their own order (a list's texts lie in that order,
// and memory read forward is fetched ahead), each chunk put in its entry.
// The tied entries are first put in that order through positionOf, one
// place a text, which holds NotTied for the others before and after.
void TextOrder::readNextChunks(Entries &entries, const std::vector<Range> &tied, Positions &positionOf,
    Positions &inTextOrder, int threadCount) const
{
    size_t lowest = entries.size(), highest = 0, count = 0;
    for (const Range &r : tied) {
        for (size_t i = r.first; i < r.last; ++i) {
            const quint32 index = entries[i].index;
            positionOf[index] = quint32(i);
            lowest = std::min<size_t>(lowest, index);
            highest = std::max<size_t>(highest, index);
        }
        count += r.last - r.first;
    }
    inTextOrder.resize(count);
    size_t gathered = 0;
    for (size_t index = lowest; index <= highest; ++index) {
        if (positionOf[index] != NotTied) {
            inTextOrder[gathered++] = positionOf[index];
            positionOf[index] = NotTied;
        }
    }
    const size_t blockSize = blockTexts(count);
    WorkShare::run(qsizetype((count + blockSize - 1) / blockSize), threadCount, [&](qsizetype block, int) {
        const size_t from = size_t(block) * blockSize;
        const size_t to = std::min(count, from + blockSize);
        for (size_t k = from; k < to; ++k) {
            if (k + Ahead < to)
                prefetchMemory(&entries[inTextOrder[k + Ahead]]);
            Entry &e = entries[inTextOrder[k]];
            e.chunk = FoldedUnits::next(m_source.text(e.index), e.cursor);
        }
    });
}

// Sorts the range by its chunks from place digit on, and equal texts by
// their positions. Entries whose chunks are equal but whose texts go on are
// left in any order: the next chunks decide them.
void TextOrder::sortRange(Entry *first, Entry *last, const Spare &spare, int digit)
{
    const size_t n = size_t(last - first);
    if (n < 2)
        return;
    if (n < SplitLength) {
        std::sort(first, last, [](const Entry &a, const Entry &b) {
            for (int w = 0; w < FoldedUnits::ChunkWords; ++w) {
                if (a.chunk.words[w] != b.chunk.words[w])
                    return a.chunk.words[w] < b.chunk.words[w];
            }
            return a.index < b.index;
        });
        return;
    }
    // Places where all agree need no count.
    digit = firstDifference(first, last, digit);
    if (digit == Digits) {
        if (FoldedUnits::ending(first->chunk) != FoldedUnits::GoesOn)
            std::sort(first, last, [](const Entry &a, const Entry &b) { return a.index < b.index; });
        return;
    }
    size_t start = 0;
    for (size_t end : splitByDigit(first, last, spare, digit)) {
        sortRange(first + start, first + end, spare, digit + 1);
        start = end;
    }
}

// Orders the range by its digit at place digit alone; gives where each run
// of one digit ends.
std::vector<size_t> TextOrder::splitByDigit(Entry *first, Entry *last, const Spare &spare, int digit)
{
    const size_t n = size_t(last - first);
    // Zero again on return: only the counts of the digits that occur are
    // used, and those digits are listed (they are few, their span may be all).
    static thread_local std::vector<quint32> next(0x10000, 0);
    static thread_local std::vector<quint16> digits;
    for (const Entry *e = first; e != last; ++e) {
        const quint16 d = digitOf(e->chunk, digit);
        if (next[d]++ == 0)
            digits.push_back(d);
    }
    std::sort(digits.begin(), digits.end());
    std::vector<size_t> ends;
    ends.reserve(digits.size());
    size_t start = 0;
    for (quint16 d : digits) {
        const size_t c = next[d];
        next[d] = quint32(start);
        start += c;
        ends.push_back(start);
    }
    if (n <= spare.size) {
        for (const Entry *e = first; e != last; ++e)
            spare.entries[next[digitOf(e->chunk, digit)]++] = *e;
        std::copy(spare.entries, spare.entries + n, first);
    } else {
        // Each entry is moved to its digit's next free place in turn, in
        // place: a spare copy of the largest ranges costs more in fresh
        // memory than the swaps do.
        for (size_t k = 0; k < digits.size(); ++k) {
            const quint16 own = digits[k];
            while (next[own] < ends[k]) {
                Entry moving = first[next[own]];
                for (quint16 d = digitOf(moving.chunk, digit); d != own; d = digitOf(moving.chunk, digit))
                    std::swap(moving, first[next[d]++]);
                first[next[own]++] = moving;
            }
        }
    }
    for (quint16 d : digits)
        next[d] = 0;
    digits.clear();
    return ends;
}

// A range much longer than a thread's share is split once, by its first
// digit that differs, and its parts sorted apart.
void TextOrder::splitLong(Entries &entries, const Range &range, const Spare &spare, std::vector<Job> &jobs)
{
    Entry *const first = entries.data() + range.first;
    Entry *const last = entries.data() + range.last;
    const int digit = firstDifference(first, last, 0);
    if (digit == Digits) {
        jobs.push_back({ range.first, range.last, Digits });
        return;
    }
    size_t start = range.first;
    for (size_t end : splitByDigit(first, last, spare, digit)) {
        jobs.push_back({ start, range.first + end, digit + 1 });
        start = range.first + end;
    }
}

// Sorts the job's range and notes its groups of equal chunks; those whose
// texts go on are still tied.
void TextOrder::sortJob(Sorted &out, const Job &job, const Spare &spare, std::vector<Range> &stillTied)
{
    Entry *const entries = out.entries.data();
    sortRange(entries + job.first, entries + job.last, spare, job.digit);
    // The first entry of a job starts a group: a range once tied, or the
    // first of its digit where a long range was split.
    out.startsGroup[job.first] = 1;
    for (size_t i = job.first + 1; i < job.last; ++i)
        out.startsGroup[i] = !sameChunks(entries[i - 1].chunk, entries[i].chunk);
    for (size_t i = job.first; i < job.last;) {
        size_t end = i + 1;
        while (end < job.last && !out.startsGroup[end])
            ++end;
        if (end - i > 1 && FoldedUnits::ending(entries[i].chunk) == FoldedUnits::GoesOn)
            stillTied.push_back({ i, end });
        i = end;
    }
}

// Sorts each tied range by the chunks just read; gives the ranges still tied.
std::vector<TextOrder::Range> TextOrder::sortTied(
    Sorted &out, const std::vector<Range> &tied, std::vector<Worker> &workers)
{
    const int threadCount = int(workers.size());
    const auto spareOf = [](Worker &worker) { return Spare { worker.spare.data(), worker.spare.size() }; };
    const size_t longRange = threadCount > 1 ? std::max(SplitLength, out.entries.size() / (8 * size_t(threadCount)))
                                             : std::numeric_limits<size_t>::max();
    std::vector<Job> jobs;
    jobs.reserve(tied.size());
    for (const Range &r : tied) {
        if (r.last - r.first > longRange)
            splitLong(out.entries, r, spareOf(workers[0]), jobs);
        else
            jobs.push_back({ r.first, r.last, 0 });
    }
    const qsizetype jobCount = qsizetype(jobs.size());
    const qsizetype parts = std::min(jobCount, PartsPerThread * threadCount);
    WorkShare::run(parts, threadCount, [&](qsizetype part, int thread) {
        Worker &worker = workers[size_t(thread)];
        const Spare spare = spareOf(worker);
        for (qsizetype j = jobCount * part / parts; j < jobCount * (part + 1) / parts; ++j)
            sortJob(out, jobs[size_t(j)], spare, worker.stillTied);
    });
    size_t count = 0;
    for (const Worker &worker : workers)
        count += worker.stillTied.size();
    std::vector<Range> stillTied;
    stillTied.reserve(count);
    for (Worker &worker : workers) {
        stillTied.insert(stillTied.end(), worker.stillTied.begin(), worker.stillTied.end());
        worker.stillTied.clear();
    }
    return stillTied;
}

TextOrder::Sorted TextOrder::sortAll() const
{
    const size_t n = m_source.size();
    const int threadCount = WorkShare::threadsFor(qsizetype(n), m_parallelFrom);
    Sorted out { Entries(n), Flags(n, 1) };
    std::vector<Worker> workers(static_cast<size_t>(threadCount));
    for (Worker &worker : workers)
        worker.spare.resize(std::min(n / 8, SpareSize));
    // Where the entry of each text is while it is tied.
    Positions positionOf(n, NotTied);
    // The tied entries in their texts' order.
    Positions inTextOrder;
    readFirstChunks(out.entries, threadCount);
    // Ranges of texts tied so far, whose next chunks decide.
    std::vector<Range> tied;
    if (n > 1)
        tied.push_back({ 0, n });
    while (!tied.empty()) {
        tied = sortTied(out, tied, workers);
        if (!tied.empty())
            readNextChunks(out.entries, tied, positionOf, inTextOrder, threadCount);
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

quint32 TextOrder::ranks(RankList &rankOfText) const
{
    const Sorted all = sortAll();
    rankOfText.assign(m_source.size(), 0);
    quint32 rank = 0;
    for (size_t i = 0; i < all.entries.size(); ++i) {
        if (i > 0 && all.startsGroup[i])
            ++rank;
        rankOfText[all.entries[i].index] = rank;
    }
    return all.entries.empty() ? 0 : rank + 1;
}
