// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "FieldValues.h"

#include "Utf8Text.h"

#include <algorithm>
#include <limits>

// Rows given in a run mostly share their text: the last one is tried first.
quint32 FieldValues::idOf(QByteArrayView text)
{
    if (m_last >= 0 && m_texts[m_last] == text)
        return quint32(m_last);
    const QByteArray probe = QByteArray::fromRawData(text.data(), text.size());
    auto found = m_ids.constFind(probe);
    if (found == m_ids.cend()) {
        m_texts.append(text.toByteArray());
        found = m_ids.insert(m_texts.constLast(), quint32(m_texts.size() - 1));
    }
    m_last = found.value();
    return found.value();
}

void FieldValues::add(qint64 key, QUtf8StringView text)
{
    Q_ASSERT(key >= 0 && key <= std::numeric_limits<qint32>::max());
    if (!m_entries.empty() && m_entries.back().first > key)
        m_sorted = false;
    m_entries.emplace_back(quint32(key), idOf(QByteArrayView(text.data(), text.size())));
}

void FieldValues::add(qint64 key, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    add(key, QUtf8StringView(utf8.constData(), utf8.size()));
}

// Not QString::fromUtf8(), which drops a leading U+FEFF.
QString FieldValues::text(qsizetype t) const
{
    return Utf8Text::toString(QUtf8StringView(m_texts[t].constData(), m_texts[t].size()));
}

std::vector<QList<qint64>> FieldValues::keysByText() const
{
    std::vector<QList<qint64>> keys(size_t(m_texts.size()));
    for (const auto &[key, id] : m_entries)
        keys[id].append(key);
    return keys;
}

const QByteArray *FieldValues::find(qint64 key) const
{
    if (!m_sorted) {
        std::sort(m_entries.begin(), m_entries.end());
        m_sorted = true;
    }
    const auto it = std::lower_bound(
        m_entries.begin(), m_entries.end(), key, [](const auto &entry, qint64 k) { return entry.first < k; });
    if (it == m_entries.end() || qint64(it->first) != key)
        return nullptr;
    return &m_texts[it->second];
}
