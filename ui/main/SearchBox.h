// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QLineEdit>

class QMimeData;

// The search text box. Dragged text goes into it as a copy (a move within
// the box stays a move); files dropped on it are handed on as filesDropped,
// to be added as on the list.
class SearchBox : public QLineEdit
{
    Q_OBJECT

public:
    explicit SearchBox(QWidget *parent = nullptr);

Q_SIGNALS:
    // Emitted during the drop: data lives until the handlers return.
    void filesDropped(const QMimeData &data);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void keepAsCopy(QDropEvent *event) const;
};
