#include "SaveSequence.h"

#include "DataFolder.h"

#include <QDir>

QString SaveSequenceReport::statusText() const
{
    if (ok())
        return QString::number(rows) + QStringLiteral("個のアイテムを保存しました。");
    QStringList failures;
    for (const FileResult *result : { &settings, &catalog, &categories }) {
        if (!result->ok)
            failures.append(result->statusText());
    }
    return failures.join(QStringLiteral("　"));
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
