// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The main window without a mouse: the popup menu from the keyboard, Delete,
// Ctrl+F and the keys that extend the selection.
#include "tst_mainwindow_fixture.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>

class TestKeyboard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void menuKeysOpenPopupAtCurrentRow_data();
    void menuKeysOpenPopupAtCurrentRow();
    void deleteRemovesSelectedRows();
    void ctrlFSelectsSearchText();
    void enterInSearchBoxDoesNothing();
    void shiftEndExtendsToLastRow_data();
    void shiftEndExtendsToLastRow();

private:
    static QList<int> selectedRows(const WindowFixture &f);
};

QList<int> TestKeyboard::selectedRows(const WindowFixture &f)
{
    QList<int> rows;
    for (const QModelIndex &index : f.listView()->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TestKeyboard::menuKeysOpenPopupAtCurrentRow_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("menu key") << 0;
    QTest::newRow("Shift+F10") << 1;
    QTest::newRow("context-menu event from the keyboard") << 2;
}

void TestKeyboard::menuKeysOpenPopupAtCurrentRow()
{
    QFETCH(int, way);
    WindowFixture f;
    f.writeCatalog({ catalogLine("a"), catalogLine("b"), catalogLine("c") });
    f.writeList(2, { "SF" });
    f.start();
    QTableView *list = f.listView();
    list->setFocus();
    list->setCurrentIndex(list->model()->index(2, 0));
    QTest::keyClick(list, Qt::Key_Up); // the current row is row 1, "b"

    QMenu *pop = f.window->findChild<QMenu *>(QStringLiteral("pop"));
    QWidget *shown = nullptr;
    QPoint where;
    QStringList captions;
    QStringList genre2;
    QTimer::singleShot(100, pop, [&] {
        shown = QApplication::activePopupWidget();
        where = pop->pos();
        for (QAction *action : pop->actions())
            captions.append(action->text());
        // Into ジャンル２ with the Right key; its items are made as it opens.
        pop->setActiveAction(pop->actions().at(1));
        QTest::keyClick(pop, Qt::Key_Right);
        for (QAction *action : pop->actions().at(1)->menu()->actions())
            genre2.append(action->text());
        pop->close();
    });
    if (way == 0) {
        QTest::keyClick(list, Qt::Key_Menu);
    } else if (way == 1) {
        QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
    } else {
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(0, 0), list->mapToGlobal(QPoint(0, 0)));
        QApplication::sendEvent(list, &event);
    }
    QTRY_VERIFY(!pop->isVisible());

    QCOMPARE(shown, pop);
    QCOMPARE(captions, QStringList({ "ジャンル１", "ジャンル２", "備考", "その他１", "その他２", "", "削除" }));
    QCOMPARE(genre2, QStringList({ "無し", "", "SF" }));
    const QRect row = list->visualRect(list->model()->index(1, 0));
    const QRect rowOnScreen(list->viewport()->mapToGlobal(row.topLeft()), row.size());
    QVERIFY2(rowOnScreen.contains(where), "the menu opens at the current row");
}

void TestKeyboard::deleteRemovesSelectedRows()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("a"), catalogLine("b"), catalogLine("c"), catalogLine("d") });
    f.start();
    f.listView()->setFocus();
    f.selectRows({ 0, 2 });
    QTest::keyClick(f.listView(), Qt::Key_Delete);
    QCOMPARE(f.column(0), QStringList({ "b", "d" }));
    QStringList master;
    for (qsizetype i = 0; i < f.window->catalog().size(); ++i)
        master.append(f.window->catalog().at(i).text(CatalogItem::Name));
    QCOMPARE(master, QStringList({ "b", "d" }));
    // Delete with nothing selected removes nothing.
    f.listView()->clearSelection();
    QTest::keyClick(f.listView(), Qt::Key_Delete);
    QCOMPARE(f.rows(), 2);
}

void TestKeyboard::ctrlFSelectsSearchText()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("a") });
    f.start();
    auto *text3 = f.child<QLineEdit>("Text3");
    text3->setText(QStringLiteral("前の検索"));
    text3->setFocus();
    text3->deselect(); // already focused: no focus event selects it again
    text3->setCursorPosition(1);
    f.window->activateWindow();
    QTest::keyClick(text3, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(text3->hasFocus());
    QCOMPARE(text3->selectedText(), QStringLiteral("前の検索"));

    f.listView()->setFocus();
    QVERIFY(!text3->hasFocus());
    QTest::keyClick(f.listView(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(text3->hasFocus());
    QCOMPARE(text3->selectedText(), QStringLiteral("前の検索"));
    QTest::keyClicks(text3, QStringLiteral("b"));
    QCOMPARE(text3->text(), QStringLiteral("b"));
}

void TestKeyboard::enterInSearchBoxDoesNothing()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("a"), catalogLine("b") });
    f.start();
    auto *text3 = f.child<QLineEdit>("Text3");
    text3->setFocus();
    QTest::keyClicks(text3, QStringLiteral("a"));
    const QString status = f.status();
    QTest::keyClick(text3, Qt::Key_Return);
    QTest::keyClick(text3, Qt::Key_Enter);
    QCOMPARE(f.rows(), 2);
    QCOMPARE(f.status(), status);
}

void TestKeyboard::shiftEndExtendsToLastRow_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QList<int>>("selected");
    QTest::newRow("Shift+End") << int(Qt::ShiftModifier) << QList<int>({ 1, 2, 3, 4 });
    QTest::newRow("Ctrl+Shift+End") << int(Qt::ShiftModifier | Qt::ControlModifier) << QList<int>({ 1, 2, 3, 4 });
    QTest::newRow("End") << int(Qt::NoModifier) << QList<int>({ 4 });
}

void TestKeyboard::shiftEndExtendsToLastRow()
{
    QFETCH(int, modifiers);
    QFETCH(QList<int>, selected);
    WindowFixture f;
    f.writeCatalog({ catalogLine("a"), catalogLine("b"), catalogLine("c"), catalogLine("d"), catalogLine("e") });
    f.start();
    QTableView *list = f.listView();
    list->setFocus();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(1, 0)).center());
    QCOMPARE(selectedRows(f), QList<int>({ 1 }));
    QTest::keyClick(list, Qt::Key_End, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(selectedRows(f), selected);
    QCOMPARE(list->currentIndex().row(), 4);
    QCOMPARE(list->currentIndex().column(), 0); // no jump to the last column
    // Shift+Home from there extends back to the first row.
    QTest::keyClick(list, Qt::Key_Home, Qt::ShiftModifier);
    QCOMPARE(selectedRows(f).constFirst(), 0);
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
