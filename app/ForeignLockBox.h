// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QMessageBox>

class QPushButton;
class SingleInstance;

// Asks what to do with a lock written on another machine (a copied or
// synced data folder): take it over and start, or quit. Shown with exec()
// at start-up; open() shows it without blocking.
class ForeignLockBox : public QMessageBox
{
    Q_OBJECT

public:
    ForeignLockBox(const QString &folder, const SingleInstance &lock, QWidget *parent = nullptr);

    bool takeOverChosen() const;
    QPushButton *takeOverButton() const { return m_takeOver; }
    QPushButton *quitButton() const { return m_quit; }

    // Who holds the folder, as the box and standard error say it.
    static QString holderText(const QString &folder, const SingleInstance &lock);

private:
    QPushButton *m_takeOver = nullptr;
    QPushButton *m_quit = nullptr;
};
