// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QDialog>

// The version window: title, version, description, a disclaimer and "OK".
// Shown modeless; it deletes itself when closed.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr);

    static QString versionText() { return QStringLiteral("1.10"); }
    static QString descriptionText();
};
