// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "ValueTabAccessible.h"

#include "ValueTabStrip.h"

namespace {

// One tab: a page tab with its caption, selectable by the default action.
class PageTab : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    PageTab(ValueTabStrip *strip, int index)
        : m_strip(strip)
        , m_index(index)
    { }

    bool isValid() const override { return m_strip && m_index < m_strip->count(); }
    QObject *object() const override { return nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_strip); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && isValid() ? m_strip->tabText(m_index) : QString();
    }
    void setText(QAccessible::Text, const QString &) override { }
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect r = m_strip->tabRect(m_index);
        return QRect(m_strip->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.selectable = true;
        s.focusable = true;
        s.selected = isValid() && m_strip->currentIndex() == m_index;
        s.focused = s.selected && m_strip->hasFocus();
        s.invisible = isValid() && m_strip->tabRect(m_index).isEmpty();
        return s;
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }
    QStringList actionNames() const override { return { pressAction() }; }
    void doAction(const QString &name) override
    {
        if (name == pressAction() && isValid())
            m_strip->setCurrentIndex(m_index);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPointer<ValueTabStrip> m_strip;
    int m_index;
};

} // namespace

ValueTabAccessible::ValueTabAccessible(QWidget *strip)
    : QAccessibleWidget(strip, QAccessible::PageTabList)
{ }

ValueTabAccessible::~ValueTabAccessible()
{
    for (QAccessible::Id id : std::as_const(m_children))
        QAccessible::deleteAccessibleInterface(id);
}

QAccessibleInterface *ValueTabAccessible::factory(const QString &className, QObject *object)
{
    if (className == QLatin1String("ValueTabStrip") && object && object->isWidgetType())
        return new ValueTabAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

ValueTabStrip *ValueTabAccessible::strip() const
{
    return static_cast<ValueTabStrip *>(widget());
}

int ValueTabAccessible::childCount() const
{
    return strip()->count();
}

QAccessibleInterface *ValueTabAccessible::child(int index) const
{
    if (index < 0 || index >= strip()->count())
        return nullptr;
    if (const auto id = m_children.value(index))
        return QAccessible::accessibleInterface(id);
    auto *tab = new PageTab(strip(), index);
    m_children.insert(index, QAccessible::registerAccessibleInterface(tab));
    return tab;
}

int ValueTabAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    for (auto it = m_children.cbegin(); it != m_children.cend(); ++it) {
        if (QAccessible::accessibleInterface(it.value()) == child)
            return it.key();
    }
    return -1;
}

QAccessibleInterface *ValueTabAccessible::focusChild() const
{
    return strip()->hasFocus() ? child(strip()->currentIndex()) : nullptr;
}

QString ValueTabAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
        return strip()->currentText();
    return QAccessibleWidget::text(t);
}
