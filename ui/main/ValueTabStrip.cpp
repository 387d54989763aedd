// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "ValueTabStrip.h"

#include "ElidedCellDelegate.h"
#include "Twips.h"
#include "ValueTabAccessible.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr int MinimumTabWidth = 28;

} // namespace

ValueTabStrip::ValueTabStrip(QWidget *parent)
    : QWidget(parent)
    , m_left(new QToolButton(this))
    , m_right(new QToolButton(this))
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(&ValueTabAccessible::factory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_MacShowFocusRect);
    for (QToolButton *button : { m_left, m_right }) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->hide();
    }
    m_left->setArrowType(Qt::LeftArrow);
    m_right->setArrowType(Qt::RightArrow);
    m_left->setAccessibleName(QStringLiteral("前のタブ"));
    m_right->setAccessibleName(QStringLiteral("次のタブ"));
    connect(m_left, &QToolButton::clicked, this, [this] { scrollBy(-1); });
    connect(m_right, &QToolButton::clicked, this, [this] { scrollBy(1); });
}

QString ValueTabStrip::tabText(int index) const
{
    return index >= 0 && index < count() ? m_captions[index] : QString();
}

QString ValueTabStrip::shownText(const QString &caption)
{
    QString text = ElidedCellDelegate::shownText(caption);
    return text.replace(u'&', QLatin1String("&&"));
}

void ValueTabStrip::addTab(const QString &caption)
{
    addTabs({ caption });
}

void ValueTabStrip::addTabs(const QStringList &captions)
{
    if (captions.isEmpty())
        return;
    m_captions.append(captions);
    m_widths.reserve(m_captions.size());
    QStyleOptionTab option = measureOption();
    for (const QString &caption : captions)
        m_widths.append(measureTab(option, caption));
    captionsChanged();
}

void ValueTabStrip::removeTab(int index)
{
    if (index < 0 || index >= count())
        return;
    m_captions.removeAt(index);
    m_widths.removeAt(index);
    if (m_current >= count() || index < m_current)
        m_current = count() == 0 ? -1 : std::max(0, m_current - 1);
    captionsChanged();
}

void ValueTabStrip::removeTabsFrom(int index)
{
    index = std::max(index, 0);
    if (index >= count())
        return;
    m_captions.resize(index);
    m_widths.resize(index);
    if (m_current >= count())
        m_current = count() == 0 ? -1 : std::min(m_current, count() - 1);
    captionsChanged();
}

void ValueTabStrip::captionsChanged()
{
    relayout();
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&event);
    }
}

void ValueTabStrip::setCurrentIndex(int index)
{
    if (index < 0 || index >= count())
        return;
    m_current = index;
    ensureCurrentVisible();
    update();
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::Focus);
        event.setChild(index);
        QAccessible::updateAccessibility(&event);
    }
    Q_EMIT tabClicked(index);
}

void ValueTabStrip::setMultiRow(bool on)
{
    if (m_multiRow == on)
        return;
    m_multiRow = on;
    m_scrollOffset = 0;
    relayout();
}

int ValueTabStrip::rowHeight() const
{
    return std::max(Twips::toPixels(345), fontMetrics().height() + 8);
}

// The style's own size for a tab with this caption, so that its text
// rectangle holds the whole caption at every scale and font. The option is
// made once for a batch of captions.
QStyleOptionTab ValueTabStrip::measureOption() const
{
    QStyleOptionTab option;
    option.initFrom(this);
    option.shape = QTabBar::RoundedNorth;
    return option;
}

int ValueTabStrip::measureTab(QStyleOptionTab &option, const QString &caption) const
{
    option.text = shownText(caption);
    const int hSpace = style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &option, this);
    const int vSpace = style()->pixelMetric(QStyle::PM_TabBarTabVSpace, &option, this);
    const int textWidth = option.fontMetrics.horizontalAdvance(ElidedCellDelegate::shownText(caption));
    const QSize contents(textWidth + hSpace, option.fontMetrics.height() + vSpace);
    const QSize size = style()->sizeFromContents(QStyle::CT_TabBarTab, &option, contents, this);
    return std::max({ MinimumTabWidth, size.width(), contents.width() });
}

void ValueTabStrip::measureAll()
{
    m_widths.clear();
    m_widths.reserve(m_captions.size());
    QStyleOptionTab option = measureOption();
    for (const QString &caption : std::as_const(m_captions))
        m_widths.append(measureTab(option, caption));
}

QList<QRect> ValueTabStrip::layoutAt(int width) const
{
    QList<QRect> rects;
    rects.reserve(count());
    const int h = rowHeight();
    int x = 0;
    int row = 0;
    for (int i = 0; i < count(); ++i) {
        const int w = m_widths[i];
        if (m_multiRow && x > 0 && x + w > width) {
            x = 0;
            ++row;
        }
        rects.append(QRect(x, row * h, w, h));
        x += w;
    }
    return rects;
}

int ValueTabStrip::rowCountAt(int width) const
{
    if (!m_multiRow || count() == 0)
        return 1;
    return layoutAt(width).constLast().top() / rowHeight() + 1;
}

