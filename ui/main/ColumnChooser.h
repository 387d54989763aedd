// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QObject>

#include <array>

class QHeaderView;
class QMenu;
class QPoint;

// The menu of the list header's right click: the sixteen column captions,
// ticked while the column shows. A hidden column has width 0, the form in
// which test.ini keeps it; shown again, it takes its last width, or its
// default one.
class ColumnChooser : public QObject
{
    Q_OBJECT

public:
    static constexpr int ColumnCount = 16;

    // defaultWidths in pixels; a 0 there stands for a column hidden by
    // default, which opens at a plain width.
    ColumnChooser(QHeaderView *header, const std::array<int, ColumnCount> &defaultWidths, QObject *parent = nullptr);

    bool isShown(int column) const;
    void setShown(int column, bool shown);
    // The menu as it opens now (the caller owns it).
    QMenu *buildMenu(QWidget *parent) const;

private:
    void openMenu(const QPoint &pos);

    QHeaderView *m_header;
    std::array<int, ColumnCount> m_defaultWidths;
    std::array<int, ColumnCount> m_lastWidths {};
};
