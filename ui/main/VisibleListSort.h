#pragma once

#include <Qt>

#include <vector>

class VisibleListModel;

// The order of the visible rows by the texts of one column, as shown.
//
// The order: both texts are case-folded (QString::toCaseFolded, so "abc"
// and "ABC" are equal) and then compared unit by unit by their UTF-16
// values, locale-free. Rows with equal texts
// keep their order before the sort (stable), in both directions.
// Numbers are texts here: "1,000.000" comes before "200.000"; dates,
// written year first, come in date order.
//
// Returns, for each new position, the old position of the row.
std::vector<int> VisibleListSortOrder(const VisibleListModel &model, int field, Qt::SortOrder order);
