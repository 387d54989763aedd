// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// AddDroppedFiles: files dropped on the window or on the visible list.
#include "Form1.h"

#include "CopyDrop.h"
#include "DropIntake.h"
#include "DropIntakeRunner.h"
#include "VisibleListModel.h"

#include <QApplication>
#include <QDate>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QTableView>

bool Form1::isDropRunning() const
{
    return m_intake->isRunning();
}

void Form1::dragEnterEvent(QDragEnterEvent *event)
{
    // Every drop is taken: one without files gets the invalid-drop report.
    answerDropAsCopy(event);
}

void Form1::dragMoveEvent(QDragMoveEvent *event)
{
    answerDropAsCopy(event);
}

void Form1::dropEvent(QDropEvent *event)
{
    answerDropAsCopy(event);
    AddDroppedFiles(*event->mimeData());
}

// Drag events arriving at the visible list: taken as on the window.
bool Form1::takeListDropEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
        answerDropAsCopy(static_cast<QDropEvent *>(event));
        return true;
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        answerDropAsCopy(drop);
        AddDroppedFiles(*drop->mimeData());
        return true;
    }
    default:
        return false;
    }
}

void Form1::AddDroppedFiles(const QMimeData &data)
{
    const std::optional<QList<FilePath>> paths = DroppedPaths(data);
    if (!paths) {
        m_listView->clearSelection();
        setStatus(QStringLiteral("ドロップされたファイル形式が無効です"));
        QApplication::beep();
        return;
    }
    // The paths are probed one at a time off this thread; a drop that comes
    // while another runs follows it.
    m_intake->enqueue(*paths);
}

void Form1::onDropStarted(qsizetype total)
{
    m_listView->clearSelection();
    if (total > 0)
        setStatus(QStringLiteral("1/%1").arg(total));
}

void Form1::onFilesProbed(const QList<ProbeResult> &results, qsizetype first, qsizetype total)
{
    const QDate today = QDate::currentDate();
    RowBatch visibleRows;
    visibleRows.reserve(results.size());
    for (const ProbeResult &probe : results) {
        CatalogItem master = MasterRowFor(probe, today);
        if (m_runningFolder && !m_runningFolder->discName.isEmpty())
            master.setField(CatalogItem::Genre1 + m_runningFolder->category - 1, m_runningFolder->discName);
        const qint64 key = m_catalog.append(std::move(master));
        CatalogItem visible = m_catalog.at(m_catalog.size() - 1);
        m_addedMaster.append(visible);
        visible.setField(CatalogItem::FileSize, probe.viewSize);
        visible.setRowKey(key);
        m_addedVisible.append(visible);
        visibleRows.append(visible);
    }
    const int firstNew = m_model->rowCount();
    m_model->appendRows(visibleRows);
    const int last = m_model->rowCount() - 1;
    // Each file selects the row at the last position; earlier ones stay
    // selected.
    const QItemSelection added(m_model->index(firstNew, 0), m_model->index(last, m_model->columnCount() - 1));
    m_listView->selectionModel()->select(added, QItemSelectionModel::Select);
    m_listView->scrollToBottom();
    const qsizetype done = first + results.size();
    if (done < total)
        setStatus(QStringLiteral("%1/%2").arg(done + 1).arg(total));
}

void Form1::onDropFinished(qsizetype total)
{
    setStatus(QString::number(total) + QStringLiteral("個のアイテムをリストに追加しました。"));
    m_listView->scrollToBottom();
    pushAddedRows();
}
