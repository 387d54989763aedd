// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "CatalogFileGuard.h"

#include "DataFolder.h"
#include "ListFile.h"

CatalogFileGuard::CatalogFileGuard(const CatalogLoadReport &report)
    : m_unreadable(report.fileFound && !report.readable)
    , m_backupPending(report.fileFound && report.readable && report.changedOnReading())
{ }

FileResult CatalogFileGuard::refusal() const
{
    return FileResult::failure(
        DataFiles::CatalogFile, QStringLiteral("起動時に読み込めなかったファイルなので、上書きも削除もしません"));
}
