// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// What the user does on the visible list: sorting, the popup menu, category
// assignment, removal, renaming; and the search and duplicate finder that
// fill it.
#include "Form1.h"

#include "CatalogSearch.h"
#include "RowMenu.h"
#include "RowSetCommand.h"
#include "SetFieldCommand.h"
#include "VisibleListModel.h"
#include "VisibleListSort.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSet>
#include <QTableView>
#include <QTimer>
#include <QUndoStack>

#include <algorithm>

namespace {

FieldValues single(qint64 key, const QString &text)
{
    FieldValues values;
    values.add(key, text);
    return values;
}

} // namespace

// ---- Events of the list and the search box ----------------------------------

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_text3 && event->type() == QEvent::FocusIn) {
        // Select the whole text, also after a click has placed the cursor.
        m_text3->selectAll();
        QTimer::singleShot(0, m_text3, [this] { m_text3->selectAll(); });
        return false;
    }
    if (watched == m_listView)
        return listKeyEvent(event);
    if (watched != m_listViewport)
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *press = static_cast<QMouseEvent *>(event);
        ShowRowMenu(press->button(), press->globalPosition().toPoint());
        return false;
    }
    case QEvent::ContextMenu:
        // A right press has opened the menu already; the menu key arrives
        // at the list itself.
        if (static_cast<QContextMenuEvent *>(event)->reason() != QContextMenuEvent::Mouse)
            showRowMenuAtCurrentRow();
        return true;
    default:
        return takeListDropEvent(event);
    }
}

// The keys of the list: the menu key and Shift+F10 open the popup menu,
// and Delete removes the selected rows as its "削除" does.
bool Form1::listKeyEvent(QEvent *event)
{
    if (event->type() == QEvent::ContextMenu) {
        if (static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Mouse)
            return false;
        showRowMenuAtCurrentRow();
        return true;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
        showRowMenuAtCurrentRow();
        return true;
    }
    if (key->key() == Qt::Key_Delete && modifiers == Qt::NoModifier) {
        RemoveSelectedRows();
        return true;
    }
    return false;
}

void Form1::showRowMenuAtCurrentRow()
{
    const QRect row = m_listView->visualRect(m_listView->currentIndex());
    const QPoint local = row.isValid() ? row.center() : QPoint(0, 0);
    m_rowMenu->rebuild();
    m_rowMenu->exec(m_listViewport->mapToGlobal(local));
}

void Form1::ShowRowMenu(Qt::MouseButton button, const QPoint &globalPos)
{
    m_rowMenu->rebuild();
    if (button != Qt::RightButton)
        return;
    // The list handles the press first (a right press on an unselected row
    // selects it), then the menu opens where the button went down.
    QTimer::singleShot(0, this, [this, globalPos] { m_rowMenu->exec(globalPos); });
}

// ---- Sorting --------------------------------------------------------------

// One direction for the whole list, flipped on every header click whatever
// the column. It starts descending, so the first click sorts ascending.
// Sorting stays on: every refill (category view, search, duplicate pairs)
// comes in sorted. Rows added by a drop are appended at the end, where the
// drop selects them, and join the order at the next sort or refill.
void Form1::SortByColumn(int header)
{
    m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_sortColumn = header - 1;
    m_sortOn = true;
    QHeaderView *columns = m_listView->horizontalHeader();
    columns->setSortIndicatorShown(true);
    columns->setSortIndicator(m_sortColumn, m_sortOrder);
    applySortIfOn();
}

void Form1::applySortIfOn()
{
    if (m_sortOn && m_model->rowCount() > 1)
        m_model->reorder(VisibleListSortOrder(*m_model, m_sortColumn, m_sortOrder, &m_ranks));
}

void Form1::showVisibleRows(const QList<qsizetype> &positions, bool repeats)
{
    commitOpenNameEditor();
    m_model->setMasterRows(positions);
    m_model->setMayRepeatKeys(repeats);
    applySortIfOn();
}

