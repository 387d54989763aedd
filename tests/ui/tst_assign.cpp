// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The popup menu's operations on the visible list: category assignment,
// removal, the copies of one master row, and the in-place rename.
#include "tst_mainwindow_fixture.h"

#include "Form2.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

class TestAssign : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void assignThroughMenuToSelectedRows_data();
    void assignThroughMenuToSelectedRows();
    void noneEmptiesField();
    void rowStaysVisibleUnderOtherTab();
    void leftClickShowsNoMenu();
    void newValueOfferedByNextRightClick();
    void removeTwoRows();
    void removeBothCopiesOfOneMasterRow();
    void hashInValueIsStoredFullWidth();
    void renameSaveRestart();
    void openEditorIsTakenFirst_data();
    void openEditorIsTakenFirst();

private:
    // Right-clicks row `row` and chooses the action named `item` in the menu;
    // an item t0k_i of a category submenu is chosen after opening submenu k with
    // the Right key, which makes its items.
    static bool chooseFromMenu(WindowFixture &f, int row, const QString &item);
    static QStringList masterField(Form1 *w, int field);
};

bool TestAssign::chooseFromMenu(WindowFixture &f, int row, const QString &item)
{
    QMenu *pop = f.window->findChild<QMenu *>(QStringLiteral("pop"));
    bool shown = false;
    QTimer::singleShot(100, pop, [&] {
        shown = pop->isVisible();
        if (item.startsWith(QLatin1String("t0"))) {
            pop->setActiveAction(pop->actions().at(item.mid(2, 1).toInt() - 1));
            QTest::keyClick(pop, Qt::Key_Right);
        }
        if (QAction *action = pop->findChild<QAction *>(item))
            action->trigger();
        pop->close();
    });
    const QRect rect = f.listView()->visualRect(f.listView()->model()->index(row, 0));
    QTest::mouseClick(f.listView()->viewport(), Qt::RightButton, {}, rect.center());
    QTest::qWait(250);
    return shown;
}

QStringList TestAssign::masterField(Form1 *w, int field)
{
    QStringList texts;
    for (qsizetype i = 0; i < w->catalog().size(); ++i)
        texts.append(w->catalog().at(i).text(field));
    return texts;
}

void TestAssign::assignThroughMenuToSelectedRows_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("field");
    QTest::newRow("ジャンル１") << 1 << int(CatalogItem::Genre1);
    QTest::newRow("備考") << 3 << int(CatalogItem::Remarks);
    QTest::newRow("その他２") << 5 << int(CatalogItem::Other2);
}

void TestAssign::assignThroughMenuToSelectedRows()
{
    QFETCH(int, k);
    QFETCH(int, field);
    WindowFixture f;
    f.writeCatalog({ catalogLine("r0"), catalogLine("r1"), catalogLine("r2"), catalogLine("r3"), catalogLine("r4") });
    f.writeList(k, { "一", "二" });
    Form1 *w = f.start();
    f.selectRows({ 1, 2, 4 });
    QVERIFY(chooseFromMenu(f, 2, QStringLiteral("t0%1_3").arg(k)));
    const QStringList expected { "", "二", "二", "", "二" };
    QCOMPARE(f.column(field), expected);
    QCOMPARE(masterField(w, field), expected);
    // No other field changed, no refresh: the selection stays.
    QCOMPARE(f.column(CatalogItem::Name), QStringList({ "r0", "r1", "r2", "r3", "r4" }));
    QCOMPARE(f.listView()->selectionModel()->selectedRows().size(), 3);
}

void TestAssign::noneEmptiesField()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("r0", "1", "", "X"), catalogLine("r1", "1", "", "Y") });
    Form1 *w = f.start();
    f.selectRows({ 0 });
    QVERIFY(chooseFromMenu(f, 0, QStringLiteral("t02_0")));
    QCOMPARE(f.column(CatalogItem::Genre2), QStringList({ "", "Y" }));
    QCOMPARE(masterField(w, CatalogItem::Genre2), QStringList({ "", "Y" }));
    f.clickCategoryTab(1);
    f.clickValueTab(1); // "無し" of ジャンル２
    QCOMPARE(f.column(0), QStringList({ "r0" }));
}

