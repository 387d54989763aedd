// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "DuplicateFinder.h"

#include <QHash>

#include <algorithm>
#include <limits>

namespace {

// Open addressing on the key's hash. A slot remembers the last row seen of
// one key and the upper half of its hash; equal halves are confirmed by
// comparing the texts, so a collision never joins two keys.
class LastRowTable
{
public:
    explicit LastRowTable(qsizetype rowCount)
    {
        size_t capacity = 16;
        while (capacity < 2 * size_t(rowCount))
            capacity *= 2;
        m_slots.assign(capacity, Slot {});
        m_mask = capacity - 1;
    }

    void prefetch([[maybe_unused]] size_t hash) const
    {
#if defined(__GNUC__) || defined(__clang__)
        __builtin_prefetch(&m_slots[hash & m_mask]);
#endif
    }

    // Records row as the last one of its key; gives the row it follows,
    // or -1 for the first row of a key.
    template<typename SameKey> qint32 follow(qint32 row, size_t hash, SameKey sameKey)
    {
        const quint32 tag = quint32(quint64(hash) >> 32);
        for (size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
            Slot &slot = m_slots[i];
            if (slot.lastRow < 0) {
                slot = Slot { tag, row };
                return -1;
            }
            if (slot.tag == tag && sameKey(slot.lastRow, row)) {
                const qint32 previous = slot.lastRow;
                slot.lastRow = row;
                return previous;
            }
        }
    }

private:
    struct Slot
    {
        quint32 tag = 0;
        qint32 lastRow = -1;
    };
    std::vector<Slot, LargeAllocator<Slot>> m_slots;
    size_t m_mask = 0;
};

} // namespace

DuplicateFinder::DuplicateFinder(const Catalog &catalog, DuplicateKey key)
    : m_catalog(catalog)
    , m_key(key)
    , m_seed(QHashSeed::globalSeed())
{
    linkRows();
}

namespace {

// Stored texts are UTF-8, one spelling for each text: equal bytes, equal
// texts.
QByteArrayView bytesOf(QUtf8StringView text)
{
    return QByteArrayView(text.data(), text.size());
}

} // namespace

size_t DuplicateFinder::hashOf(qint32 row) const
{
    const QByteArrayView name = bytesOf(m_catalog.field(row, CatalogItem::Name));
    const QByteArrayView size = bytesOf(m_catalog.field(row, CatalogItem::FileSize));
    switch (m_key) {
    case DuplicateKey::Name:
        return qHash(name, m_seed);
    case DuplicateKey::Size:
        return qHash(size, m_seed);
    case DuplicateKey::NameAndSize:
        return qHashMulti(m_seed, name, size);
    }
    return 0;
}

// Equal character for character: no case or width folding.
bool DuplicateFinder::sameKey(qint32 a, qint32 b) const
{
    const bool byName = m_key != DuplicateKey::Size;
    const bool bySize = m_key != DuplicateKey::Name;
    return (!byName || bytesOf(m_catalog.field(a, CatalogItem::Name)) == bytesOf(m_catalog.field(b, CatalogItem::Name)))
        && (!bySize
            || bytesOf(m_catalog.field(a, CatalogItem::FileSize))
                == bytesOf(m_catalog.field(b, CatalogItem::FileSize)));
}

// A row that is the r-th of its key (counting from 0) pairs with the r rows
// before it, so the pairs are counted as the chains grow. The hashes come
// first, in one pass over the rows, so that the table slot of a row a few
// places ahead can be fetched while this row is looked up: the table is far
// larger than the cache, and waiting for each slot in turn would cost more
// than all the rest.
void DuplicateFinder::linkRows()
{
    Q_ASSERT(m_catalog.size() <= std::numeric_limits<qint32>::max());
    const qint32 rowCount = qint32(m_catalog.size());
    std::vector<size_t, LargeAllocator<size_t>> hashes(static_cast<size_t>(rowCount));
    for (qint32 row = 0; row < rowCount; ++row)
        hashes[size_t(row)] = hashOf(row);

    LastRowTable table(rowCount);
    m_links.assign(size_t(rowCount), Link {});
    const auto sameKey = [this](qint32 a, qint32 b) { return this->sameKey(a, b); };
    constexpr qint32 Ahead = 16;
    for (qint32 row = 0; row < rowCount; ++row) {
        if (row + Ahead < rowCount)
            table.prefetch(hashes[size_t(row + Ahead)]);
        const qint32 previous = table.follow(row, hashes[size_t(row)], sameKey);
        if (previous < 0)
            continue;
        Link &before = m_links[size_t(previous)];
        before.nextSame = row;
        m_links[size_t(row)].earlierSame = before.earlierSame + 1;
        m_pairCount += before.earlierSame + 1;
    }
}

DuplicateResult DuplicateFinder::find(qsizetype rowLimit) const
{
    DuplicateResult result;
    result.pairCount = m_pairCount;
    const qint64 listed = std::min(m_pairCount, qint64(std::max<qsizetype>(rowLimit, 0) / 2));
    result.truncated = listed < m_pairCount;
    listPairs(listed, result.rows);
    return result;
}

// Each row in master order, paired with the later rows down its chain.
void DuplicateFinder::listPairs(qint64 pairs, QList<qsizetype> &rows) const
{
    rows.reserve(qsizetype(2 * pairs));
    qint64 left = pairs;
    const qint32 rowCount = qint32(m_links.size());
    for (qint32 row = 0; row < rowCount && left > 0; ++row) {
        for (qint32 later = m_links[size_t(row)].nextSame; later >= 0 && left > 0;
             later = m_links[size_t(later)].nextSame) {
            rows.append(row);
            rows.append(later);
            --left;
        }
    }
}
