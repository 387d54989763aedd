// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "Catalog.h"
#include "TextOrder.h"

#include <array>
#include <vector>

// The place of every master row in the text order of one column, so that a
// sort of the visible rows is a pass over their ranks instead of a sort of
// their texts. A column's ranks are made once and kept until that column's
// texts change (a removal keeps them: ranks are held by key); the last two
// columns asked for are kept.
class SortRanks
{
public:
    explicit SortRanks(const Catalog &catalog)
        : m_catalog(catalog)
    { }

    struct Ranks
    {
        const TextOrder::RankList &byKey; // rank of the row with each key
        quint32 distinct; // ranks run from 0 to distinct - 1
    };
    // Field 0..14 (not RowKey).
    Ranks of(int field);

private:
    struct Column
    {
        int field = -1;
        quint64 version = 0;
        TextOrder::RankList byKey;
        quint32 distinct = 0;
    };
    void build(Column &column, int field) const;

    const Catalog &m_catalog;
    std::array<Column, 2> m_columns;
    size_t m_newest = 0;
};
