// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "ValueMenu.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QProxyStyle>
#include <QStyleOption>

namespace {

class ScrollingMenuStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(
        StyleHint hint, const QStyleOption *option, const QWidget *widget, QStyleHintReturn *returnData) const override
    {
        if (hint == SH_Menu_Scrollable)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

ValueMenu::ValueMenu(const QString &title, QWidget *parent)
    : QMenu(title, parent)
{
    auto *style = new ScrollingMenuStyle(QApplication::style()->name());
    style->setParent(this);
    setStyle(style);
    // The menu measures every caption when it lays itself out. Without
    // kerning and ligatures that takes half the time; text whose script
    // needs shaping to be read is still shaped.
    QFont font;
    font.setStyleStrategy(QFont::PreferNoShaping);
    setFont(font);
}

// A menu lays out all its items again whenever it is resized, which it is
// each time it is shown: with thousands of items, most of the time it takes
// to open. The places of the items depend on the items, the font, the style
// and the screen, not on the menu's own size, and the menu lays them out
// anew by itself when one of those changes; so a resize only takes the
// style's mask, as it would otherwise.
bool ValueMenu::event(QEvent *event)
{
    if (event->type() != QEvent::Resize)
        return QMenu::event(event);
    QStyleHintReturnMask mask;
    QStyleOption option;
    option.initFrom(this);
    if (style()->styleHint(QStyle::SH_Menu_Mask, &option, this, &mask))
        setMask(mask.region);
    return QWidget::event(event);
}
