// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "LargeBlocks.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QUtf8StringView>

#include <utility>
#include <vector>

// The texts one field of many rows had or is given, by row key, for undo:
// each distinct text is kept once, so that a change of a million rows to a
// few values costs a few bytes a row.
class FieldValues
{
public:
    void reserve(qsizetype n) { m_entries.reserve(size_t(n)); }
    void add(qint64 key, QUtf8StringView text);
    void add(qint64 key, const QString &text);

    bool isEmpty() const { return m_entries.empty(); }
    qsizetype size() const { return qsizetype(m_entries.size()); }
    // The distinct texts, and for each the keys of its rows (keysByText()[t]).
    qsizetype textCount() const { return m_texts.size(); }
    QString text(qsizetype t) const;
    std::vector<QList<qint64>> keysByText() const;
    // The text for the row with key, or nullptr.
    const QByteArray *find(qint64 key) const;

private:
    quint32 idOf(QByteArrayView text);

    // Keys are below 2^31: a row costs eight bytes.
    mutable std::vector<std::pair<quint32, quint32>, LargeAllocator<std::pair<quint32, quint32>>>
        m_entries; // (key, text id)
    mutable bool m_sorted = true;
    QList<QByteArray> m_texts; // UTF-8
    QHash<QByteArray, quint32> m_ids;
    qsizetype m_last = -1;
};
