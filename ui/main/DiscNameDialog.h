// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;

// Asks, before a folder is added, for the name of the disc it comes from
// and the category to record it in ("備考" chosen at first).
class DiscNameDialog : public QDialog
{
    Q_OBJECT

public:
    DiscNameDialog(const QString &suggestedName, QWidget *parent = nullptr);

    // The name as typed, blanks at both ends taken off; empty records none.
    QString discName() const;
    // The chosen category, 1..5.
    int category() const;

    QLineEdit *nameEdit() const { return m_name; }
    QComboBox *categoryBox() const { return m_category; }

private:
    QLineEdit *m_name = nullptr;
    QComboBox *m_category = nullptr;
};
