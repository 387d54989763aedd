// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "FieldValues.h"

#include <QUndoCommand>

class Form1;

// One field of some rows changed (a category chosen in the popup menu, a
// name edited): undo writes back the texts the rows had, redo the new
// ones, in the master rows and in their copies in the visible list. The
// change is made when the command is pushed; its first redo does nothing.
class SetFieldCommand : public QUndoCommand
{
public:
    SetFieldCommand(Form1 &window, int field, FieldValues before, FieldValues after);

    void undo() override;
    void redo() override;

private:
    Form1 &m_window;
    int m_field;
    FieldValues m_before;
    FieldValues m_after;
    bool m_done = true;
};
