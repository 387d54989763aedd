// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "VisibleListSort.h"

#include "LargeBlocks.h"

#include "SortRanks.h"
#include "TextOrder.h"
#include "VisibleListModel.h"

#include <algorithm>

namespace {

std::vector<int> sortByTexts(const VisibleListModel &model, int field, bool ascending)
{
    std::vector<QAnyStringView> views;
    std::vector<QString> keyTexts;
    if (field == CatalogItem::RowKey) {
        keyTexts.reserve(size_t(model.rowCount()));
        for (int row = 0; row < model.rowCount(); ++row)
            keyTexts.push_back(model.text(row, field));
        views.assign(keyTexts.begin(), keyTexts.end());
    } else {
        views = model.columnViews(field);
    }
    return TextOrder(std::move(views)).sorted(ascending);
}

// A counting sort by rank keeps equal ranks in row order; when the rows are
// few against the ranks, sorting (rank, row) pairs is cheaper.
std::vector<int> sortByRanks(const VisibleListModel &model, const SortRanks::Ranks &ranks, bool ascending)
{
    // Working memory in large pages: fresh memory costs more than the sort.
    using Numbers = std::vector<quint32, LargeAllocator<quint32>>;
    const int n = model.rowCount();
    Numbers rankOfRow(static_cast<size_t>(n));
    for (int row = 0; row < n; ++row) {
        const quint32 r = ranks.byKey[size_t(model.keyAt(row))];
        rankOfRow[size_t(row)] = ascending ? r : ranks.distinct - 1 - r;
    }
    std::vector<int> positions(static_cast<size_t>(n));
    if (quint64(n) * 8 < ranks.distinct) {
        std::vector<quint64> pairs(static_cast<size_t>(n));
        for (int row = 0; row < n; ++row)
            pairs[size_t(row)] = (quint64(rankOfRow[size_t(row)]) << 32) | quint32(row);
        std::sort(pairs.begin(), pairs.end());
        for (int i = 0; i < n; ++i)
            positions[size_t(i)] = int(quint32(pairs[size_t(i)]));
        return positions;
    }
    Numbers start(size_t(ranks.distinct) + 1, 0);
    for (quint32 r : rankOfRow)
        ++start[r + 1];
    for (size_t r = 1; r < start.size(); ++r)
        start[r] += start[r - 1];
    for (int row = 0; row < n; ++row)
        positions[start[rankOfRow[size_t(row)]]++] = row;
    return positions;
}

} // namespace

std::vector<int> VisibleListSortOrder(const VisibleListModel &model, int field, Qt::SortOrder order, SortRanks *ranks)
{
    const bool ascending = order == Qt::AscendingOrder;
    if (ranks && field != CatalogItem::RowKey && !model.holdsOwnTexts())
        return sortByRanks(model, ranks->of(field), ascending);
    return sortByTexts(model, field, ascending);
}
