// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QObject>
#include <QStringList>

#include <array>

class CategoryLists;
class QMenu;
class QPoint;
class QWidget;

// The popup menu `pop` of the visible list: five category submenus
// (line7..line11 with the item arrays t01..t05: "無し", a separator, then the
// values of the list) and "削除" (del).
class RowMenu : public QObject
{
    Q_OBJECT

public:
    RowMenu(const CategoryLists &lists, QWidget *parent);

    // Run on every mouse press in the list: items 2.. of t01..t05 are made
    // again from the lists, in the first idle moment after the menu shows or
    // when the submenu opens.
    void rebuild();
    QMenu *menu() const;
    // Shows the menu at a global position and returns when it closes.
    void exec(const QPoint &globalPos);

Q_SIGNALS:
    // Item i of t0k was chosen (k 1..5; i 0 is "無し", i >= 2 the value at
    // list position i - 2).
    void categoryChosen(int k, int item);
    void removeChosen();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addSubmenu(int k);
    void fillStaleSubmenus();
    static void layOut(QMenu *submenu);
    bool fillIfStale(int k);
    void fillSubmenu(int k, const QStringList &values);
    static void addValueItems(QMenu *submenu, int k, const QStringList &values, qsizetype from);

    const CategoryLists &m_lists;
    QMenu *m_pop;
    bool m_fillAfterPaint = false;
    std::array<QMenu *, 5> m_submenus {};
    // The lists as they were at the last press, and the values each submenu
    // was last filled with (copies that share the lists' values).
    std::array<QStringList, 5> m_atPress;
    std::array<QStringList, 5> m_filledWith;
};
