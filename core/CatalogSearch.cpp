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

// The rows of [from, to) that isHit accepts, in order. Each part has its
// own copy of isHit.
template<typename IsHit> void findHits(IsHit isHit, qsizetype from, qsizetype to, QList<qsizetype> &hits)
{
    for (qsizetype i = from; i < to; ++i) {
        if (isHit(i))
            hits.append(i);
    }
}

// How often each byte and pair of bytes occur in the names of some rows
// spread over the catalogue: the search looks for the rarest.
NameMatcher::ByteCounts byteCountsOfNames(const Catalog &catalog)
{
    constexpr qsizetype Sample = 512;
    NameMatcher::ByteCounts counts;
    const qsizetype n = catalog.size();
    const qsizetype step = std::max<qsizetype>(1, n / Sample);
    for (qsizetype i = 0; i < n; i += step)
        counts.add(catalog.field(i, CatalogItem::Name));
    return counts;
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
            threads.emplace_back([&isHit, from, to, &hits] { findHits(isHit, from, to, hits); });
        } catch (const std::system_error &) { // no thread to be had: this one does it
            findHits(isHit, from, to, hits);
        }
    }
    findHits(isHit, 0, bound(1), found[0]);
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

// A row's name is the first of its joined texts; reading it there spares
// seeking the end of the name apart.
QList<qsizetype> SearchCatalog(const Catalog &catalog, const QString &text, qsizetype parallelFrom)
{
    // The empty text occurs in every name but the empty one.
    if (text.isEmpty()) {
        const char separator = char(CatalogItem::Separator.unicode());
        return rowsWhere(
            catalog,
            [&catalog, separator](qsizetype i) {
                const QUtf8StringView joined = catalog.joinedText(i);
                return !joined.isEmpty() && joined.front() != separator;
            },
            parallelFrom);
    }
    const NameMatcher::ByteCounts counts = byteCountsOfNames(catalog);
    const NameMatcher matcher(text, &counts);
    return rowsWhere(
        catalog,
        [&catalog, &matcher, scratch = std::u16string()](
            qsizetype i) mutable { return matcher.matchesFirstField(catalog.joinedText(i), scratch); },
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
