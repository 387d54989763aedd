// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "RowBatch.h"

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

void RowBatch::appendKey(qint64 key)
{
    Q_ASSERT(key >= 0 && key < std::numeric_limits<qint32>::max());
    m_rows.push_back(Row { TextArena::Span(), quint32(key) | KeyOnly });
}

QUtf8StringView RowBatch::joinedText(qsizetype i) const
{
    Q_ASSERT(hasTexts(i));
    return m_text.view(m_rows[size_t(i)].text);
}

CatalogItem RowBatch::item(qsizetype i) const
{
    CatalogItem row = hasTexts(i) ? CatalogItem::fromJoinedText(Utf8Text::toString(joinedText(i))) : CatalogItem();
    row.setRowKey(keyAt(i));
    return row;
}
