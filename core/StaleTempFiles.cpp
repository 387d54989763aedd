// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "StaleTempFiles.h"

#include "DataFolder.h"
#include "FileErrorText.h"
#include "SaveFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>

namespace {

QStringList ownFileNames()
{
    QStringList names { DataFiles::CatalogFile, DataFiles::CatalogFile + QStringLiteral(".bak"),
        DataFiles::SettingsFile };
    for (int n = 1; n <= 5; ++n)
        names.append(DataFiles::categoryFile(n));
    return names;
}

} // namespace

bool StaleTempFiles::isTempName(const QString &fileName)
{
    // Exact case: the saves use the names as they are.
    const QStringList own = ownFileNames();
    return std::any_of(
        own.begin(), own.end(), [&](const QString &name) { return SaveFile::isTemporaryName(fileName, name); });
}

QStringList StaleTempFiles::find(const QString &folder)
{
    QStringList found;
    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QString &name : entries) {
        const QFileInfo info(dir.filePath(name));
        if (isTempName(name) && info.isFile() && !info.isSymLink())
            found.append(name);
    }
    return found;
}

QStringList StaleTempFiles::removeFrom(const QString &folder)
{
    m_result = FileResult::success(QString());
    m_removed.clear();
    const QDir dir(folder);
    for (const QString &name : find(folder)) {
        QFile file(dir.filePath(name));
        errno = 0;
        if (file.remove())
            m_removed.append(name);
        else if (m_result.ok)
            m_result = FileResult::failure(name, FileErrorText::reason(errno, QFileDevice::RemoveError));
    }
    return m_removed;
}

QString StaleTempFiles::statusText() const
{
    QString text;
    if (!m_removed.isEmpty()) {
        text = QStringLiteral("保存の途中で残った一時ファイル ") + m_removed.join(QStringLiteral("、"))
            + QStringLiteral(" を削除しました");
    }
    if (!m_result.ok) {
        if (!text.isEmpty())
            text += QStringLiteral("　");
        text
            += m_result.fileName + QStringLiteral(" を削除できませんでした（") + m_result.reason + QStringLiteral("）");
    }
    return text;
}
