// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QHash>
#include <QString>
#include <QUndoCommand>

class Form1;

// One field of some rows changed (a category chosen in the popup menu, a
// name edited): undo writes back the texts the rows had, redo the new
// ones, in the master rows and in their copies in the visible list. The
// change is made when the command is pushed; its first redo does nothing.
class SetFieldCommand : public QUndoCommand
{
public:
    // Texts by row key.
    SetFieldCommand(Form1 &window, int field, QHash<qint64, QString> before, QHash<qint64, QString> after);

    void undo() override;
    void redo() override;

private:
    Form1 &m_window;
    int m_field;
    QHash<qint64, QString> m_before;
    QHash<qint64, QString> m_after;
    bool m_done = true;
};
