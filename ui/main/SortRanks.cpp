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

namespace {

// One field of every master row, read in place.
class FieldTexts final : public TextOrder::Source
{
public:
    FieldTexts(const Catalog &catalog, int field)
        : m_catalog(catalog)
        , m_field(field)
    { }
    size_t size() const override { return size_t(m_catalog.size()); }
    QAnyStringView text(size_t position) const override { return m_catalog.field(qsizetype(position), m_field); }

private:
    const Catalog &m_catalog;
    int m_field;
};

} // namespace

void SortRanks::build(Column &column, int field) const
{
    const qsizetype n = m_catalog.size();
    const FieldTexts texts(m_catalog, field);
    TextOrder::RankList rankOfRow;
    column.distinct = TextOrder(texts).ranks(rankOfRow);
    if (m_catalog.nextRowKey() == n) {
        // No row has gone since the keys were handed out, so every row's
        // key is its place.
        column.byKey.swap(rankOfRow);
    } else {
        column.byKey.assign(size_t(m_catalog.nextRowKey()), 0);
        for (qsizetype i = 0; i < n; ++i)
            column.byKey[size_t(m_catalog.keyAt(i))] = rankOfRow[size_t(i)];
    }
    column.field = field;
    column.version = m_catalog.fieldVersion(field);
}
