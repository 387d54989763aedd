// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The "編集" menu: undo and redo of what changes the catalogue rows, and the
// list header's column chooser.
#include "Form1.h"

#include "ColumnChooser.h"
#include "FieldValues.h"
#include "RowSetCommand.h"
#include "SettingsFile.h"
#include "Twips.h"
#include "Utf8Text.h"
#include "VisibleListModel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenuBar>
#include <QTableView>
#include <QUndoStack>

#include <utility>

void Form1::buildEditMenu()
{
    QMenu *edit = menuBar()->addMenu(QStringLiteral("編集"));
    edit->setObjectName(QStringLiteral("edit"));
    edit->menuAction()->setObjectName(QStringLiteral("edit"));
    m_undo = edit->addAction(QStringLiteral("元に戻す"));
    m_undo->setObjectName(QStringLiteral("undo"));
    m_undo->setShortcut(QKeySequence::Undo);
    m_undo->setEnabled(false);
    m_redo = edit->addAction(QStringLiteral("やり直し"));
    m_redo->setObjectName(QStringLiteral("redo"));
    m_redo->setShortcuts({ QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) });
    m_redo->setEnabled(false);
    connect(m_undo, &QAction::triggered, m_undoStack, &QUndoStack::undo);
    connect(m_redo, &QAction::triggered, m_undoStack, &QUndoStack::redo);
    connect(m_undoStack, &QUndoStack::canUndoChanged, m_undo, &QAction::setEnabled);
    connect(m_undoStack, &QUndoStack::canRedoChanged, m_redo, &QAction::setEnabled);
}

void Form1::buildColumnChooser()
{
    const Settings defaults;
    std::array<int, ColumnChooser::ColumnCount> widths {};
    for (int column = 0; column < ColumnChooser::ColumnCount; ++column)
        widths[size_t(column)] = Twips::toPixels(double(defaults.columnWidths[size_t(column)]));
    m_columnChooser = new ColumnChooser(m_listView->horizontalHeader(), widths, this);
}

QString Form1::removalStatusText(qsizetype removed)
{
    return QString::number(removed) + QStringLiteral("個のアイテムを削除しました（Ctrl+Z で元に戻せます）");
}

void Form1::pushAddedRows()
{
    if (m_addedMaster.isEmpty())
        return;
    m_undoStack->push(new RowSetCommand(*this, RowSetCommand::Added, std::exchange(m_addedMaster, RowBatch()),
        std::exchange(m_addedVisible, RowBatch())));
}

qsizetype Form1::restoreRows(const RowBatch &master, const RowBatch &visible)
{
    // Only the rows that come back now are shown again.
    std::vector<bool> absent(size_t(m_catalog.nextRowKey()), false);
    for (qsizetype i = 0; i < master.size(); ++i) {
        if (master.keyAt(i) < m_catalog.nextRowKey() && m_catalog.indexOfKey(master.keyAt(i)) < 0)
            absent[size_t(master.keyAt(i))] = true;
    }
    const qsizetype restored = m_catalog.insertBatch(master);
    RowBatch shown;
    for (qsizetype i = 0; i < visible.size(); ++i) {
        const qint64 key = visible.keyAt(i);
        if (key >= qint64(absent.size()) || !absent[size_t(key)] || m_catalog.indexOfKey(key) < 0)
            continue;
        absent[size_t(key)] = false;
        if (visible.hasTexts(i))
            shown.append(key, visible.joinedText(i));
        else
            shown.appendKey(key);
    }
    // The rows come back at the end of the visible list, selected and in
    // view, as a drop shows its rows.
    m_listView->clearSelection();
    const int first = m_model->rowCount();
    m_model->appendRows(shown);
    if (!shown.isEmpty()) {
        const QItemSelection back(
            m_model->index(first, 0), m_model->index(m_model->rowCount() - 1, m_model->columnCount() - 1));
        m_listView->selectionModel()->select(back, QItemSelectionModel::Select);
        m_listView->scrollToBottom();
    }
    return restored;
}

qsizetype Form1::takeRowsByKey(const RowBatch &rows)
{
    std::vector<bool> taken(size_t(m_catalog.nextRowKey()), false);
    QList<qsizetype> positions;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const qsizetype master = m_catalog.indexOfKey(rows.keyAt(i));
        if (master >= 0 && !taken[size_t(rows.keyAt(i))]) {
            taken[size_t(rows.keyAt(i))] = true;
            positions.append(master);
        }
    }
    std::vector<bool> remove(size_t(m_model->rowCount()), false);
    bool any = false;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const qint64 key = m_model->keyAt(row);
        remove[size_t(row)] = key >= 0 && key < qint64(taken.size()) && taken[size_t(key)];
        any = any || remove[size_t(row)];
    }
    m_catalog.removeRows(positions);
    if (any)
        m_model->removeFlaggedRows(remove);
    return positions.size();
}

void Form1::setFieldByKey(int field, const FieldValues &values)
{
    const std::vector<QList<qint64>> keysByText = values.keysByText();
    for (qsizetype t = 0; t < values.textCount(); ++t) {
        QList<qsizetype> masters;
        masters.reserve(keysByText[size_t(t)].size());
        for (qint64 key : keysByText[size_t(t)]) {
            const qsizetype master = m_catalog.indexOfKey(key);
            if (master >= 0)
                masters.append(master);
        }
        m_catalog.setFieldOfRows(masters, field, values.text(t));
    }
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (!m_model->hasOwnTexts(row))
            continue;
        if (const QByteArray *value = values.find(m_model->keyAt(row)))
            m_model->setOwnField(row, field, Utf8Text::toString(QUtf8StringView(value->constData(), value->size())));
    }
    m_model->notifyColumnChanged(field, 0, m_model->rowCount() - 1);
}
