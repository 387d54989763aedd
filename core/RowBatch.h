// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "CatalogItem.h"
#include "LargeBlocks.h"
#include "TextArena.h"

#include <QByteArray>
#include <QUtf8StringView>

#include <array>
#include <vector>

// Rows held apart from the catalogue, as compactly as the catalogue holds
// them: each row's fifteen texts joined as UTF-8 in a few large blocks, and
// its key. The undo stack keeps the rows that left or entered this way, so
// that a million removed rows cost their bytes and no heap string each.
//
// A row may also be held by its key alone: a row of the visible list that
// showed its master row's texts.
//
// A batch may share the blocks of the arena its rows come from: a row taken
// as it was stored is then held by its place there, and its bytes stay
// where they are, however the arena's owner changes afterwards. Values
// assigned to such a row since it was stored are kept beside it, as ids into
// a table of values the batch holds.
class RowBatch
{
public:
    // Per category: 0 when the stored text holds the field, else value id + 1.
    using AssignedIds = std::array<quint32, 5>;

    RowBatch();
    // A batch that can hold texts of this arena by their spans.
    explicit RowBatch(const TextArena &sharedTexts);
    RowBatch(RowBatch &&) noexcept = default;
    RowBatch &operator=(RowBatch &&) noexcept = default;

    qsizetype size() const { return qsizetype(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    // Room for n rows of about this many bytes of text in all.
    void reserve(qsizetype n, qsizetype bytes = 0);
    // Room for n shared rows with assigned values.
    void reserveAssigned(qsizetype n) { m_assigned.reserve(size_t(n)); }

    // Appends a row: its key and its fifteen texts joined by the separator.
    void append(qint64 key, QUtf8StringView joined);
    void append(const CatalogItem &item);
    // Appending a row written in place: room for its joined texts, then
    // their length.
    char *beginRow(qsizetype maxBytes) { return m_text.reserve(maxBytes); }
    void commitRow(qint64 key, qsizetype length);
    // Appends a row held by its key alone.
    void appendKey(qint64 key);
    // Appends a row whose joined texts lie in the shared arena at span, and
    // one with values assigned since, taken from values().
    void appendShared(qint64 key, TextArena::Span span);
    void appendShared(qint64 key, TextArena::Span span, const AssignedIds &ids);
    void setValues(const std::vector<QByteArray> &values) { m_values = values; }
    const std::vector<QByteArray> &values() const { return m_values; }

    qint64 keyAt(qsizetype i) const { return qint64(m_rows[size_t(i)].key & ~KeyOnly); }
    bool hasTexts(qsizetype i) const { return (m_rows[size_t(i)].key & KeyOnly) == 0; }
    // The joined texts of a row that has them and no assigned values.
    QUtf8StringView joinedText(qsizetype i) const;
    // The row's texts as they were stored, and the values assigned since
    // (null when none).
    QUtf8StringView storedText(qsizetype i) const { return m_text.view(m_rows[size_t(i)].text); }
    const AssignedIds *assignedIds(qsizetype i) const;
    // The row with its key; a row held by key alone gives empty texts.
    CatalogItem item(qsizetype i) const;

private:
    static constexpr quint32 KeyOnly = quint32(1) << 31; // with the key: no texts
    struct Row
    {
        TextArena::Span text;
        quint32 key = 0;
    };

    struct Assigned
    {
        quint32 row;
        AssignedIds ids;
    };

    TextArena m_text;
    std::vector<Row, LargeAllocator<Row>> m_rows;
    std::vector<Assigned, LargeAllocator<Assigned>> m_assigned; // by row, ascending
    std::vector<QByteArray> m_values;
};
