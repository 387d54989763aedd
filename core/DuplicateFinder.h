#pragma once

#include "Catalog.h"
#include "CatalogSearch.h"

#include <vector>

// Finds the pairs of master rows that are equal on a key, exactly (no
// folding), in the order of the plain all-pairs enumeration: earlier row
// first, ascending by the earlier row and then by the later one.
//
// Rather than comparing every pair, the rows are gathered into groups of
// equal keys with one hash look-up per row; then each row, in master order,
// is paired with the rows of its group that follow it. The time grows with
// the number of rows plus the number of pairs listed.
class DuplicateFinder
{
public:
    DuplicateFinder(const Catalog &catalog, DuplicateKey key);

    // Lists the pairs up to rowLimit flattened rows; counts them all.
    DuplicateResult find(qsizetype rowLimit) const;

private:
    template<typename KeyOf> void groupRows(qsizetype rowCount, KeyOf keyOf);
    void layOutGroups(qsizetype groupCount);
    qint64 countPairs() const;
    void listPairs(qint64 pairs, QList<qsizetype> &rows) const;

    std::vector<qsizetype> m_groupOfRow; // group number of each row
    std::vector<qsizetype> m_groupEnd; // end of each group in m_members
    std::vector<qsizetype> m_members; // rows by group, master order inside
    std::vector<qsizetype> m_slotOfRow; // place of each row in m_members
};
