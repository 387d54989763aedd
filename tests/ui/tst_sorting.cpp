// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// Header clicks sort the visible list: one direction for the whole list,
// flipped on every click, texts compared as shown.
#include "tst_mainwindow_fixture.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

class TestSorting : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void headerClicksFlipAcrossColumns();
    void sortOrder_data();
    void sortOrder();
    void equalTextsKeepTheirOrder();
    void refillComesSorted();
    void selectionFollowsRows();

private:
    static void clickHeader(WindowFixture &f, int logical);
};

void TestSorting::clickHeader(WindowFixture &f, int logical)
{
    QHeaderView *header = f.listView()->horizontalHeader();
    const int x = header->sectionViewportPosition(logical) + header->sectionSize(logical) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

void TestSorting::headerClicksFlipAcrossColumns()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("b", "1,000.000"), catalogLine("A", "9.500"), catalogLine("c", "200.000") });
    f.start();
    clickHeader(f, CatalogItem::FileSize);
    QCOMPARE(f.column(CatalogItem::FileSize), QStringList({ "1,000.000", "200.000", "9.500" }));
    clickHeader(f, CatalogItem::FileSize);
    QCOMPARE(f.column(CatalogItem::FileSize), QStringList({ "9.500", "200.000", "1,000.000" }));
    // The third click flips again, whatever the column: ascending by name.
    clickHeader(f, CatalogItem::Name);
    QCOMPARE(f.column(CatalogItem::Name), QStringList({ "A", "b", "c" }));
    clickHeader(f, CatalogItem::Name);
    QCOMPARE(f.column(CatalogItem::Name), QStringList({ "c", "b", "A" }));
    QCOMPARE(f.listView()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
}

void TestSorting::sortOrder_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("ascending");
    QTest::newRow("sizes as texts") << int(CatalogItem::FileSize) << QStringList({ "200.000", "1,000.000", "不明" })
                                    << QStringList({ "1,000.000", "200.000", "不明" });
    QTest::newRow("dates") << int(CatalogItem::Modified) << QStringList({ "2003/05/01", "1999/12/31", "2003/04/30" })
                           << QStringList({ "1999/12/31", "2003/04/30", "2003/05/01" });
    QTest::newRow("case ignored") << int(CatalogItem::Name) << QStringList({ "beta", "ALPHA", "Gamma" })
                                  << QStringList({ "ALPHA", "beta", "Gamma" });
    QTest::newRow("keys as texts") << int(CatalogItem::RowKey) << QStringList() << QStringList();
}

void TestSorting::sortOrder()
{
    QFETCH(int, column);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, ascending);
    WindowFixture f;
    QStringList lines;
    if (texts.isEmpty()) {
        for (int i = 0; i < 12; ++i)
            lines.append(catalogLine(QStringLiteral("r%1").arg(i)));
        ascending = QStringList({ "0", "1", "10", "11", "2", "3", "4", "5", "6", "7", "8", "9" });
    }
    for (const QString &t : texts) {
        QStringList fields = catalogLine(QStringLiteral("n")).split(QLatin1Char('#'));
        fields[column] = t;
        lines.append(fields.join(QLatin1Char('#')));
    }
    f.writeCatalog(lines);
    f.start();
    f.window->SortByColumn(column + 1);
    QCOMPARE(f.column(column), ascending);
    f.window->SortByColumn(column + 1);
    std::reverse(ascending.begin(), ascending.end());
    QCOMPARE(f.column(column), ascending);
}

void TestSorting::equalTextsKeepTheirOrder()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("x", "1"), catalogLine("X", "2"), catalogLine("a", "3"), catalogLine("x", "4") });
    f.start();
    f.window->SortByColumn(1);
    QCOMPARE(f.column(CatalogItem::FileSize), QStringList({ "3", "1", "2", "4" }));
    f.window->SortByColumn(1);
    QCOMPARE(f.column(CatalogItem::FileSize), QStringList({ "1", "2", "4", "3" }));
}

void TestSorting::refillComesSorted()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("b"), catalogLine("c"), catalogLine("a") });
    Form1 *w = f.start();
    w->SortByColumn(1);
    f.clickValueTab(0);
    QCOMPARE(f.column(0), QStringList({ "a", "b", "c" }));
    // A drop appends at the end, where the new rows are selected.
    auto *data = new QMimeData;
    const QString path = f.path(QStringLiteral("0first.txt"));
    f.write(QStringLiteral("0first.txt"), "x");
    data->setUrls({ QUrl::fromLocalFile(path) });
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &drop);
    QTRY_VERIFY(!w->isDropRunning());
    delete data;
    QCOMPARE(f.column(0), QStringList({ "a", "b", "c", "0first.txt" }));
    f.clickValueTab(0);
    QCOMPARE(f.column(0), QStringList({ "0first.txt", "a", "b", "c" }));
}

void TestSorting::selectionFollowsRows()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("b"), catalogLine("c"), catalogLine("a") });
    f.start();
    f.selectRows({ 0 }); // "b"
    f.window->SortByColumn(1);
    const QModelIndexList selected = f.listView()->selectionModel()->selectedRows();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(f.cell(selected.first().row(), 0), QStringLiteral("b"));
}

QTEST_MAIN(TestSorting)
#include "tst_sorting.moc"
