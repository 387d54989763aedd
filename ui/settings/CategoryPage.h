// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QStringList>
#include <QWidget>

class CategoryListModel;
class QLineEdit;
class QListView;
class QPushButton;

// One page of the settings window: the list box List1(i) of one category,
// the text box Text1(i) for a new value and the buttons 追加, 削除, ↑, ↓.
class CategoryPage : public QWidget
{
    Q_OBJECT

public:
    // index is the page number i (0..4); the page edits values in place.
    CategoryPage(int index, QStringList &values, QWidget *parent = nullptr);

    void AddValue();
    void DeleteValue();
    void MoveValueUp();
    void MoveValueDown();

    // The selected line, -1 for none.
    int selectedRow() const;
    void reload();

Q_SIGNALS:
    void valueAdded(const QString &value);
    void valueDeleted(const QString &value);

private:
    void buildControls(int index);
    void layoutControls();
    void selectRow(int row);

    QStringList &m_values;
    CategoryListModel *m_model = nullptr;
    QListView *m_list = nullptr;
    QLineEdit *m_text = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_up = nullptr;
    QPushButton *m_down = nullptr;
};
