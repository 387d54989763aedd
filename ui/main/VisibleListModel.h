// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "Catalog.h"
#include "LargeBlocks.h"

#include <QAbstractTableModel>
#include <QList>

#include <vector>

// The visible list ListView2: copies of master rows.
//
// A visible row costs 8 bytes. It refers to its master row by key and reads
// the master row's texts, until its own texts differ from them (a dropped
// file's row holds ViewSize; a copy whose master row was removed keeps the
// texts it had). Such a row carries its own CatalogItem, and its reference
// then says where that item lies:
//   bit 63 clear: the row's key; the texts are those of the master row
//   bit 63 set:   index into the own rows, which hold their key themselves
class VisibleListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int ColumnCount = CatalogItem::FieldCount;

    explicit VisibleListModel(Catalog &catalog, QObject *parent = nullptr);

    // Refills the list with copies of the master rows at these positions.
    void setMasterRows(const QList<qsizetype> &positions);
    // Refills the list with a copy of every master row.
    void setAllMasterRows();
    // Appends rows (each with its master row's key); a row whose texts
    // differ from its master row's (a dropped file's ViewSize) keeps its own,
    // and a row held by key alone shows its master row's texts.
    void appendRows(const RowBatch &visibleRows);

    qint64 keyAt(int row) const;
    QString text(int row, int field) const;
    QAnyStringView view(int row, int field) const;
    bool hasOwnTexts(int row) const;
    // Whether some row holds texts of its own (or did, since the last refill).
    bool holdsOwnTexts() const { return !m_own.empty(); }
    // The texts of one column (not RowKey) for every row, in row order; the
    // views point into the rows.
    std::vector<QAnyStringView> columnViews(int field) const;
    // The visible row takes the value itself (no effect on the master row).
    void setOwnField(int row, int field, const QString &value);
    // Copies the master row's texts into the visible row, so that later
    // changes of the master row no longer show in it.
    void detach(int row);
    // Whether the list may hold two copies of one master row (the duplicate
    // finder's pairs). Lists with unique keys skip the copy bookkeeping.
    bool mayRepeatKeys() const { return m_mayRepeatKeys; }
    void setMayRepeatKeys(bool on) { m_mayRepeatKeys = on; }

    // Keeps the rows whose flag is false, in their order (one pass).
    void removeFlaggedRows(const std::vector<bool> &remove);
    // Reorders the rows; newOrder[i] is the old position of new row i.
    void reorder(const std::vector<int> &newOrder);

    void notifyColumnChanged(int field, int firstRow, int lastRow);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

    static QString columnCaption(int column);

Q_SIGNALS:
    // The in-place edit of a row's name ended with this text.
    void nameEdited(int row, const QString &text);

private:
    // A visible row is its master row's key, or with OwnBit the index of
    // texts of its own: four bytes a row.
    using Ref = quint32;
    using Refs = std::vector<Ref, LargeAllocator<Ref>>;
    static constexpr Ref OwnBit = Ref(1) << 31;

    QAnyStringView fieldOf(Ref ref, int field) const;

    Catalog &m_catalog;
    Refs m_refs;
    std::vector<CatalogItem> m_own;
    bool m_mayRepeatKeys = false;
};
