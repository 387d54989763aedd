// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "ElidedCellDelegate.h"

QString ElidedCellDelegate::shownText(const QString &text)
{
    if (text.size() <= MaxShownChars)
        return text;
    qsizetype cut = MaxShownChars;
    if (text.at(cut - 1).isHighSurrogate())
        --cut;
    return text.left(cut) + QChar(0x2026);
}

void ElidedCellDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (option->features.testFlag(QStyleOptionViewItem::HasDisplay))
        option->text = shownText(option->text);
}