double ValueTabStrip::extraHeightTwips(int width) const
{
    return std::round(Twips::fromPixels((rowCountAt(width) - 1) * rowHeight()));
}

QRect ValueTabStrip::tabRect(int index) const
{
    if (index < 0 || index >= m_rects.size())
        return {};
    const QRect r = m_rects[index].translated(-m_scrollOffset, 0);
    return r.intersects(rect()) ? r : QRect();
}

int ValueTabStrip::tabAt(const QPoint &pos) const
{
    for (int i = 0; i < count(); ++i) {
        if (tabRect(i).contains(pos))
            return i;
    }
    return -1;
}

QSize ValueTabStrip::sizeHint() const
{
    return { Twips::toPixels(12015), rowHeight() };
}

QSize ValueTabStrip::minimumSizeHint() const
{
    return { MinimumTabWidth, rowHeight() };
}

void ValueTabStrip::relayout()
{
    m_rects = layoutAt(width());
    ensureCurrentVisible();
    updateScrollButtons();
    updateGeometry();
    update();
}

void ValueTabStrip::scrollBy(int tabs)
{
    if (m_rects.isEmpty())
        return;
    // Step to the left edge of the next or previous tab.
    int first = 0;
    while (first < m_rects.size() && m_rects[first].right() < m_scrollOffset)
        ++first;
    const int target = std::clamp(first + tabs, 0, int(m_rects.size()) - 1);
    const int maxOffset = std::max(0, m_rects.constLast().right() + 1 - (width() - 2 * rowHeight()));
    m_scrollOffset = std::clamp(m_rects[target].left(), 0, maxOffset);
    updateScrollButtons();
    update();
}

void ValueTabStrip::ensureCurrentVisible()
{
    if (m_multiRow || m_current < 0 || m_current >= m_rects.size()) {
        m_scrollOffset = m_multiRow ? 0 : m_scrollOffset;
        return;
    }
    const bool overflow = !m_rects.isEmpty() && m_rects.constLast().right() >= width();
    const int visibleWidth = overflow ? width() - 2 * rowHeight() : width();
    const QRect r = m_rects[m_current];
    if (r.left() < m_scrollOffset)
        m_scrollOffset = r.left();
    else if (r.right() >= m_scrollOffset + visibleWidth)
        m_scrollOffset = r.right() + 1 - visibleWidth;
    if (!overflow)
        m_scrollOffset = 0;
    updateScrollButtons();
}

void ValueTabStrip::updateScrollButtons()
{
    const bool overflow = !m_multiRow && !m_rects.isEmpty() && m_rects.constLast().right() >= width();
    const int h = rowHeight();
    m_left->setGeometry(width() - 2 * h, 0, h, h);
    m_right->setGeometry(width() - h, 0, h, h);
    m_left->setVisible(overflow);
    m_right->setVisible(overflow);
    m_left->setEnabled(m_scrollOffset > 0);
    m_right->setEnabled(overflow && m_rects.constLast().right() + 1 - m_scrollOffset > width() - 2 * h);
}

QStyleOptionTab ValueTabStrip::tabOption(int index) const
{
    QStyleOptionTab option;
    option.initFrom(this);
    option.rect = tabRect(index);
    option.text = shownText(tabText(index));
    option.shape = QTabBar::RoundedNorth;
    option.row = option.rect.top() / rowHeight();
    option.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    if (index == m_current) {
        option.state |= QStyle::State_Selected;
        if (hasFocus())
            option.state |= QStyle::State_HasFocus;
    }
    option.position = QStyleOptionTab::Middle;
    return option;
}

void ValueTabStrip::paintEvent(QPaintEvent *event)
{
    QStylePainter painter(this);
    for (int i = 0; i < count(); ++i) {
        const QRect r = tabRect(i);
        if (!r.isEmpty() && r.intersects(event->rect()))
            painter.drawControl(QStyle::CE_TabBarTab, tabOption(i));
    }
}

void ValueTabStrip::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const int index = tabAt(event->position().toPoint());
    if (index >= 0)
        setCurrentIndex(index);
}

void ValueTabStrip::keyPressEvent(QKeyEvent *event)
{
    int target = m_current;
    switch (event->key()) {
    case Qt::Key_Left:
        target = m_current - 1;
        break;
    case Qt::Key_Right:
        target = m_current + 1;
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = count() - 1;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (target >= 0 && target < count() && target != m_current)
        setCurrentIndex(target);
}

void ValueTabStrip::wheelEvent(QWheelEvent *event)
{
    if (m_multiRow) {
        event->ignore();
        return;
    }
    scrollBy(event->angleDelta().y() > 0 ? -1 : 1);
}

void ValueTabStrip::resizeEvent(QResizeEvent *)
{
    relayout();
}

void ValueTabStrip::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        measureAll();
        relayout();
    }
}

void ValueTabStrip::focusInEvent(QFocusEvent *)
{
    update();
}

void ValueTabStrip::focusOutEvent(QFocusEvent *)
{
    update();
}
