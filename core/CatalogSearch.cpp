// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "CatalogSearch.h"

#include "DuplicateFinder.h"
#include "NameMatcher.h"
#include "SearchFolding.h"

#include <algorithm>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// A view of the name, whichever text form the catalogue keeps.
auto nameOf(const Catalog &catalog, qsizetype i)
{
    return catalog.field(i, CatalogItem::Name);
}

// The rows of [from, to) whose name isHit accepts, in order. Each part
// has its own copy of isHit.
template<typename IsHit>
void findHits(const Catalog &catalog, IsHit isHit, qsizetype from, qsizetype to, QList<qsizetype> &hits)
{
    for (qsizetype i = from; i < to; ++i) {
        if (isHit(nameOf(catalog, i)))
            hits.append(i);
    }
}

// A large catalogue is cut into consecutive parts searched side by side,
// one a core; the hits of the parts, joined in part order, are those of one
// pass. isHit is called on several threads at once.
template<typename IsHit> QList<qsizetype> rowsWhere(const Catalog &catalog, const IsHit &isHit, qsizetype parallelFrom)
{
    const qsizetype n = catalog.size();
    const int parts = n >= parallelFrom ? std::clamp(int(std::thread::hardware_concurrency()), 2, 8) : 1;
    const auto bound = [&](int part) { return n * part / parts; };
    std::vector<QList<qsizetype>> found(static_cast<size_t>(parts));
    std::vector<std::thread> threads;
    for (int part = 1; part < parts; ++part) {
        QList<qsizetype> &hits = found[size_t(part)];
        const qsizetype from = bound(part), to = bound(part + 1);
        try {
            threads.emplace_back([&catalog, &isHit, from, to, &hits] { findHits(catalog, isHit, from, to, hits); });
        } catch (const std::system_error &) { // no thread to be had: this one does it
            findHits(catalog, isHit, from, to, hits);
        }
    }
    findHits(catalog, isHit, 0, bound(1), found[0]);
    for (std::thread &thread : threads)
        thread.join();
    QList<qsizetype> hits = std::move(found[0]);
    for (size_t part = 1; part < found.size(); ++part)
        hits.append(found[part]);
    return hits;
}

} // namespace

QString FoldForSearch(QStringView text)
{
    return SearchFolding::instance().fold(text);
}

QList<qsizetype> SearchCatalog(const Catalog &catalog, const QString &text, qsizetype parallelFrom)
{
    // The empty text occurs in every name but the empty one.
    if (text.isEmpty())
        return rowsWhere(
            catalog, [](auto name) { return !name.isEmpty(); }, parallelFrom);
    const NameMatcher matcher(text);
    return rowsWhere(
        catalog, [&matcher, scratch = std::u16string()](auto name) mutable { return matcher.matches(name, scratch); },
        parallelFrom);
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
