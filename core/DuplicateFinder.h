// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "Catalog.h"
#include "CatalogSearch.h"

#include <vector>

// Finds the pairs of master rows that are equal on a key, exactly (no
// folding), in the order of the plain all-pairs enumeration: earlier row
// first, ascending by the earlier row and then by the later one.
//
// Rather than comparing every pair, one pass links each row to the next row
// with the same key (one hash look-up per row); then each row, in master
// order, is paired with the rows down its chain. The time grows with the
// number of rows plus the number of pairs listed. Row counts are 32-bit.
class DuplicateFinder
{
public:
    DuplicateFinder(const Catalog &catalog, DuplicateKey key);

    // Lists the pairs up to rowLimit flattened rows; counts them all.
    DuplicateResult find(qsizetype rowLimit) const;

private:
    size_t hashOf(qint32 row) const;
    bool sameKey(qint32 a, qint32 b) const;
    void linkRows();
    void listPairs(qint64 pairs, QList<qsizetype> &rows) const;

    const Catalog &m_catalog;
    DuplicateKey m_key;
    size_t m_seed;
    struct Link
    {
        qint32 nextSame = -1; // next row with the same key, or -1
        qint32 earlierSame = 0; // rows before this one with the same key
    };
    std::vector<Link, LargeAllocator<Link>> m_links;
    qint64 m_pairCount = 0;
};
