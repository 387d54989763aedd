// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "FolderWalk.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <set>

namespace {

bool isCancelled(const std::atomic<bool> *cancel)
{
    return cancel && cancel->load();
}

bool canList(const QFileInfo &folder)
{
#ifdef Q_OS_WIN
    return folder.isReadable();
#else
    // A folder without search permission lists names that can't be looked up.
    return folder.isReadable() && folder.isExecutable();
#endif
}

// The C locale compares code points and has no numeric mode: the names of
// a machine without a locale are compared as in Japanese.
QLocale collationLocale()
{
    const QLocale system;
    return system.language() == QLocale::C ? QLocale(QLocale::Japanese, QLocale::Japan) : system;
}

} // namespace

FolderWalk::Result FolderWalk::run(const QString &root, const std::atomic<bool> *cancel)
{
    Result result;
    std::set<QString> visited;
    walk(QDir::cleanPath(root), result, visited, cancel);
    return result;
}

std::optional<QFileInfoList> FolderWalk::listFolder(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isDir() || !canList(info))
        return std::nullopt;
    const QDir dir(path);
    // Broken links and special files (FIFOs, devices) are left out: only
    // files and folders are asked for.
    return dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::NoSort);
}

void FolderWalk::walk(
    const QString &folder, Result &result, std::set<QString> &visited, const std::atomic<bool> *cancel)
{
    if (isCancelled(cancel)) {
        result.cancelled = true;
        return;
    }
    std::optional<QFileInfoList> entries = listFolder(folder);
    if (!entries) {
        ++result.skippedFolders;
        return;
    }
    // A folder reached a second time (a junction or a bind mount that leads
    // back up) is not walked again.
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (!canonical.isEmpty() && !visited.insert(canonical).second)
        return;
    QCollator collator(collationLocale());
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(entries->begin(), entries->end(), [&collator](const QFileInfo &a, const QFileInfo &b) {
        const int order = collator.compare(a.fileName(), b.fileName());
        return order != 0 ? order < 0 : a.fileName() < b.fileName();
    });
    for (const QFileInfo &entry : std::as_const(*entries)) {
        if (result.cancelled)
            return;
        if (isCancelled(cancel)) {
            result.cancelled = true;
            return;
        }
        if (entry.isDir()) {
            if (!entry.isSymLink())
                walk(entry.filePath(), result, visited, cancel);
        } else {
            result.files.append(entry.filePath());
        }
    }
}
