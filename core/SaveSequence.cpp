// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "SaveSequence.h"

#include "DataFolder.h"

#include <QDir>

QList<FileResult> SaveSequenceReport::failures() const
{
    QList<FileResult> failed;
    for (const FileResult *result : { &settings, &catalog }) {
        if (!result->ok)
            failed.append(*result);
    }
    return failed + categories;
}

QString SaveSequenceReport::statusText() const
{
    const QList<FileResult> failed = failures();
    if (failed.isEmpty())
        return QString::number(rows) + QStringLiteral("個のアイテムを保存しました。");
    QStringList texts;
    for (const FileResult &result : failed)
        texts.append(result.statusText());
    return texts.join(QStringLiteral("　"));
}

SaveSequenceReport SaveFromFileMenu(const QString &folder, const Catalog &catalog, const CategoryLists &lists,
    CatalogFileGuard &guard, const ProgressCallback &progress)
{
    SaveSequenceReport report;
    report.rows = catalog.size();
    report.catalog = SaveCatalog(QDir(folder).filePath(DataFiles::CatalogFile), catalog, guard, progress);
    report.categories = SaveCategoryLists(folder, lists);
    return report;
}

SaveSequenceReport SaveOnExit(const QString &folder, const SettingsToSave &settings, bool saveCatalog,
    const Catalog &catalog, const CategoryLists &lists, CatalogFileGuard &guard, const ProgressCallback &progress)
{
    const QDir dir(folder);
    SaveSequenceReport report;
    report.rows = catalog.size();
    report.settings = SaveSettings(dir.filePath(DataFiles::SettingsFile), settings);
    const QString listPath = dir.filePath(DataFiles::CatalogFile);
    if (saveCatalog && catalog.isEmpty())
        report.catalog = RecycleCatalogFile(listPath, guard);
    else if (saveCatalog)
        report.catalog = SaveCatalog(listPath, catalog, guard, progress);
    report.categories = SaveCategoryLists(folder, lists);
    return report;
}
