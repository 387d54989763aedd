// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "ColumnChooser.h"

#include "VisibleListModel.h"

#include <QHeaderView>
#include <QMenu>

ColumnChooser::ColumnChooser(QHeaderView *header, const std::array<int, ColumnCount> &defaultWidths, QObject *parent)
    : QObject(parent)
    , m_header(header)
    , m_defaultWidths(defaultWidths)
{
    m_header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_header, &QWidget::customContextMenuRequested, this, &ColumnChooser::openMenu);
}

bool ColumnChooser::isShown(int column) const
{
    return m_header->sectionSize(column) > 0;
}

void ColumnChooser::setShown(int column, bool shown)
{
    if (column < 0 || column >= ColumnCount || shown == isShown(column))
        return;
    const size_t c = size_t(column);
    if (!shown) {
        m_lastWidths[c] = m_header->sectionSize(column);
        m_header->resizeSection(column, 0);
        return;
    }
    int width = m_lastWidths[c] > 0 ? m_lastWidths[c] : m_defaultWidths[c];
    if (width <= 0)
        width = m_header->defaultSectionSize();
    m_header->resizeSection(column, width);
}

QMenu *ColumnChooser::buildMenu(QWidget *parent) const
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("columnChooser"));
    // In the order the columns are shown.
    for (int visual = 0; visual < ColumnCount; ++visual) {
        const int column = m_header->logicalIndex(visual);
        QAction *item = menu->addAction(VisibleListModel::columnCaption(column));
        item->setCheckable(true);
        item->setChecked(isShown(column));
        auto *self = const_cast<ColumnChooser *>(this);
        connect(item, &QAction::toggled, self, [self, column](bool on) { self->setShown(column, on); });
    }
    return menu;
}

void ColumnChooser::openMenu(const QPoint &pos)
{
    QMenu *menu = buildMenu(m_header);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(m_header->viewport()->mapToGlobal(pos));
}
