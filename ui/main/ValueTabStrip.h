// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QRect>
#include <QStringList>
#include <QStyleOptionTab>
#include <QWidget>

class QToolButton;

// The value tabs TabStrip1. Qt's tab bar has no multi-row mode, so this
// strip lays its tabs out itself: in multi-row mode they flow into as many
// rows as the width needs; otherwise they stay on one row that scrolls.
// Selecting a tab, by the user or by the program, raises tabClicked.
class ValueTabStrip : public QWidget
{
    Q_OBJECT

public:
    explicit ValueTabStrip(QWidget *parent = nullptr);

    int count() const { return int(m_captions.size()); }
    QString tabText(int index) const;
    void addTab(const QString &caption);
    // Appends many tabs and lays the strip out once.
    void addTabs(const QStringList &captions);
    void removeTab(int index);
    // Removes every tab from index on, with one layout.
    void removeTabsFrom(int index);

    int currentIndex() const { return m_current; }
    QString currentText() const { return tabText(m_current); }
    // Selects the tab and raises its click, also when it was selected.
    void setCurrentIndex(int index);

    bool isMultiRow() const { return m_multiRow; }
    void setMultiRow(bool on);

    // Rows of tabs at a width in pixels (1 when not multi-row).
    int rowCountAt(int width) const;
    // The height its rows beyond the first need, in twips (X of the layout).
    double extraHeightTwips(int width) const;
    int rowHeight() const;

    // Where tab index is drawn (empty when scrolled out of view).
    QRect tabRect(int index) const;
    // The style option tab index is drawn with.
    QStyleOptionTab tabOption(int index) const;
    // The text drawn for a caption: a very long one is cut to its first
    // characters, and '&' is shown as itself, not as a mnemonic mark.
    static QString shownText(const QString &caption);
    int tabAt(const QPoint &pos) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void tabClicked(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QStyleOptionTab measureOption() const;
    int measureTab(QStyleOptionTab &option, const QString &caption) const;
    void measureAll();
    void captionsChanged();
    // Tab rectangles for a width, without the single-row scroll offset.
    QList<QRect> layoutAt(int width) const;
    void relayout();
    void scrollBy(int tabs);
    void ensureCurrentVisible();
    void updateScrollButtons();

    QStringList m_captions;
    QList<int> m_widths; // pixels, measured once per caption
    QList<QRect> m_rects;
    int m_current = -1;
    bool m_multiRow = false;
    int m_scrollOffset = 0; // pixels, single row only
    QToolButton *m_left = nullptr;
    QToolButton *m_right = nullptr;
};
