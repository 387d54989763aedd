#pragma once

#include "FileResult.h"

#include <QString>
#include <QStringList>

// Temporary files that a killed save left in the data folder.
//
// A save writes the new file next to the old one and renames it over the
// old one only when it is complete. Where the file system has no unnamed
// temporary files, and for a moment during the rename everywhere, that
// temporary file has a name: the file's own name, ".", and six random
// letters ("List.txt.QwErTy"). A kill at that moment leaves it behind, and
// nothing else will ever remove it. The program's own files are the only
// ones it touches: List.txt, List.txt.bak, test.ini, List01.txt..List05.txt.
class StaleTempFiles
{
public:
    // True for "<own file>.XXXXXX" with six ASCII letters of mixed case, the
    // form the saves give their temporary files. A name such as
    // "List.txt.backup" (all lower case, a word) is a user's copy and is
    // never taken for one.
    static bool isTempName(const QString &fileName);

    // The names of such regular files (not links, not folders) in folder.
    static QStringList find(const QString &folder);

    // Removes them; returns the names removed. The first failure, if any,
    // is in result() (a file that can't be removed stays, and the next start
    // tries again).
    QStringList removeFrom(const QString &folder);
    const FileResult &result() const { return m_result; }
    // "List.txt.QwErTy を削除できませんでした（理由）", or "" when all went.
    QString statusText() const;

private:
    FileResult m_result;
};
