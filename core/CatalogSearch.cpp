// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "CatalogSearch.h"

#include "DuplicateFinder.h"
#include "NameMatcher.h"
#include "SearchFolding.h"
#include "WorkShare.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The rows of [from, to) that isHit accepts, in order.
template<typename IsHit> void findHits(IsHit &isHit, qsizetype from, qsizetype to, QList<qsizetype> &hits)
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

// A large catalogue is cut into blocks of consecutive rows, shared out
// among the cores. The hits of the blocks, joined in block order, are those
// of one pass. Each thread calls its own copy of isHit.
template<typename IsHit> QList<qsizetype> rowsWhere(const Catalog &catalog, const IsHit &isHit, qsizetype parallelFrom)
{
    constexpr qsizetype BlockRows = 1 << 15;
    const qsizetype n = catalog.size();
    const int threadCount = WorkShare::threadsFor(n, parallelFrom);
    const qsizetype blocks = std::max<qsizetype>(4 * threadCount, (n + BlockRows - 1) / BlockRows);
    std::vector<QList<qsizetype>> found(static_cast<size_t>(blocks));
    struct alignas(64) Own // apart from the other threads' copies
    {
        IsHit isHit;
    };
    std::vector<Own> own(size_t(threadCount), Own { isHit });
    WorkShare::run(blocks, threadCount, [&](qsizetype block, int thread) {
        findHits(own[size_t(thread)].isHit, n * block / blocks, n * (block + 1) / blocks, found[size_t(block)]);
    });
    QList<qsizetype> hits = std::move(found[0]);
    for (size_t block = 1; block < found.size(); ++block)
        hits.append(found[block]);
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
        return rowsWhere(
            catalog,
            [&catalog](qsizetype i) {
                constexpr char Separator = char(CatalogItem::Separator.unicode());
                const QUtf8StringView joined = catalog.joinedText(i);
                return !joined.isEmpty() && joined.front() != Separator;
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
