// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "Trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

void prepareUserTrash()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!dataHome.isEmpty())
        QDir().mkpath(dataHome + QStringLiteral("/Trash"));
#endif
}

// A trashed file lies in a folder named files (freedesktop) below a trash
// folder, given by an absolute path.
bool landedInTrash(const QString &pathInTrash)
{
    if (pathInTrash.isEmpty())
        return true; // platforms that don't tell where it went
    const QFileInfo info(pathInTrash);
    return info.isAbsolute() && info.exists();
}

void undoStrayMove(const QString &pathInTrash, const QString &original)
{
    const QFileInfo stray(pathInTrash);
    QFile::rename(stray.absoluteFilePath(), original);
    // Qt writes its note beside files/, in info/<name>.trashinfo.
    const QString note
        = stray.absoluteDir().absoluteFilePath(QStringLiteral("../info/%1.trashinfo").arg(stray.fileName()));
    QFile::remove(note);
    QDir parent = stray.absoluteDir();
    const QString base = QFileInfo(parent.absolutePath()).absolutePath();
    QDir(base).rmdir(QStringLiteral("files"));
    QDir(base).rmdir(QStringLiteral("info"));
}

} // namespace

FileResult MoveToTrash(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    prepareUserTrash();
    QString pathInTrash;
    QFile file(path);
    if (!file.moveToTrash()) // the toolkit's own reason is in English
        return FileResult::failure(name, QStringLiteral("ごみ箱へ移せませんでした"));
    pathInTrash = file.fileName();
    if (pathInTrash == path || !landedInTrash(pathInTrash)) {
        if (pathInTrash != path)
            undoStrayMove(pathInTrash, path);
        return FileResult::failure(name, QStringLiteral("ごみ箱が見つかりませんでした"));
    }
    return FileResult::success(name);
}
