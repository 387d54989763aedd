// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "VisibleListView.h"

#include <QKeyEvent>

namespace {

bool isHomeOrEnd(const QEvent *event)
{
    if (!event || event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Home || key == Qt::Key_End;
}

} // namespace

QModelIndex VisibleListView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    if ((cursorAction != MoveHome && cursorAction != MoveEnd) || !model() || model()->rowCount(rootIndex()) == 0)
        return QTableView::moveCursor(cursorAction, modifiers);
    const int row = cursorAction == MoveHome ? 0 : model()->rowCount(rootIndex()) - 1;
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    return model()->index(row, column, rootIndex());
}

// The table leaves the selection alone when Ctrl goes with a movement key;
// Ctrl+Shift+End and Ctrl+Shift+Home extend it as Shift alone does.
QItemSelectionModel::SelectionFlags VisibleListView::selectionCommand(
    const QModelIndex &index, const QEvent *event) const
{
    if (isHomeOrEnd(event) && selectionMode() == ExtendedSelection
        && (static_cast<const QKeyEvent *>(event)->modifiers() & Qt::ShiftModifier))
        return QItemSelectionModel::SelectCurrent | QItemSelectionModel::Rows;
    return QTableView::selectionCommand(index, event);
}
