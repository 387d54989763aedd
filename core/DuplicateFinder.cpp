#include "DuplicateFinder.h"

#include <QHash>

#include <algorithm>

namespace {

struct NameAndSize
{
    QStringView name;
    QStringView size;
    bool operator==(const NameAndSize &other) const = default;
};

size_t qHash(const NameAndSize &key, size_t seed = 0)
{
    return qHashMulti(seed, key.name, key.size);
}

QStringView nameOf(const Catalog &catalog, qsizetype i)
{
    return catalog.at(i).field(CatalogItem::Name);
}

QStringView sizeOf(const Catalog &catalog, qsizetype i)
{
    return catalog.at(i).field(CatalogItem::FileSize);
}

} // namespace

DuplicateFinder::DuplicateFinder(const Catalog &catalog, DuplicateKey key)
{
    const qsizetype n = catalog.size();
    switch (key) {
    case DuplicateKey::Name:
        groupRows(n, [&](qsizetype i) { return nameOf(catalog, i); });
        break;
    case DuplicateKey::Size:
        groupRows(n, [&](qsizetype i) { return sizeOf(catalog, i); });
        break;
    case DuplicateKey::NameAndSize:
        groupRows(n, [&](qsizetype i) { return NameAndSize { nameOf(catalog, i), sizeOf(catalog, i) }; });
        break;
    }
}

// Numbers the distinct keys in order of first appearance.
template<typename KeyOf> void DuplicateFinder::groupRows(qsizetype rowCount, KeyOf keyOf)
{
    using Key = decltype(keyOf(0));
    QHash<Key, qsizetype> numberOfKey; // group number + 1; 0 while new
    numberOfKey.reserve(rowCount);
    m_groupOfRow.resize(size_t(rowCount));
    qsizetype groupCount = 0;
    for (qsizetype i = 0; i < rowCount; ++i) {
        qsizetype &number = numberOfKey[keyOf(i)];
        if (number == 0)
            number = ++groupCount;
        m_groupOfRow[size_t(i)] = number - 1;
    }
    layOutGroups(groupCount);
}

// Places the rows group after group (a counting sort that keeps master
// order inside each group) and remembers where each row went.
void DuplicateFinder::layOutGroups(qsizetype groupCount)
{
    m_groupEnd.assign(size_t(groupCount), 0);
    for (qsizetype g : m_groupOfRow)
        ++m_groupEnd[size_t(g)];
    std::vector<qsizetype> next(static_cast<size_t>(groupCount));
    qsizetype start = 0;
    for (qsizetype g = 0; g < groupCount; ++g) {
        next[size_t(g)] = start;
        start += m_groupEnd[size_t(g)];
        m_groupEnd[size_t(g)] = start;
    }
    m_members.resize(m_groupOfRow.size());
    m_slotOfRow.resize(m_groupOfRow.size());
    for (size_t row = 0; row < m_groupOfRow.size(); ++row) {
        const qsizetype slot = next[size_t(m_groupOfRow[row])]++;
        m_members[size_t(slot)] = qsizetype(row);
        m_slotOfRow[row] = slot;
    }
}

DuplicateResult DuplicateFinder::find(qsizetype rowLimit) const
{
    DuplicateResult result;
    result.pairCount = countPairs();
    const qint64 listed = std::min(result.pairCount, qint64(std::max<qsizetype>(rowLimit, 0) / 2));
    result.truncated = listed < result.pairCount;
    listPairs(listed, result.rows);
    return result;
}

// A group of k rows gives k(k-1)/2 pairs.
qint64 DuplicateFinder::countPairs() const
{
    qint64 pairs = 0;
    qsizetype start = 0;
    for (qsizetype end : m_groupEnd) {
        const qint64 k = end - start;
        pairs += k * (k - 1) / 2;
        start = end;
    }
    return pairs;
}

// Each row in master order, paired with the later rows of its group.
void DuplicateFinder::listPairs(qint64 pairs, QList<qsizetype> &rows) const
{
    rows.reserve(qsizetype(2 * pairs));
    qint64 left = pairs;
    for (size_t row = 0; row < m_groupOfRow.size() && left > 0; ++row) {
        const qsizetype end = m_groupEnd[size_t(m_groupOfRow[row])];
        for (qsizetype slot = m_slotOfRow[row] + 1; slot < end && left > 0; ++slot, --left) {
            rows.append(qsizetype(row));
            rows.append(m_members[size_t(slot)]);
        }
    }
}
