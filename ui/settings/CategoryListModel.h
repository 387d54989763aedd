// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QAbstractListModel>
#include <QStringList>

// Shows one category list in a list box without copying it: the list itself
// stays in CategoryLists, where the main window reads it, and every edit made
// through this model goes straight into that list.
class CategoryListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    CategoryListModel(QStringList &values, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    void appendValue(const QString &value);
    void removeValue(int row);
    // Exchanges the values at row and row + 1.
    void swapWithNext(int row);
    // The list was replaced from outside (loaded from its file).
    void reload();

private:
    QStringList &m_values;
};
