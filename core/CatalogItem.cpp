// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "CatalogItem.h"

#include "EntryText.h"

namespace {

// Start and length of field f inside the joined text.
std::pair<qsizetype, qsizetype> span(const QString &text, int f)
{
    qsizetype start = 0;
    for (int i = 0; i < f; ++i) {
        start = text.indexOf(CatalogItem::Separator, start) + 1;
        Q_ASSERT(start > 0);
    }
    qsizetype end = text.indexOf(CatalogItem::Separator, start);
    if (end < 0)
        end = text.size();
    return { start, end - start };
}

} // namespace

CatalogItem::CatalogItem()
    : m_text(StoredFieldCount - 1, Separator)
{ }

CatalogItem CatalogItem::fromStoredFields(const std::array<QString, StoredFieldCount> &fields)
{
    CatalogItem item;
    qsizetype total = StoredFieldCount - 1;
    for (const QString &f : fields)
        total += f.size();
    item.m_text.clear();
    item.m_text.reserve(total);
    for (int i = 0; i < StoredFieldCount; ++i) {
        if (i > 0)
            item.m_text.append(Separator);
        item.m_text.append(fields[i]);
    }
    return item;
}

CatalogItem CatalogItem::fromJoinedText(QString joined)
{
    Q_ASSERT(joined.count(Separator) == StoredFieldCount - 1);
    return CatalogItem(std::move(joined));
}

QStringView CatalogItem::field(int f) const
{
    if (f < 0 || f >= StoredFieldCount)
        return {};
    const auto [start, length] = span(m_text, f);
    return QStringView(m_text).mid(start, length);
}

QString CatalogItem::text(int f) const
{
    if (f == RowKey)
        return rowKeyText();
    return field(f).toString();
}

void CatalogItem::setField(int f, QStringView value)
{
    if (f < 0 || f >= StoredFieldCount)
        return;
    const QString clean = f == Name ? EntryText::normalizeName(value) : EntryText::normalizeField(value);
    const auto [start, length] = span(m_text, f);
    m_text.replace(start, length, clean);
}

QString CatalogItem::toListLine() const
{
    QString line = m_text;
    line.replace(Separator, QLatin1Char('#'));
    return line;
}
