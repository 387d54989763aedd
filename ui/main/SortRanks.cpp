// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "SortRanks.h"

#include "TextOrder.h"

SortRanks::Ranks SortRanks::of(int field)
{
    for (size_t c = 0; c < m_columns.size(); ++c) {
        Column &column = m_columns[c];
        if (column.field == field && column.version == m_catalog.fieldVersion(field)) {
            m_newest = c;
            return { column.byKey, column.distinct };
        }
    }
    m_newest = (m_newest + 1) % m_columns.size();
    Column &column = m_columns[m_newest];
    build(column, field);
    return { column.byKey, column.distinct };
}

void SortRanks::build(Column &column, int field) const
{
    const qsizetype n = m_catalog.size();
    TextOrder::Texts texts(static_cast<size_t>(n));
    for (qsizetype i = 0; i < n; ++i)
        texts[size_t(i)] = m_catalog.field(i, field);
    std::vector<quint32> rankOfRow;
    column.distinct = TextOrder(std::move(texts)).ranks(rankOfRow);
    column.byKey.assign(size_t(m_catalog.nextRowKey()), 0);
    for (qsizetype i = 0; i < n; ++i)
        column.byKey[size_t(m_catalog.keyAt(i))] = rankOfRow[size_t(i)];
    column.field = field;
    column.version = m_catalog.fieldVersion(field);
}
