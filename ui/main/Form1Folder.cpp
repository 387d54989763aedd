// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// "フォルダを追加…": every file of a folder or disc, with the disc's name.
#include "Form1.h"

#include "DiscName.h"
#include "DiscNameDialog.h"
#include "DropIntakeRunner.h"
#include "EntryText.h"
#include "Form2.h"

#include <QFileDialog>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTableView>

void Form1::buildCancelButton()
{
    m_cancelFolder = new QPushButton(QStringLiteral("中止"), m_statusBar);
    m_cancelFolder->setObjectName(QStringLiteral("cancelFolder"));
    m_cancelFolder->setAutoDefault(false);
    m_cancelFolder->setFocusPolicy(Qt::NoFocus);
    m_statusBar->addPermanentWidget(m_cancelFolder);
    m_cancelFolder->hide();
    connect(m_cancelFolder, &QPushButton::clicked, this, &Form1::CancelFolderAdd);
    // Esc ends a folder add only while one runs; otherwise the key is the
    // list's and the editors'.
    m_escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_escape->setEnabled(false);
    connect(m_escape, &QShortcut::activated, this, &Form1::CancelFolderAdd);
}

void Form1::ChooseFolderToAdd()
{
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("フォルダを追加"));
    if (folder.isEmpty())
        return;
    DiscNameDialog dialog(DefaultDiscName(folder), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    AddFolder(folder, dialog.discName(), dialog.category());
}

void Form1::AddFolder(const QString &folder, const QString &name, int k)
{
    if (k < 1 || k > CategoryLists::Count)
        k = 3;
    // The list and the rows hold the name as a row stores it ('#' in its
    // full-width form), so that its value tab finds the rows.
    const QString discName = EntryText::normalizeField(name);
    if (!discName.isEmpty())
        recordDiscName(k, discName);
    m_folderAdds.push_back(FolderAdd { discName, k });
    m_intake->enqueueFolder(folder);
}

// The name joins the category's list once, as the settings window's "追加"
// adds a value, and shows at once as a value tab when that category shows.
void Form1::recordDiscName(int k, const QString &name)
{
    QStringList &values = m_lists.list(k);
    if (values.contains(name))
        return;
    values.append(name);
    m_form2->reloadLists();
    onValueAdded(k, name);
}

void Form1::CancelFolderAdd()
{
    m_intake->cancelFolder();
}

void Form1::onFolderStarted(const QString &folder)
{
    Q_UNUSED(folder);
    m_runningFolder = m_folderAdds.empty() ? FolderAdd {} : m_folderAdds.front();
    if (!m_folderAdds.empty())
        m_folderAdds.pop_front();
    m_cancelFolder->show();
    m_escape->setEnabled(true);
    m_listView->clearSelection();
    setStatus(QStringLiteral("0/…"));
}

void Form1::onFolderFinished(qsizetype added, int skippedFolders, bool cancelled)
{
    m_runningFolder.reset();
    m_cancelFolder->hide();
    m_escape->setEnabled(false);
    QString text = QString::number(added) + QStringLiteral("個のアイテムをリストに追加しました。");
    if (cancelled)
        text += QStringLiteral("（中止しました）");
    if (skippedFolders > 0)
        text += QString::number(skippedFolders) + QStringLiteral("個のフォルダは読めませんでした。");
    setStatus(text);
    m_listView->scrollToBottom();
    pushAddedRows();
}
