// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "RowBatch.h"

#include "Utf8Text.h"

#include <limits>

namespace {

// Most batches are a drop of a few files; a large removal fills blocks of
// this size one after another.
constexpr qsizetype BlockBytes = qsizetype(1) << 20;

} // namespace

RowBatch::RowBatch()
    : m_text(BlockBytes)
{ }

void RowBatch::append(qint64 key, QUtf8StringView joined)
{
    Q_ASSERT(key >= 0 && key < std::numeric_limits<qint32>::max());
    m_rows.push_back(Row { m_text.add(joined), quint32(key) });
}

void RowBatch::append(const CatalogItem &item)
{
    const QStringView joined = item.joinedText();
    char *room = m_text.reserve(Utf8Text::length(joined));
    Q_ASSERT(item.rowKey() >= 0 && item.rowKey() < std::numeric_limits<qint32>::max());
    m_rows.push_back(Row { m_text.commit(Utf8Text::fromUtf16(joined, room)), quint32(item.rowKey()) });
}

void RowBatch::appendKey(qint64 key)
{
    Q_ASSERT(key >= 0 && key < std::numeric_limits<qint32>::max());
    m_rows.push_back(Row { TextArena::Span { KeyOnly, 0, 0 }, quint32(key) });
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
