// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QWidget>

#include <array>

class CategoryLists;
class CategoryPage;
class QCheckBox;
class QStatusBar;
class QTabWidget;

// The settings window: the five category lists and the two options.
// Created hidden at start-up; closing it only hides it.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    explicit Form2(CategoryLists &lists, QWidget *parent = nullptr);

    // Fills the five list boxes from the lists (after they were loaded).
    void reloadLists();

    // Check1 "タブを複数行表示する" and Check2 "終了時にリストを自動保存する":
    // 0 off, 1 on, 2 dimmed (counts as on).
    int tabLine() const;
    int endSave() const;
    // Setting Check1 to another state acts like its click (multiRowChanged).
    void setTabLine(int value);
    void setEndSave(int value);

    // Shows the window modeless and brings it to the front (File menu "設定").
    void showModeless();

Q_SIGNALS:
    // A value was appended to list k (1..5) by "追加"; the main window adds
    // a value tab when it shows category k.
    void valueAdded(int k, const QString &value);
    // Check1 changed: the main window switches the multi-row mode of its
    // value tabs and lays out the tab area.
    void multiRowChanged(bool on);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void addPage(int i);
    void layoutControls();

    CategoryLists &m_lists;
    QTabWidget *m_tabs = nullptr;
    std::array<CategoryPage *, 5> m_pages {};
    QCheckBox *m_check1 = nullptr;
    QCheckBox *m_check2 = nullptr;
    QStatusBar *m_status = nullptr;
};
