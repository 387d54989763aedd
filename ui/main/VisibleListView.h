// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QTableView>

// The table that shows the visible list. Its rows are the items: Home and
// End go to the first and last row (not to the first and last column of the
// current row), and with Shift, Ctrl or not, they extend the selection there.
class VisibleListView : public QTableView
{
    Q_OBJECT

public:
    using QTableView::QTableView;

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex &index, const QEvent *event = nullptr) const override;
};
