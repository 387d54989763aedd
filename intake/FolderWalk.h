// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QFileInfoList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <optional>
#include <set>

// The files under a folder, as "フォルダを追加…" adds them: every file of
// the folder and of its subfolders, hidden ones included, in path order
// folder by folder, names compared as a file manager does ("ep2" before
// "ep10"). A link to a file counts as a file (the probe follows it); a link
// to a folder is not entered, so the walk can't run in a circle. Folders
// that can't be listed are skipped and counted.
class FolderWalk
{
public:
    struct Result
    {
        QStringList files;
        int skippedFolders = 0;
        bool cancelled = false;
    };

    virtual ~FolderWalk() = default;

    // Walks root; stops early (cancelled) once *cancel turns true.
    Result run(const QString &root, const std::atomic<bool> *cancel = nullptr);

protected:
    // The entries of one folder, unsorted; nullopt when it can't be read.
    virtual std::optional<QFileInfoList> listFolder(const QString &path);

private:
    void walk(const QString &folder, Result &result, std::set<QString> &visited, const std::atomic<bool> *cancel);
};
