#include "Catalog.h"

#include <algorithm>

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
