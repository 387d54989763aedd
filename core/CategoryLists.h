// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "FileResult.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QStringList>

#include <array>

// The five user-edited lists of category values, numbered 1..5:
// Genre1, Genre2, Remarks, Other1, Other2.
class CategoryLists
{
public:
    static constexpr int Count = 5;

    const QStringList &list(int k) const { return m_lists[size_t(k - 1)]; }
    QStringList &list(int k) { return m_lists[size_t(k - 1)]; }

    // True when list k's file was there at start-up but could not be read:
    // SaveCategoryLists then leaves that file alone for the rest of the run
    // rather than replace it by an empty list.
    bool isUnreadable(int k) const { return m_unreadable[size_t(k - 1)]; }
    void setUnreadable(int k, bool unreadable) { m_unreadable[size_t(k - 1)] = unreadable; }

private:
    std::array<QStringList, Count> m_lists;
    std::array<bool, Count> m_unreadable {};
};

// Reads List01.txt..List05.txt from folder; a missing file leaves its list
// as it is. A file that can't be read is skipped too and marked unreadable
// in lists; the first such failure is returned (the other lists are still
// read).
FileResult LoadCategoryLists(const QString &folder, CategoryLists &lists);

// The values of one category file's bytes: one per line, an empty line is
// an empty value, a last line without CR LF counts, LF alone ends a line
// too; each value passes the entry rule ('#' becomes "＃").
QStringList ReadCategoryList(QByteArrayView fileBytes);
// The bytes of a category file: each value and CR LF, in code page 932, or
// in UTF-8 with a byte-order mark when some value does not fit.
QByteArray CategoryListBytes(const QStringList &values);
// Writes all five files, in order 1..5: one that can't be written does not
// stop the ones after it. A file marked unreadable is not written. Returns
// the failures, in file order; empty when all five were written.
QList<FileResult> SaveCategoryLists(const QString &folder, const CategoryLists &lists);
