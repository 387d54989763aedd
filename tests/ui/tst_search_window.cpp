// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The search button and the duplicate finder's menu items fill the visible
// list and write their counts.
#include "tst_mainwindow_fixture.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

class TestSearchWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void searchButtonListsHits_data();
    void searchButtonListsHits();
    void enterDoesNotSearch();
    void searchLeavesTabs();
    void duplicateItems_data();
    void duplicateItems();
    void resultRowsTakeValues();
};

void TestSearchWindow::searchButtonListsHits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("hits");
    QTest::newRow("case") << "AVI" << QStringList({ "movie.avi", "アニメ.avi" });
    QTest::newRow("middle") << "vie" << QStringList({ "movie.avi" });
    QTest::newRow("empty finds non-empty names") << "" << QStringList({ "movie.avi", "song.mp3", "アニメ.avi" });
    QTest::newRow("genre word only") << "ドラマ" << QStringList();
    QTest::newRow("wildcard literal") << "*" << QStringList();
}

void TestSearchWindow::searchButtonListsHits()
{
    QFETCH(QString, text);
    QFETCH(QStringList, hits);
    WindowFixture f;
    f.writeCatalog({ catalogLine("movie.avi", "1", "ドラマ"), catalogLine("song.mp3"), catalogLine("アニメ.avi") });
    f.start();
    f.child<QLineEdit>("Text3")->setText(text);
    for (int run = 0; run < 2; ++run) { // twice: the list is emptied first
        QTest::mouseClick(f.child<QPushButton>("Command1"), Qt::LeftButton);
        QCOMPARE(f.column(0), hits);
        QCOMPARE(f.status(), QString::number(hits.size()) + QStringLiteral("個のアイテムが見つかりました"));
        QCOMPARE(f.window->statusTicks(), 0);
    }
}

void TestSearchWindow::enterDoesNotSearch()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("movie.avi"), catalogLine("song.mp3") });
    f.start();
    auto *text3 = f.child<QLineEdit>("Text3");
    text3->setText(QStringLiteral("song"));
    QTest::keyClick(text3, Qt::Key_Return);
    QCOMPARE(f.rows(), 2);
    QCOMPARE(f.status(), QStringLiteral("2個のアイテムを読み込みました"));
}

void TestSearchWindow::searchLeavesTabs()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("a.avi", "1", "X"), catalogLine("b.avi", "1", "Y") });
    f.writeList(1, { "X", "Y" });
    f.start();
    f.clickValueTab(2);
    QCOMPARE(f.column(0), QStringList({ "a.avi" }));
    f.child<QLineEdit>("Text3")->setText(QStringLiteral("avi"));
    QTest::mouseClick(f.child<QPushButton>("Command1"), Qt::LeftButton);
    QCOMPARE(f.column(0), QStringList({ "a.avi", "b.avi" }));
    QCOMPARE(f.tabStrip1()->currentIndex(), 2);
    f.clickValueTab(2); // the category view comes back
    QCOMPARE(f.column(0), QStringList({ "a.avi" }));
}

void TestSearchWindow::duplicateItems_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("status");
    // Rows: 0 a/1, 1 b/1, 2 a/2, 3 a/1, 4 c/3
    QTest::newRow("name") << 0 << QStringList({ "0", "2", "0", "3", "2", "3" })
                          << QStringLiteral("3×２個のアイテムが見つかりました");
    QTest::newRow("size") << 1 << QStringList({ "0", "1", "0", "3", "1", "3" })
                          << QStringLiteral("3×２個のアイテムが見つかりました");
    QTest::newRow("name and size") << 2 << QStringList({ "0", "3" })
                                   << QStringLiteral("1×２個のアイテムが見つかりました");
}

void TestSearchWindow::duplicateItems()
{
    QFETCH(int, item);
    QFETCH(QStringList, keys);
    QFETCH(QString, status);
    WindowFixture f;
    f.writeCatalog({ catalogLine("a", "1"), catalogLine("b", "1"), catalogLine("a", "2"), catalogLine("a", "1"),
        catalogLine("c", "3") });
    Form1 *w = f.start();
    QAction *action = w->findChild<QAction *>(QStringLiteral("douitu%1").arg(item));
    QVERIFY(action);
    for (int run = 0; run < 2; ++run) {
        action->trigger();
        QCOMPARE(f.column(CatalogItem::RowKey), keys);
        QCOMPARE(f.status(), status);
    }
}

void TestSearchWindow::resultRowsTakeValues()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("a", "1"), catalogLine("b", "2"), catalogLine("a", "3") });
    Form1 *w = f.start();
    w->categoryLists().list(2).append(QStringLiteral("重複"));
    w->findChild<QAction *>(QStringLiteral("douitu0"))->trigger();
    f.selectRows({ 1 });
    w->AssignCategory(2, 2);
    QCOMPARE(w->catalog().at(2).text(CatalogItem::Genre2), QStringLiteral("重複"));
    QCOMPARE(w->catalog().at(0).text(CatalogItem::Genre2), QString());
    QCOMPARE(f.cell(1, CatalogItem::Genre2), QStringLiteral("重複"));
}

QTEST_MAIN(TestSearchWindow)
#include "tst_search_window.moc"