// ---- Category assignment and removal ------------------------------------------

qsizetype Form1::FindMasterRow(qint64 key) const
{
    return m_catalog.indexOfKey(key);
}

QList<int> Form1::selectedRowsDescending() const
{
    const QItemSelection selection = m_listView->selectionModel()->selection();
    std::vector<bool> selected(size_t(m_model->rowCount()), false);
    qsizetype count = 0;
    for (const QItemSelectionRange &range : selection) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            count += selected[size_t(row)] ? 0 : 1;
            selected[size_t(row)] = true;
        }
    }
    QList<int> rows;
    rows.reserve(count);
    for (int row = int(selected.size()) - 1; row >= 0; --row) {
        if (selected[size_t(row)])
            rows.append(row);
    }
    return rows;
}

// Another copy of a master row that is about to change keeps the texts it
// has, as a copy would.
void Form1::detachOtherCopies(const QList<int> &rows)
{
    if (!m_model->mayRepeatKeys())
        return;
    QSet<qint64> keys;
    std::vector<bool> changing(size_t(m_model->rowCount()), false);
    for (int row : rows) {
        keys.insert(m_model->keyAt(row));
        changing[size_t(row)] = true;
    }
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (!changing[size_t(row)] && !m_model->hasOwnTexts(row) && keys.contains(m_model->keyAt(row)))
            m_model->detach(row);
    }
}

void Form1::AssignCategory(int k, int item)
{
    if (k < 1 || k > CategoryLists::Count)
        return;
    const QStringList &values = m_lists.list(k);
    if (item != 0 && (item < 2 || item - 2 >= values.size()))
        return;
    const QString value = item == 0 ? QString() : values[item - 2];
    const QList<int> rows = selectedRowsDescending();
    if (rows.isEmpty())
        return;
    detachOtherCopies(rows);
    const int field = CatalogItem::Genre1 + k - 1;
    // The master rows are visited in their order: their texts lie in that
    // order, so a million of them are read in one sweep.
    std::vector<bool> chosen(size_t(m_catalog.size()), false);
    for (int row : rows) {
        if (m_model->hasOwnTexts(row))
            m_model->setOwnField(row, field, value);
        const qsizetype master = FindMasterRow(m_model->keyAt(row));
        if (master >= 0)
            chosen[size_t(master)] = true;
    }
    QList<qsizetype> masters;
    masters.reserve(rows.size());
    FieldValues before;
    before.reserve(masters.capacity());
    for (qsizetype master = 0; master < m_catalog.size(); ++master) {
        if (chosen[size_t(master)]) {
            masters.append(master);
            before.add(m_catalog.keyAt(master), m_catalog.field(master, field));
        }
    }
    m_catalog.setFieldOfRows(masters, field, value);
    FieldValues after;
    after.reserve(masters.size());
    for (qsizetype master : std::as_const(masters))
        after.add(m_catalog.keyAt(master), m_catalog.field(master, field));
    m_model->notifyColumnChanged(field, rows.constLast(), rows.constFirst());
    if (!before.isEmpty())
        m_undoStack->push(new SetFieldCommand(*this, field, std::move(before), std::move(after)));
}

