#include "Catalog.h"

#include <algorithm>
#include <iterator>

qint64 Catalog::append(CatalogItem item)
{
    const qint64 key = m_nextRowKey++;
    item.setRowKey(key);
    m_rows.push_back(std::move(item));
    return key;
}

void Catalog::removeAt(qsizetype i)
{
    m_rows.erase(m_rows.begin() + i);
}

void Catalog::removeRows(QList<qsizetype> positions)
{
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    size_t write = 0;
    auto next = positions.cbegin();
    for (size_t read = 0; read < m_rows.size(); ++read) {
        if (next != positions.cend() && qsizetype(read) == *next) {
            ++next;
            continue;
        }
        if (write != read)
            m_rows[write] = std::move(m_rows[read]);
        ++write;
    }
    m_rows.resize(write);
}

qsizetype Catalog::indexOfKey(qint64 key) const
{
    const auto it = std::lower_bound(
        m_rows.begin(), m_rows.end(), key, [](const CatalogItem &row, qint64 k) { return row.rowKey() < k; });
    if (it == m_rows.end() || it->rowKey() != key)
        return -1;
    return it - m_rows.begin();
}

std::vector<CatalogItem> Catalog::takeRows(QList<qsizetype> positions)
{
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    std::vector<CatalogItem> taken;
    taken.reserve(size_t(positions.size()));
    for (qsizetype p : std::as_const(positions))
        taken.push_back(m_rows[size_t(p)]);
    removeRows(positions);
    return taken;
}

qsizetype Catalog::insertRows(const std::vector<CatalogItem> &rows)
{
    std::vector<CatalogItem> incoming;
    incoming.reserve(rows.size());
    for (const CatalogItem &row : rows) {
        if (indexOfKey(row.rowKey()) < 0)
            incoming.push_back(row);
    }
    std::sort(incoming.begin(), incoming.end(),
        [](const CatalogItem &a, const CatalogItem &b) { return a.rowKey() < b.rowKey(); });
    incoming.erase(std::unique(incoming.begin(), incoming.end(),
                       [](const CatalogItem &a, const CatalogItem &b) { return a.rowKey() == b.rowKey(); }),
        incoming.end());
    // One merge of two key-ordered lists.
    std::vector<CatalogItem> merged;
    merged.reserve(m_rows.size() + incoming.size());
    std::merge(std::make_move_iterator(m_rows.begin()), std::make_move_iterator(m_rows.end()),
        std::make_move_iterator(incoming.begin()), std::make_move_iterator(incoming.end()), std::back_inserter(merged),
        [](const CatalogItem &a, const CatalogItem &b) { return a.rowKey() < b.rowKey(); });
    m_rows = std::move(merged);
    return qsizetype(incoming.size());
}