void TestAssign::rowStaysVisibleUnderOtherTab()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("r0", "1", "A"), catalogLine("r1", "1", "A"), catalogLine("r2", "1", "B") });
    f.writeList(1, { "A", "B" });
    Form1 *w = f.start();
    f.clickValueTab(2); // "A"
    QCOMPARE(f.column(0), QStringList({ "r0", "r1" }));
    f.selectRows({ 0 });
    w->AssignCategory(1, 3); // "B"
    QCOMPARE(f.column(0), QStringList({ "r0", "r1" }));
    QCOMPARE(f.cell(0, CatalogItem::Genre1), QStringLiteral("B"));
    f.clickValueTab(2);
    QCOMPARE(f.column(0), QStringList({ "r1" }));
}

void TestAssign::leftClickShowsNoMenu()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("r0"), catalogLine("r1") });
    f.start();
    QMenu *pop = f.window->findChild<QMenu *>(QStringLiteral("pop"));
    bool shown = false;
    QTimer::singleShot(100, pop, [&] {
        shown = pop->isVisible();
        pop->close();
    });
    const QRect rect = f.listView()->visualRect(f.listView()->model()->index(1, 0));
    QTest::mouseClick(f.listView()->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::qWait(250);
    QVERIFY(!shown);
    QCOMPARE(f.listView()->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(f.listView()->selectionModel()->selectedRows().first().row(), 1);
}

void TestAssign::newValueOfferedByNextRightClick()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("r0") });
    Form1 *w = f.start();
    w->categoryLists().list(4).append(QStringLiteral("新しい値"));
    f.selectRows({ 0 });
    QVERIFY(chooseFromMenu(f, 0, QStringLiteral("t04_2")));
    QCOMPARE(f.cell(0, CatalogItem::Other1), QStringLiteral("新しい値"));
    QCOMPARE(w->catalog().at(0).text(CatalogItem::Other1), QStringLiteral("新しい値"));
}

void TestAssign::removeTwoRows()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("r0"), catalogLine("r1"), catalogLine("r2"), catalogLine("r3") });
    Form1 *w = f.start();
    f.selectRows({ 1, 3 });
    QVERIFY(chooseFromMenu(f, 1, QStringLiteral("del")));
    QCOMPARE(f.column(0), QStringList({ "r0", "r2" }));
    QCOMPARE(masterField(w, CatalogItem::Name), QStringList({ "r0", "r2" }));
    QCOMPARE(f.column(CatalogItem::RowKey), QStringList({ "0", "2" }));
}

void TestAssign::removeBothCopiesOfOneMasterRow()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("same", "1"), catalogLine("same", "2"), catalogLine("same", "3") });
    Form1 *w = f.start();
    w->FindDuplicates(0); // pairs (0,1) (0,2) (1,2)
    QCOMPARE(f.column(CatalogItem::RowKey), QStringList({ "0", "1", "0", "2", "1", "2" }));
    f.selectRows({ 0, 2 }); // both copies of master row 0
    w->RemoveSelectedRows();
    // The later copy and the master row go; the earlier copy stays.
    QCOMPARE(f.column(CatalogItem::RowKey), QStringList({ "0", "1", "2", "1", "2" }));
    QCOMPARE(f.cell(0, CatalogItem::FileSize), QStringLiteral("1"));
    QCOMPARE(masterField(w, CatalogItem::FileSize), QStringList({ "2", "3" }));
    // The orphan still takes a value; no master row changes.
    w->categoryLists().list(1).append(QStringLiteral("残り"));
    f.selectRows({ 0 });
    w->AssignCategory(1, 2);
    QCOMPARE(f.cell(0, CatalogItem::Genre1), QStringLiteral("残り"));
    QCOMPARE(masterField(w, CatalogItem::Genre1), QStringList({ "", "" }));
    // Removing it again finds no master row: it stays.
    w->RemoveSelectedRows();
    QCOMPARE(f.rows(), 5);
    QCOMPARE(w->catalog().size(), 2);
    // A copy that was not selected keeps its texts when its twin changes.
    f.selectRows({ 1 });
    w->AssignCategory(1, 2);
    QCOMPARE(f.cell(1, CatalogItem::Genre1), QStringLiteral("残り"));
    QCOMPARE(f.cell(3, CatalogItem::Genre1), QString());
    QCOMPARE(masterField(w, CatalogItem::Genre1), QStringList({ "残り", "" }));
}

