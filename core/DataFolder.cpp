// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "DataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// An installed program lies in a bin folder beside share/ with our menu
// entry, whatever the prefix (/usr, /usr/local, ~/.local); or in the bin
// folder this build installs to.
bool isInstalledLayout(const QString &programFolder)
{
    const QDir folder(programFolder);
    if (QFileInfo::exists(folder.filePath(QStringLiteral("../share/applications/zarumi.desktop"))))
        return true;
    return QFileInfo(programFolder).canonicalFilePath()
        == QFileInfo(QStringLiteral(ZARUMI_INSTALL_BINDIR)).canonicalFilePath();
}

bool isInBuildTree(const QString &programFolder)
{
    const QString tree = QFileInfo(QStringLiteral(ZARUMI_BUILD_DIR)).canonicalFilePath();
    const QString folder = QFileInfo(programFolder).canonicalFilePath();
    return !tree.isEmpty() && !folder.isEmpty() && (folder == tree || folder.startsWith(tree + u'/'));
}

bool filesBesideProgram(const QString &programFolder, DataFolderRule rule)
{
    if (programFolder.isEmpty() || !QFileInfo(programFolder).isWritable())
        return false;
    if (rule == DataFolderRule::OnlyInBuildTree)
        return isInBuildTree(programFolder);
    return !isInstalledLayout(programFolder);
}

} // namespace

QString DataFolderFor(const QString &programFolder, DataFolderRule rule)
{
    const QString fromEnvironment = qEnvironmentVariable("ZARUMI_DATA_DIR");
    if (!fromEnvironment.isEmpty())
        return QDir(fromEnvironment).absolutePath();

    // An installed program keeps its files per user, even when its folder
    // happens to be writable (as /usr/bin is for root).
    if (filesBesideProgram(programFolder, rule))
        return programFolder;

    const QString perUser = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(perUser);
    return perUser;
}

QString DataFolder()
{
    return DataFolderFor(QCoreApplication::applicationDirPath());
}

QString DataFiles::categoryFile(int n)
{
    return QStringLiteral("List0%1.txt").arg(n);
}
