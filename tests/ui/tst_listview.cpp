// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The value tab strip as a control (keyboard, accessibility, rows) and the
// visible list's rows as copies of master rows.
#include "tst_mainwindow_fixture.h"

#include <QAccessible>
#include <QAccessibleInterface>

class TestListView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tabsArePageTabsForAccessibility();
    void keyboardMovesBetweenTabs();
    void rowsFlowOnlyInMultiRowMode_data();
    void rowsFlowOnlyInMultiRowMode();
    void tabOrderReachesEveryControl();
};

void TestListView::tabsArePageTabsForAccessibility()
{
    WindowFixture f;
    f.writeList(1, { "アニメ", "映画" });
    f.start();
    QAccessibleInterface *strip = QAccessible::queryAccessibleInterface(f.tabStrip1());
    QVERIFY(strip);
    QCOMPARE(strip->role(), QAccessible::PageTabList);
    QCOMPARE(strip->childCount(), 4);
    const QStringList captions { "全て", "無し", "アニメ", "映画" };
    for (int i = 0; i < 4; ++i) {
        QAccessibleInterface *tab = strip->child(i);
        QVERIFY(tab);
        QCOMPARE(tab->role(), QAccessible::PageTab);
        QCOMPARE(tab->text(QAccessible::Name), captions[i]);
        QCOMPARE(tab->state().selected, i == 0);
        QCOMPARE(strip->indexOfChild(tab), i);
    }
    // The default action selects the tab, which refreshes the list.
    strip->child(1)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(f.tabStrip1()->currentIndex(), 1);
    QCOMPARE(f.status(), QStringLiteral("0アイテム。"));
}

void TestListView::keyboardMovesBetweenTabs()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("a", "1", "X"), catalogLine("b", "1", "") });
    f.writeList(1, { "X" });
    f.start();
    QTest::keyClick(f.tabStrip1(), Qt::Key_Right);
    QCOMPARE(f.tabStrip1()->currentIndex(), 1);
    QCOMPARE(f.column(0), QStringList({ "b" }));
    QTest::keyClick(f.tabStrip1(), Qt::Key_End);
    QCOMPARE(f.tabStrip1()->currentText(), QStringLiteral("X"));
    QCOMPARE(f.column(0), QStringList({ "a" }));
    QTest::keyClick(f.tabStrip1(), Qt::Key_Home);
    QCOMPARE(f.rows(), 2);
}

void TestListView::rowsFlowOnlyInMultiRowMode_data()
{
    QTest::addColumn<bool>("multiRow");
    QTest::newRow("one scrolling row") << false;
    QTest::newRow("several rows") << true;
}

void TestListView::rowsFlowOnlyInMultiRowMode()
{
    QFETCH(bool, multiRow);
    ValueTabStrip strip;
    strip.resize(200, 25);
    for (int i = 0; i < 30; ++i)
        strip.addTab(QStringLiteral("値%1").arg(i));
    strip.setMultiRow(multiRow);
    if (multiRow) {
        QVERIFY(strip.rowCountAt(200) > 2);
        QCOMPARE(strip.extraHeightTwips(200), (strip.rowCountAt(200) - 1) * strip.rowHeight() * 15.0);
        QCOMPARE(strip.rowCountAt(100000), 1);
    } else {
        QCOMPARE(strip.rowCountAt(200), 1);
        QCOMPARE(strip.extraHeightTwips(200), 0.0);
        // The selected tab scrolls into view.
        strip.setCurrentIndex(29);
        QVERIFY(!strip.tabRect(29).isEmpty());
        QVERIFY(strip.tabRect(0).isEmpty());
    }
}

void TestListView::tabOrderReachesEveryControl()
{
    WindowFixture f;
    Form1 *w = f.start();
    QStringList names;
    QWidget *widget = f.tabStrip2();
    for (int i = 0; i < 5; ++i) {
        names.append(widget->objectName());
        widget = widget->nextInFocusChain();
        while (widget->focusPolicy() == Qt::NoFocus || !widget->isVisibleTo(w) || widget->objectName().isEmpty())
            widget = widget->nextInFocusChain();
    }
    QCOMPARE(names, QStringList({ "TabStrip2", "Text3", "Command1", "TabStrip1", "ListView2" }));
}

QTEST_MAIN(TestListView)
#include "tst_listview.moc"
