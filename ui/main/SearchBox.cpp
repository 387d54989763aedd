// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "SearchBox.h"

#include "CopyDrop.h"
#include "DropIntake.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

namespace {

bool carriesFiles(const QDropEvent *event)
{
    return DroppedPaths(*event->mimeData()).has_value();
}

} // namespace

SearchBox::SearchBox(QWidget *parent)
    : QLineEdit(parent)
{ }

void SearchBox::keepAsCopy(QDropEvent *event) const
{
    if (event->isAccepted() && event->source() != this)
        event->setDropAction(Qt::CopyAction);
}

void SearchBox::dragEnterEvent(QDragEnterEvent *event)
{
    if (carriesFiles(event)) {
        answerDropAsCopy(event);
        return;
    }
    QLineEdit::dragEnterEvent(event);
    keepAsCopy(event);
}

void SearchBox::dragMoveEvent(QDragMoveEvent *event)
{
    if (carriesFiles(event)) {
        answerDropAsCopy(event);
        return;
    }
    QLineEdit::dragMoveEvent(event);
    keepAsCopy(event);
}

void SearchBox::dropEvent(QDropEvent *event)
{
    if (carriesFiles(event)) {
        answerDropAsCopy(event);
        Q_EMIT filesDropped(*event->mimeData());
        return;
    }
    QLineEdit::dropEvent(event);
    keepAsCopy(event);
}
