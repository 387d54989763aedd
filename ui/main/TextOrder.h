// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "FoldedUnits.h"
#include "LargeBlocks.h"

#include <QAnyStringView>

#include <memory>
#include <vector>

// The text order of the visible list's columns: both texts case-folded
// (QString::toCaseFolded, so "abc" and "ABC" are equal), then compared unit
// by unit by their UTF-16 values, locale-free. Texts may be held as UTF-16,
// UTF-8 or Latin-1: a text orders as its UTF-16 form does.
//
// The texts are read in place, a chunk of folded units at a time: the sort
// orders the first chunks as integers, then reads the next chunk of only
// those texts that are still tied, and so on. Each round reads the texts in
// their own order, whatever the order of their entries: a large list's
// texts lie one after another in memory, which is fast to read forward and
// slow to read at random. The sort takes no copy of the texts: a long list
// costs one entry of 40 bytes a text and a few bytes more.
class TextOrder
{
public:
    // Where the texts are read: the text at each position, asked for as
    // often as needed (a large list need not be copied into views first).
    class Source
    {
    public:
        virtual ~Source() = default;
        virtual size_t size() const = 0;
        virtual QAnyStringView text(size_t position) const = 0;
    };
    // A list of this many texts or more is sorted on every core.
    static constexpr qsizetype ParallelTexts = 100'000;
    // The source and its texts must outlive the order; from parallelFrom
    // texts on, the source is read from several threads at once.
    explicit TextOrder(const Source &source, qsizetype parallelFrom = ParallelTexts);
    // The texts must outlive the order.
    explicit TextOrder(std::vector<QAnyStringView> texts, qsizetype parallelFrom = ParallelTexts);
    ~TextOrder();
    TextOrder(const TextOrder &) = delete;
    TextOrder &operator=(const TextOrder &) = delete;

    qsizetype size() const { return qsizetype(m_source.size()); }
    // Positions of the texts in ascending or descending order; equal texts
    // keep their order (stable) either way.
    std::vector<int> sorted(bool ascending) const;
    // For each text its rank in ascending order: equal texts share one,
    // ranks are dense from 0. Gives the number of distinct texts.
    using RankList = std::vector<quint32, LargeAllocator<quint32>>;
    quint32 ranks(RankList &rankOfText) const;

    // The sort's own, public for its helpers.
    struct Entry
    {
        // Left unset: each entry is written before it is read, and a long
        // list's new memory is first touched by the threads that fill it.
        Entry() { }
        FoldedUnits::Chunk chunk;
        quint32 index;
        FoldedUnits::Cursor cursor;
    };

private:
    struct Range
    {
        size_t first, last;
    };
    using Entries = std::vector<Entry, LargeAllocator<Entry>>;
    using Flags = std::vector<quint8, LargeAllocator<quint8>>;
    using Positions = std::vector<quint32, LargeAllocator<quint32>>;
    // The entries in ascending order, and for each whether its text differs
    // from the one before.
    struct Sorted
    {
        Entries entries;
        Flags startsGroup;
    };
    Sorted sortAll() const;
    struct Spare
    {
        Entry *entries;
        size_t size;
    };
    // A range to sort whose chunks agree before place digit.
    struct Job
    {
        size_t first, last;
        int digit;
    };
    // What each thread keeps of its own.
    struct Worker
    {
        Entries spare;
        std::vector<Range> stillTied;
    };
    static void sortRange(Entry *first, Entry *last, const Spare &spare, int digit);
    static std::vector<size_t> splitByDigit(Entry *first, Entry *last, const Spare &spare, int digit);
    static void splitLong(Entries &entries, const Range &range, const Spare &spare, std::vector<Job> &jobs);
    static void sortJob(Sorted &out, const Job &job, const Spare &spare, std::vector<Range> &stillTied);
    static std::vector<Range> sortTied(Sorted &out, const std::vector<Range> &tied, std::vector<Worker> &workers);
    void readFirstChunks(Entries &entries, int threadCount) const;
    void readNextChunks(Entries &entries, const std::vector<Range> &tied, Positions &positionOf, Positions &inTextOrder,
        int threadCount) const;

    class Views;
    std::unique_ptr<Views> m_views;
    const Source &m_source;
    qsizetype m_parallelFrom;
};
