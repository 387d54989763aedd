// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QObject>
#include <QStringList>

#include <array>

class CategoryLists;
class QAction;
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
    // Value items made in one idle moment: 1,000 take about 10 ms.
    static constexpr qsizetype ItemsPerIdleMoment = 1000;
    RowMenu(const CategoryLists &lists, QWidget *parent, qsizetype itemsPerIdleMoment = ItemsPerIdleMoment);

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
    bool isStale(int k) const;
    void fillIfStale(int k);
    bool fillStep(int k, qsizetype maxNew);
    void startFilling(int k, const QStringList &values);
    static QAction *addValueItems(
        QMenu *submenu, int k, const QStringList &values, qsizetype from, qsizetype to, QAction *before);

    const CategoryLists &m_lists;
    const qsizetype m_itemsPerIdleMoment;
    QMenu *m_pop;
    bool m_fillAfterPaint = false;
    std::array<QMenu *, 5> m_submenus {};
    // The lists as they were at the last press, and the values each submenu
    // was last filled with (copies that share the lists' values).
    std::array<QStringList, 5> m_atPress;
    std::array<QStringList, 5> m_filledWith;
    // A submenu being filled a slice at a time: the values it is filled
    // with, how many items that stood took their captions, and from which
    // value on the missing items are made (the first of them firstMade).
    struct Filling
    {
        QStringList values;
        qsizetype kept = -1;
        qsizetype madeFrom = 0;
        QAction *firstMade = nullptr;
    };
    std::array<Filling, 5> m_filling;
};
