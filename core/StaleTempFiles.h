// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "FileResult.h"

#include <QString>
#include <QStringList>

// Temporary files that a killed save left in the data folder.
//
// A save writes the new file next to the old one under a name of its own
// making ("List.txt.zarumi-k3J9xQ.tmp", SaveFile) and renames it over the
// old one only when it is complete. A kill before the rename leaves it
// behind, and nothing else will ever remove it. Only names of that form
// for the program's own files are touched (List.txt, List.txt.bak,
// test.ini, List01.txt..List05.txt): a user's copy such as
// "List.txt.Backup" is never taken for one.
class StaleTempFiles
{
public:
    // True for the temporary name of a save of one of the own files.
    static bool isTempName(const QString &fileName);

    // The names of such regular files (not links, not folders) in folder.
    static QStringList find(const QString &folder);

    // Removes them; returns the names removed. The first failure, if any,
    // is in result() (a file that can't be removed stays, and the next start
    // tries again).
    QStringList removeFrom(const QString &folder);
    const FileResult &result() const { return m_result; }
    // The start-up's note: which leftovers were removed
    // ("保存の途中で残った一時ファイル List.txt.zarumi-k3J9xQ.tmp を削除しました"),
    // and "… を削除できませんでした（理由）" for one that stays; "" when
    // there was none.
    QString statusText() const;

private:
    FileResult m_result;
    QStringList m_removed;
};
