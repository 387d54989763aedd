// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "Catalog.h"

#include <QList>
#include <QString>
#include <QStringView>

// Search by name and the duplicate finder. Both read the whole master list
// and give master-list positions; the window lists copies of those rows.

// Folds a text for the name search: letter case, half-width against
// full-width forms and hiragana against katakana.
QString FoldForSearch(QStringView text);

// A catalogue of this many rows or more is searched on every core.
inline constexpr qsizetype SearchParallelRows = 100'000;

// Positions of the rows whose Name contains text (folded), in master
// order. An empty text finds every non-empty name.
QList<qsizetype> SearchCatalog(
    const Catalog &catalog, const QString &text, qsizetype parallelFrom = SearchParallelRows);

enum class DuplicateKey { Name = 0, Size = 1, NameAndSize = 2 };

struct DuplicateResult
{
    QList<qsizetype> rows; // pairs, flattened: earlier row, later row, ...
    qint64 pairCount = 0; // every pair, also those past the limit
    bool truncated = false; // rows holds only the first pairs
};

inline constexpr qsizetype DuplicateRowLimit = 10'000'000;

// Every pair of rows equal on the key, earlier row first, in ascending
// order of the earlier row and then of the later one.
DuplicateResult FindDuplicatePairs(const Catalog &catalog, DuplicateKey key, qsizetype rowLimit = DuplicateRowLimit);

// The status texts of the two: the count in plain decimal digits followed at
// once by the message. A truncated duplicate result adds a note saying how
// many pairs are listed.
QString SearchStatusText(qsizetype hits);
QString DuplicateStatusText(const DuplicateResult &result);
