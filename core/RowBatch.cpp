// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "RowBatch.h"

#include "Catalog.h"

#include "Utf8Text.h"

#include <algorithm>
#include <limits>

namespace {

// Most batches are a drop of a few files, held in small blocks; a large
// removal reserves its room in blocks as large as the catalogue's, whose
// memory is cheaper to come by.
constexpr qsizetype BlockBytes = qsizetype(64) << 10;

} // namespace

RowBatch::RowBatch()
    : m_text(BlockBytes)
{ }

RowBatch::RowBatch(const TextArena &sharedTexts)
    : m_text(sharedTexts.sharedCopy(BlockBytes))
{ }

void RowBatch::reserve(qsizetype n, qsizetype bytes)
{
    m_rows.reserve(size_t(n));
    if (bytes > m_text.blockBytes())
        m_text.setBlockBytes(std::min(bytes, TextArena::BlockBytes));
}

void RowBatch::append(qint64 key, QUtf8StringView joined)
{
    Q_ASSERT(key >= 0 && key < std::numeric_limits<qint32>::max());
    m_rows.push_back(Row { m_text.add(joined), quint32(key) });
}

void RowBatch::commitRow(qint64 key, qsizetype length)
{
    Q_ASSERT(key >= 0 && key < std::numeric_limits<qint32>::max());
    m_rows.push_back(Row { m_text.commit(length), quint32(key) });
}

void RowBatch::append(const CatalogItem &item)
{
    Q_ASSERT(item.rowKey() >= 0 && item.rowKey() < std::numeric_limits<qint32>::max());
    m_rows.push_back(Row { m_text.add(item.joinedText()), quint32(item.rowKey()) });
}

void RowBatch::appendShared(qint64 key, TextArena::Span span)
{
    Q_ASSERT(key >= 0 && key < std::numeric_limits<qint32>::max());
    m_rows.push_back(Row { span, quint32(key) });
}

void RowBatch::appendShared(qint64 key, TextArena::Span span, const AssignedIds &ids)
{
    m_assigned.push_back(Assigned { quint32(m_rows.size()), ids });
    appendShared(key, span);
}

const RowBatch::AssignedIds *RowBatch::assignedIds(qsizetype i) const
{
    const auto found = std::lower_bound(m_assigned.begin(), m_assigned.end(), quint32(i),
        [](const Assigned &assigned, quint32 row) { return assigned.row < row; });
    return found != m_assigned.end() && found->row == quint32(i) ? &found->ids : nullptr;
}

void RowBatch::appendKey(qint64 key)
{
    Q_ASSERT(key >= 0 && key < std::numeric_limits<qint32>::max());
    m_rows.push_back(Row { TextArena::Span(), quint32(key) | KeyOnly });
}

QUtf8StringView RowBatch::joinedText(qsizetype i) const
{
    Q_ASSERT(hasTexts(i) && !assignedIds(i));
    return storedText(i);
}

CatalogItem RowBatch::item(qsizetype i) const
{
    CatalogItem row;
    if (hasTexts(i)) {
        QByteArray buffer;
        const AssignedIds *ids = assignedIds(i);
        const QUtf8StringView joined = ids ? Catalog::withValues(storedText(i), *ids, m_values, buffer) : storedText(i);
        row = CatalogItem::fromJoinedText(Utf8Text::toString(joined));
    }
    row.setRowKey(keyAt(i));
    return row;
}
