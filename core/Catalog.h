#pragma once

#include "CatalogItem.h"

#include <QList>

#include <vector>

// The ordered master list of rows. Keys are handed out in order of entry,
// so they grow along the list and a key is found by binary search.
class Catalog
{
public:
    qsizetype size() const { return qsizetype(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    void reserve(qsizetype n) { m_rows.reserve(size_t(n)); }

    const CatalogItem &at(qsizetype i) const { return m_rows[size_t(i)]; }
    CatalogItem &operator[](qsizetype i) { return m_rows[size_t(i)]; }

    // Appends the row with the next key and returns that key.
    qint64 append(CatalogItem item);
    // Removes the row at i; the rows behind it move up.
    void removeAt(qsizetype i);
    // Removes the rows at the given positions in one pass (any order,
    // duplicates ignored).
    void removeRows(QList<qsizetype> positions);
    // As removeRows, and gives the removed rows back in list order, each
    // with its key.
    std::vector<CatalogItem> takeRows(QList<qsizetype> positions);
    // Puts rows back with the keys they carry, each at the place its key
    // has in the list (keys grow along it); a key already present is left
    // out. Gives the number of rows put back.
    qsizetype insertRows(const std::vector<CatalogItem> &rows);

    // Position of the row with this key, or -1.
    qsizetype indexOfKey(qint64 key) const;

    qint64 nextRowKey() const { return m_nextRowKey; }

private:
    std::vector<CatalogItem> m_rows;
    qint64 m_nextRowKey = 0;
};
