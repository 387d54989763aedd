// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "CatalogSearch.h"

#include "DuplicateFinder.h"
#include "SearchFolding.h"
#include "Utf8Text.h"

#include <string>

namespace {

QStringView nameOf(const Catalog &catalog, qsizetype i)
{
    thread_local std::vector<char16_t> buffer;
    return Utf8Text::toUtf16(catalog.field(i, CatalogItem::Name), buffer);
}

// The empty text occurs in every name but the empty one.
QList<qsizetype> rowsWithAName(const Catalog &catalog)
{
    QList<qsizetype> hits;
    for (qsizetype i = 0; i < catalog.size(); ++i) {
        if (!nameOf(catalog, i).isEmpty())
            hits.append(i);
    }
    return hits;
}

// A unit folds to at most two, so a name too short to hold the folded text
// even then is not folded at all.
QList<qsizetype> rowsContaining(const Catalog &catalog, const std::u16string &needle)
{
    const SearchFolding &folding = SearchFolding::instance();
    const qsizetype shortest = qsizetype(needle.size());
    std::u16string name;
    QList<qsizetype> hits;
    for (qsizetype i = 0; i < catalog.size(); ++i) {
        const QStringView raw = nameOf(catalog, i);
        if (raw.size() * qsizetype(SearchFolding::MaxUnitsPerUnit) < shortest)
            continue;
        folding.foldInto(raw, name);
        if (name.find(needle) != std::u16string::npos)
            hits.append(i);
    }
    return hits;
}

} // namespace

QString FoldForSearch(QStringView text)
{
    return SearchFolding::instance().fold(text);
}

QList<qsizetype> SearchCatalog(const Catalog &catalog, const QString &text)
{
    if (text.isEmpty())
        return rowsWithAName(catalog);
    std::u16string needle;
    SearchFolding::instance().foldInto(text, needle);
    return rowsContaining(catalog, needle);
}

DuplicateResult FindDuplicatePairs(const Catalog &catalog, DuplicateKey key, qsizetype rowLimit)
{
    return DuplicateFinder(catalog, key).find(rowLimit);
}

QString SearchStatusText(qsizetype hits)
{
    return QString::number(hits) + QStringLiteral("個のアイテムが見つかりました");
}

QString DuplicateStatusText(const DuplicateResult &result)
{
    QString text = QString::number(result.pairCount) + QStringLiteral("×２個のアイテムが見つかりました");
    if (result.truncated)
        text += QStringLiteral("（最初の%1組だけを表示しています）").arg(result.rows.size() / 2);
    return text;
}
