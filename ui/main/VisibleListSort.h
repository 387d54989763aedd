// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <Qt>

#include <vector>

class SortRanks;
class VisibleListModel;

// The order of the visible rows by the texts of one column, as shown.
//
// The order is TextOrder's: case-folded texts compared by their UTF-16
// units, locale-free. Rows with equal texts keep their order before the
// sort (stable), in both directions. Numbers are texts here: "1,000.000"
// comes before "200.000"; dates, written year first, come in date order.
//
// With ranks, rows that show their master row's texts are ordered by the
// master rows' ranks, in time linear in the rows; without, or when some row
// holds texts of its own, the texts are sorted.
//
// Returns, for each new position, the old position of the row.
std::vector<int> VisibleListSortOrder(
    const VisibleListModel &model, int field, Qt::SortOrder order, SortRanks *ranks = nullptr);
