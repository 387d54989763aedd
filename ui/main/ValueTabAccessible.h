// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QAccessibleWidget>
#include <QHash>

class ValueTabStrip;

// Publishes the value tabs to accessibility tools as a page tab list whose
// children are page tabs with their captions, as Qt's own tab bar does.
class ValueTabAccessible : public QAccessibleWidget
{
public:
    explicit ValueTabAccessible(QWidget *strip);
    ~ValueTabAccessible() override;

    static QAccessibleInterface *factory(const QString &className, QObject *object);

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *focusChild() const override;
    QString text(QAccessible::Text t) const override;

    ValueTabStrip *strip() const;

private:
    mutable QHash<int, QAccessible::Id> m_children;
};
