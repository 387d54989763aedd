// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "CategoryListModel.h"

CategoryListModel::CategoryListModel(QStringList &values, QObject *parent)
    : QAbstractListModel(parent)
    , m_values(values)
{ }

int CategoryListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_values.size());
}

QVariant CategoryListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    return m_values.at(index.row());
}

void CategoryListModel::appendValue(const QString &value)
{
    const int row = int(m_values.size());
    beginInsertRows({}, row, row);
    m_values.append(value);
    endInsertRows();
}

void CategoryListModel::removeValue(int row)
{
    if (row < 0 || row >= m_values.size())
        return;
    beginRemoveRows({}, row, row);
    m_values.removeAt(row);
    endRemoveRows();
}

void CategoryListModel::swapWithNext(int row)
{
    if (row < 0 || row + 1 >= m_values.size())
        return;
    m_values.swapItemsAt(row, row + 1);
    Q_EMIT dataChanged(index(row), index(row + 1), { Qt::DisplayRole, Qt::ToolTipRole });
}

void CategoryListModel::reload()
{
    beginResetModel();
    endResetModel();
}
