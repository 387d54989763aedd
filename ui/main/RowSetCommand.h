// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "RowBatch.h"

#include <QUndoCommand>

class Form1;

// A set of rows that entered the catalogue (a drop, a folder add) or left
// it (削除). Undo and redo take the rows out or put them back, with their
// keys, at their places in the master list. The change itself has been
// made when the command is pushed, so its first redo does nothing.
class RowSetCommand : public QUndoCommand
{
public:
    enum Change { Added, Removed };

    // master: the master rows, visible: their rows as the visible list
    // showed them (a dropped file's row holds the view size; a row that
    // showed its master row's texts may be held by key alone).
    RowSetCommand(Form1 &window, Change change, RowBatch master, RowBatch visible);

    void undo() override;
    void redo() override;

private:
    void putBack();
    void takeOut();

    Form1 &m_window;
    Change m_change;
    RowBatch m_master;
    RowBatch m_visible;
    bool m_done = true;
};