void Form1::RemoveSelectedRows()
{
    const QList<int> rows = selectedRowsDescending();
    if (rows.isEmpty())
        return;
    std::vector<bool> masterGone(size_t(m_catalog.size()), false);
    std::vector<bool> removeVisible(size_t(m_model->rowCount()), false);
    QList<qsizetype> positions;
    positions.reserve(rows.size());
    for (int row : rows) {
        const qsizetype master = FindMasterRow(m_model->keyAt(row));
        if (master < 0 || masterGone[size_t(master)])
            continue; // its master row has gone: the visible row stays
        masterGone[size_t(master)] = true;
        positions.append(master);
        removeVisible[size_t(row)] = true;
    }
    if (m_model->mayRepeatKeys()) {
        for (int row = 0; row < m_model->rowCount(); ++row) {
            if (removeVisible[size_t(row)] || m_model->hasOwnTexts(row))
                continue;
            const qsizetype master = FindMasterRow(m_model->keyAt(row));
            if (master >= 0 && masterGone[size_t(master)])
                m_model->detach(row);
        }
    }

    // Rows that stay keep their selection and the list its scroll place.
    QList<int> stillSelected;
    for (int row : rows) {
        if (!removeVisible[size_t(row)])
            stillSelected.append(row);
    }
    const int scroll = m_listView->verticalScrollBar()->value();
    // A visible row shows its master row's texts unless it holds its own:
    // only those are kept with it, the others by key alone.
    RowBatch visibleGone;
    for (int row = 0; row < int(removeVisible.size()); ++row) {
        if (!removeVisible[size_t(row)])
            continue;
        if (m_model->hasOwnTexts(row))
            visibleGone.append(visibleItem(row));
        else
            visibleGone.appendKey(m_model->keyAt(row));
    }
    RowBatch takenRows = m_catalog.takeBatch(positions);
    m_model->removeFlaggedRows(removeVisible);

    QItemSelection keep;
    int removedBefore = 0;
    int next = int(stillSelected.size()) - 1; // ascending from the back
    for (int row = 0; row < int(removeVisible.size()) && next >= 0; ++row) {
        if (removeVisible[size_t(row)]) {
            ++removedBefore;
        } else if (row == stillSelected[next]) {
            const int now = row - removedBefore;
            keep.select(m_model->index(now, 0), m_model->index(now, m_model->columnCount() - 1));
            --next;
        }
    }
    m_listView->selectionModel()->select(keep, QItemSelectionModel::Select);
    m_listView->verticalScrollBar()->setValue(scroll);
    if (takenRows.isEmpty())
        return;
    // A count of a search that is no longer true does not stay on screen.
    setStatus(removalStatusText(takenRows.size()));
    m_undoStack->push(new RowSetCommand(*this, RowSetCommand::Removed, std::move(takenRows), std::move(visibleGone)));
}

CatalogItem Form1::visibleItem(int row) const
{
    std::array<QString, CatalogItem::StoredFieldCount> fields;
    for (int field = 0; field < CatalogItem::StoredFieldCount; ++field)
        fields[size_t(field)] = m_model->text(row, field);
    CatalogItem item = CatalogItem::fromStoredFields(fields);
    item.setRowKey(m_model->keyAt(row));
    return item;
}

// ---- In-place rename ------------------------------------------------------

// The new name goes to the row being edited, found by its own key, whatever
// else is selected.
void Form1::CommitNameEdit(int row, const QString &text)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    detachOtherCopies({ row });
    if (m_model->hasOwnTexts(row))
        m_model->setOwnField(row, CatalogItem::Name, text);
    const qsizetype master = FindMasterRow(m_model->keyAt(row));
    if (master < 0)
        return;
    const qint64 key = m_catalog.keyAt(master);
    const QString before = m_catalog.text(master, CatalogItem::Name);
    m_catalog.setField(master, CatalogItem::Name, text);
    const QString after = m_catalog.text(master, CatalogItem::Name);
    if (after != before)
        m_undoStack->push(new SetFieldCommand(*this, CatalogItem::Name, single(key, before), single(key, after)));
}

// ---- Search and duplicates --------------------------------------------------

void Form1::SearchNames()
{
    const QList<qsizetype> hits = SearchCatalog(m_catalog, m_text3->text());
    showVisibleRows(hits, false);
    setStatus(SearchStatusText(hits.size()));
}

void Form1::FindDuplicates(int index)
{
    if (index < 0 || index > 2)
        return;
    const DuplicateResult result = FindDuplicatePairs(m_catalog, DuplicateKey(index));
    showVisibleRows(result.rows, true);
    setStatus(DuplicateStatusText(result));
}
