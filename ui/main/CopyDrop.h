// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QDropEvent>

// Dropped files are only read: a drop is always answered as a copy, so that
// no drag source (a file manager, an editor) deletes what it dragged.
inline void answerDropAsCopy(QDropEvent *event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
}
