#pragma once

#include "FileResult.h"

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

private:
    std::array<QStringList, Count> m_lists;
};

// Reads List01.txt..List05.txt from folder; a missing file leaves its list
// as it is.
FileResult LoadCategoryLists(const QString &folder, CategoryLists &lists);
// Writes all five files, in order 1..5; stops at the first failure.
FileResult SaveCategoryLists(const QString &folder, const CategoryLists &lists);
