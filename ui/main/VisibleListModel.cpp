// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "VisibleListModel.h"

#include "Utf8Text.h"

#include <algorithm>
#include <array>

namespace {

const std::array<const char16_t *, VisibleListModel::ColumnCount> captions {
    u"名前",
    u"ファイルサイズ",
    u"種類",
    u"サイズ",
    u"再生時間",
    u"コーディック",
    u"更新日時",
    u"ファイル登録日",
    u"ジャンル１",
    u"ジャンル２",
    u"備考",
    u"その他１",
    u"その他２",
    u"No.1",
    u"No.2",
    u"No.3",
};

} // namespace

VisibleListModel::VisibleListModel(Catalog &catalog, QObject *parent)
    : QAbstractTableModel(parent)
    , m_catalog(catalog)
{ }

QString VisibleListModel::columnCaption(int column)
{
    if (column < 0 || column >= ColumnCount)
        return {};
    return QString::fromUtf16(captions[size_t(column)]);
}

void VisibleListModel::setMasterRows(const QList<qsizetype> &positions)
{
    beginResetModel();
    // A refill gives back the memory of a longer list.
    std::vector<CatalogItem>().swap(m_own);
    Refs().swap(m_refs);
    m_refs.reserve(size_t(positions.size()));
    for (qsizetype p : positions)
        m_refs.push_back(Ref(m_catalog.keyAt(p)));
    m_mayRepeatKeys = false;
    endResetModel();
}

void VisibleListModel::setAllMasterRows()
{
    beginResetModel();
    std::vector<CatalogItem>().swap(m_own);
    Refs().swap(m_refs);
    m_refs.reserve(size_t(m_catalog.size()));
    for (qsizetype p = 0; p < m_catalog.size(); ++p)
        m_refs.push_back(Ref(m_catalog.keyAt(p)));
    m_mayRepeatKeys = false;
    endResetModel();
}

void VisibleListModel::appendRows(const RowBatch &visibleRows)
{
    if (visibleRows.isEmpty())
        return;
    const int first = int(m_refs.size());
    beginInsertRows({}, first, first + int(visibleRows.size()) - 1);
    for (qsizetype i = 0; i < visibleRows.size(); ++i) {
        const qint64 key = visibleRows.keyAt(i);
        const qsizetype master = m_catalog.indexOfKey(key);
        if (!visibleRows.hasTexts(i) || (master >= 0 && m_catalog.sameTexts(master, visibleRows.joinedText(i)))) {
            m_refs.push_back(Ref(key));
        } else {
            m_refs.push_back(OwnBit | Ref(m_own.size()));
            m_own.push_back(visibleRows.item(i));
        }
    }
    endInsertRows();
}

QAnyStringView VisibleListModel::fieldOf(Ref ref, int field) const
{
    if (ref & OwnBit)
        return m_own[size_t(ref & ~OwnBit)].field(field);
    const qsizetype master = m_catalog.indexOfKey(qint64(ref));
    return master >= 0 ? QAnyStringView(m_catalog.field(master, field)) : QAnyStringView();
}

qint64 VisibleListModel::keyAt(int row) const
{
    const Ref ref = m_refs[size_t(row)];
    if (ref & OwnBit)
        return m_own[size_t(ref & ~OwnBit)].rowKey();
    return qint64(ref);
}

bool VisibleListModel::hasOwnTexts(int row) const
{
    return m_refs[size_t(row)] & OwnBit;
}

std::vector<QAnyStringView> VisibleListModel::columnViews(int field) const
{
    std::vector<QAnyStringView> views(m_refs.size());
    for (size_t row = 0; row < m_refs.size(); ++row)
        views[row] = fieldOf(m_refs[row], field);
    return views;
}

QAnyStringView VisibleListModel::view(int row, int field) const
{
    return fieldOf(m_refs[size_t(row)], field);
}

QString VisibleListModel::text(int row, int field) const
{
    if (field == CatalogItem::RowKey)
        return QString::number(keyAt(row));
    return Utf8Text::toString(view(row, field));
}

void VisibleListModel::detach(int row)
{
    if (hasOwnTexts(row))
        return;
    const qsizetype master = m_catalog.indexOfKey(keyAt(row));
    CatalogItem copy = master >= 0 ? m_catalog.at(master) : CatalogItem();
    copy.setRowKey(keyAt(row));
    m_refs[size_t(row)] = OwnBit | Ref(m_own.size());
    m_own.push_back(std::move(copy));
}

void VisibleListModel::setOwnField(int row, int field, const QString &value)
{
    detach(row);
    m_own[size_t(m_refs[size_t(row)] & ~OwnBit)].setField(field, value);
}

void VisibleListModel::removeFlaggedRows(const std::vector<bool> &remove)
{
    beginResetModel();
    size_t write = 0;
    for (size_t read = 0; read < m_refs.size(); ++read) {
        if (!remove[read])
            m_refs[write++] = m_refs[read];
    }
    m_refs.resize(write);
    endResetModel();
}

void VisibleListModel::reorder(const std::vector<int> &newOrder)
{
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    Refs refs(m_refs.size());
    std::vector<int, LargeAllocator<int>> newPositionOf(m_refs.size());
    for (size_t i = 0; i < newOrder.size(); ++i) {
        refs[i] = m_refs[size_t(newOrder[i])];
        newPositionOf[size_t(newOrder[i])] = int(i);
    }
    m_refs.swap(refs);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &index : before)
        after.append(index.isValid() ? createIndex(newPositionOf[size_t(index.row())], index.column()) : index);
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void VisibleListModel::notifyColumnChanged(int field, int firstRow, int lastRow)
{
    if (firstRow > lastRow)
        return;
    Q_EMIT dataChanged(index(firstRow, field), index(lastRow, field), { Qt::DisplayRole, Qt::EditRole });
}

int VisibleListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_refs.size());
}

int VisibleListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant VisibleListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return text(index.row(), index.column());
}

QVariant VisibleListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return columnCaption(section);
}

Qt::ItemFlags VisibleListModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    // Only the name is edited in place.
    if (index.isValid() && index.column() == CatalogItem::Name)
        f |= Qt::ItemIsEditable;
    return f;
}

bool VisibleListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.column() != CatalogItem::Name)
        return false;
    Q_EMIT nameEdited(index.row(), value.toString());
    Q_EMIT dataChanged(index, index, { Qt::DisplayRole, Qt::EditRole });
    return true;
}
