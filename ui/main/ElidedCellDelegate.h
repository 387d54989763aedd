// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QStyledItemDelegate>

// Draws a cell of the visible list from the first characters of its text
// only: a name of megabytes would otherwise be laid out whole on every
// paint. The row keeps its whole text; the editor gets all of it.
class ElidedCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The longest text drawn as it is, in UTF-16 code units.
    static constexpr qsizetype MaxShownChars = 1024;
    // The text drawn for a cell text.
    static QString shownText(const QString &text);

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
