// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QMenu>

// A category submenu of the list's popup menu, made for lists of thousands
// of values: taller than the screen, it scrolls in one column instead of
// spreading over columns wider than the screen, where the later values could
// not be reached; its captions are measured without kerning and ligatures;
// and it lays out its items only when they change, not again each time it
// is shown.
class ValueMenu : public QMenu
{
    Q_OBJECT

public:
    ValueMenu(const QString &title, QWidget *parent);

protected:
    bool event(QEvent *event) override;
};