void TestAssign::hashInValueIsStoredFullWidth()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("r0") });
    Form1 *w = f.start();
    w->categoryLists().list(1).append(QStringLiteral("C#"));
    f.selectRows({ 0 });
    w->AssignCategory(1, 2);
    QCOMPARE(w->catalog().at(0).text(CatalogItem::Genre1), QStringLiteral("C＃"));
    QCOMPARE(f.cell(0, CatalogItem::Genre1), QStringLiteral("C＃"));
}

void TestAssign::renameSaveRestart()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("one.avi"), catalogLine("two.avi"), catalogLine("three.avi") });
    Form1 *w = f.start();
    QTableView *view = f.listView();
    f.selectRows({ 0, 1 });
    view->selectionModel()->setCurrentIndex(view->model()->index(1, 0), QItemSelectionModel::NoUpdate);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    view->setFocus();
    QTest::keyClick(view, Qt::Key_F2);
    auto *editor = view->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    QCOMPARE(editor->text(), QStringLiteral("two.avi"));
    editor->setText(QStringLiteral("新しい名前#1.avi"));
    QTest::keyClick(editor, Qt::Key_Return); // the edit ends from the event loop
    QTRY_COMPARE(f.column(0), QStringList({ "one.avi", "新しい名前#1.avi", "three.avi" }));
    QCOMPARE(masterField(w, CatalogItem::Name), QStringList({ "one.avi", "新しい名前#1.avi", "three.avi" }));
    // Only the name column is edited in place.
    QVERIFY(!(view->model()->flags(view->model()->index(0, 1)) & Qt::ItemIsEditable));
    w->findChild<QAction *>(QStringLiteral("sev"))->trigger();
    w->close();
    QVERIFY(w->hasQuit());
    f.window.reset();
    f.start();
    QCOMPARE(f.column(0), QStringList({ "one.avi", "新しい名前#1.avi", "three.avi" }));
}

void TestAssign::openEditorIsTakenFirst_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("category tab click") << QStringLiteral("category tab");
    QTest::newRow("value tab click") << QStringLiteral("value tab");
    QTest::newRow("duplicate finder") << QStringLiteral("douitu0");
    QTest::newRow("search") << QStringLiteral("search");
    QTest::newRow("保存") << QStringLiteral("sev");
    QTest::newRow("終了") << QStringLiteral("en");
}

// A name typed into the editor counts, whatever ends the edit: a tab strip
// takes no focus and a menu only takes it for a while.
void TestAssign::openEditorIsTakenFirst()
{
    QFETCH(QString, action);
    WindowFixture f;
    f.writeCatalog({ catalogLine("one.avi"), catalogLine("two.avi") });
    Form1 *w = f.start();
    QTableView *view = f.listView();
    view->selectionModel()->setCurrentIndex(view->model()->index(1, 0), QItemSelectionModel::ClearAndSelect);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    view->setFocus();
    QTest::keyClick(view, Qt::Key_F2);
    auto *editor = view->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->setText(QStringLiteral("typed.avi"));

    if (action == QLatin1String("category tab"))
        f.clickCategoryTab(1);
    else if (action == QLatin1String("value tab"))
        f.clickValueTab(1);
    else if (action == QLatin1String("search"))
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    else
        w->findChild<QAction *>(action)->trigger();

    QCOMPARE(masterField(w, CatalogItem::Name), QStringList({ "one.avi", "typed.avi" }));
    if (action == QLatin1String("sev") || action == QLatin1String("en"))
        QVERIFY(f.read(QStringLiteral("List.txt")).contains("typed.avi#"));
    if (action == QLatin1String("en"))
        QVERIFY(w->hasQuit());
}

QTEST_MAIN(TestAssign)
#include "tst_assign.moc"
