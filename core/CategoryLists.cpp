// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "CategoryLists.h"

#include "DataFolder.h"
#include "EntryText.h"
#include "TextFile.h"

#include <QDir>

namespace {

QString listPath(const QString &folder, int k)
{
    return QDir(folder).filePath(DataFiles::categoryFile(k));
}

QString unreadableReason()
{
    return QStringLiteral("起動時に読み込めなかったファイルなので、上書きしません");
}

} // namespace

QStringList ReadCategoryList(QByteArrayView fileBytes)
{
    QStringList values = TextFile::decodeLines(fileBytes).lines;
    for (QString &value : values) {
        if (!EntryText::isCleanField(value))
            value = EntryText::normalizeField(value);
    }
    return values;
}

QByteArray CategoryListBytes(const QStringList &values)
{
    return TextFile::encodeLines(values);
}

FileResult LoadCategoryLists(const QString &folder, CategoryLists &lists)
{
    FileResult first = FileResult::success(QString());
    for (int k = 1; k <= CategoryLists::Count; ++k) {
        const QString path = listPath(folder, k);
        const TextFile::Bytes file = TextFile::read(path, TextFile::MaxSmallFileBytes);
        if (!file.found)
            continue;
        lists.setUnreadable(k, !file.ok);
        if (!file.ok) {
            if (first.ok)
                first = FileResult::readFailure(DataFiles::categoryFile(k), file.error);
            continue;
        }
        lists.list(k).append(ReadCategoryList(file.bytes));
    }
    return first;
}

QList<FileResult> SaveCategoryLists(const QString &folder, const CategoryLists &lists)
{
    QList<FileResult> failures;
    for (int k = 1; k <= CategoryLists::Count; ++k) {
        const FileResult result = lists.isUnreadable(k)
            ? FileResult::failure(DataFiles::categoryFile(k), unreadableReason())
            : TextFile::replace(listPath(folder, k), CategoryListBytes(lists.list(k)));
        if (!result.ok)
            failures.append(result);
    }
    return failures;
}
