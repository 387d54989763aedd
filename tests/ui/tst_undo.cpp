// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The "編集" menu: undo and redo of every change to the catalogue rows.
#include "tst_mainwindow_fixture.h"

#include <QMenuBar>
#include <QMimeData>
#include <QUndoStack>
#include <QUrl>

namespace {

// Every master row with its key, in list order.
QStringList snapshot(const Catalog &catalog)
{
    QStringList rows;
    for (qsizetype i = 0; i < catalog.size(); ++i)
        rows.append(catalog.at(i).text(CatalogItem::RowKey) + '|' + catalog.at(i).toListLine());
    return rows;
}

// The visible rows as key|texts, sorted: what the list shows, whatever
// the order.
QStringList visibleRows(const WindowFixture &f)
{
    QStringList rows;
    for (int row = 0; row < f.rows(); ++row) {
        QStringList texts;
        for (int column = 0; column < VisibleListModel::ColumnCount; ++column)
            texts.append(f.cell(row, column));
        rows.append(texts.join('|'));
    }
    rows.sort();
    return rows;
}

} // namespace

class TestUndo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void editMenu();
    void undoAndRedoEachChange_data();
    void undoAndRedoEachChange();
    void removalSaysHowToUndo();
    void undoneRemovalSavesTheOldFile();

private:
    enum Change { Remove, RemoveDuplicateCopies, Assign, Rename, Drop, AddFolder };
    static void perform(WindowFixture &f, Change change);
};

void TestUndo::editMenu()
{
    WindowFixture f;
    Form1 *w = f.start();
    QStringList bar;
    for (QAction *a : w->menuBar()->actions())
        bar.append(a->text());
    QCOMPARE(bar, QStringList({ "ファイル", "編集", "検索", "ヘルプ" }));
    auto *undo = f.child<QAction>("undo");
    auto *redo = f.child<QAction>("redo");
    QCOMPARE(undo->text(), QStringLiteral("元に戻す"));
    QCOMPARE(redo->text(), QStringLiteral("やり直し"));
    QCOMPARE(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    QVERIFY(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Y)));
    QVERIFY(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));
    QVERIFY(!undo->isEnabled());
    QVERIFY(!redo->isEnabled());
}

void TestUndo::perform(WindowFixture &f, Change change)
{
    Form1 *w = f.window.get();
    switch (change) {
    case Remove:
        f.selectRows({ 1, 3 });
        w->RemoveSelectedRows();
        break;
    case RemoveDuplicateCopies:
        // The pairs of the three "same.avi" rows list each row twice; both
        // copies of the first go: its master row and the later copy.
        w->FindDuplicates(0);
        QCOMPARE(f.rows(), 6);
        QCOMPARE(w->visibleModel()->keyAt(0), w->visibleModel()->keyAt(2));
        f.selectRows({ 0, 2 });
        w->RemoveSelectedRows();
        break;
    case Assign:
        f.selectRows({ 0, 2 });
        w->AssignCategory(1, 3); // the second value of list 1
        break;
    case Rename:
        f.listView()->model()->setData(f.listView()->model()->index(2, 0), QStringLiteral("renamed.avi"));
        break;
    case Drop: {
        const QString a = f.path(QStringLiteral("in/a.avi"));
        QDir().mkpath(f.path(QStringLiteral("in")));
        QFile(a).open(QIODevice::WriteOnly);
        QMimeData data;
        data.setUrls({ QUrl::fromLocalFile(a), QUrl::fromLocalFile(a) });
        w->AddDroppedFiles(data);
        QTRY_VERIFY(!w->isDropRunning());
        break;
    }
    case AddFolder:
        QDir().mkpath(f.path(QStringLiteral("disc/sub")));
        QFile(f.path(QStringLiteral("disc/sub/x.avi"))).open(QIODevice::WriteOnly);
        QFile(f.path(QStringLiteral("disc/y.avi"))).open(QIODevice::WriteOnly);
        w->AddFolder(f.path(QStringLiteral("disc")), QStringLiteral("DISC"), 1);
        QTRY_VERIFY(!w->isDropRunning());
        break;
    }
}

void TestUndo::undoAndRedoEachChange_data()
{
    QTest::addColumn<int>("change");
    QTest::newRow("削除") << int(Remove);
    QTest::newRow("削除 of duplicate copies") << int(RemoveDuplicateCopies);
    QTest::newRow("category") << int(Assign);
    QTest::newRow("rename") << int(Rename);
    QTest::newRow("drop") << int(Drop);
    QTest::newRow("フォルダを追加") << int(AddFolder);
}

// Undo gives back the master rows as they were, at their places and with
// their keys, and the visible list shows them; redo brings the change back
// exactly; the keys keep growing after both.
void TestUndo::undoAndRedoEachChange()
{
    QFETCH(int, change);
    WindowFixture f;
    f.writeCatalog({ catalogLine("same.avi", "1.000", "G1"), catalogLine("b.avi", "2.000"),
        catalogLine("same.avi", "1.000"), catalogLine("d.avi", "4.000", "G2"), catalogLine("same.avi") });
    f.writeList(1, { "G1", "G2", "Drama" });
    Form1 *w = f.start();
    const QStringList before = snapshot(w->catalog());
    const QStringList shownBefore = visibleRows(f);

    perform(f, Change(change));
    const QStringList after = snapshot(w->catalog());
    const qint64 nextKey = w->catalog().nextRowKey();
    QVERIFY(after != before);
    QCOMPARE(w->undoStack()->count(), 1);

    QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(snapshot(w->catalog()), before);
    if (change != RemoveDuplicateCopies) {
        // Every master row shows once, with its texts (a dropped row's size
        // text aside, the list shows what it showed before).
        QCOMPARE(visibleRows(f), shownBefore);
    } else {
        QCOMPARE(f.rows(), 6); // the five left, the earlier copy among them, and the row shown again
        w->RefreshView();
        QCOMPARE(visibleRows(f), shownBefore);
        w->undoStack()->redo();
        QCOMPARE(snapshot(w->catalog()), after);
        return;
    }

    QTest::keyClick(w, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(snapshot(w->catalog()), after);
    QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(snapshot(w->catalog()), after); // nothing left to redo
    w->undoStack()->undo();
    QCOMPARE(snapshot(w->catalog()), before);
    // Keys are not given twice: the next row takes the next new key.
    QCOMPARE(w->catalog().append(CatalogItem()), nextKey);
}

void TestUndo::removalSaysHowToUndo()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("a.avi"), catalogLine("b.avi"), catalogLine("c.avi") });
    Form1 *w = f.start();
    f.selectRows({ 0, 2 });
    w->RemoveSelectedRows();
    QCOMPARE(f.status(), QStringLiteral("2個のアイテムを削除しました（Ctrl+Z で元に戻せます）"));
    QCOMPARE(f.column(0), QStringList({ "b.avi" }));
    w->undoStack()->undo();
    // The rows come back selected, at the end of the visible list.
    QCOMPARE(f.column(0), QStringList({ "b.avi", "a.avi", "c.avi" }));
    QCOMPARE(f.listView()->selectionModel()->selectedRows().size(), 2);
    f.listView()->clearSelection();
    w->RemoveSelectedRows(); // nothing selected: nothing said, nothing to undo
    QCOMPARE(w->undoStack()->count(), 1);
}

// Nothing is written by undo; the next save writes the rows back in their
// old order.
void TestUndo::undoneRemovalSavesTheOldFile()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("a.avi"), catalogLine("b.avi", "2.000", "X"), catalogLine("c.avi") });
    const QByteArray original = f.read(QStringLiteral("List.txt"));
    Form1 *w = f.start();
    f.selectRows({ 1 });
    w->RemoveSelectedRows();
    w->SaveAll();
    QVERIFY(f.read(QStringLiteral("List.txt")) != original);
    w->undoStack()->undo();
    QVERIFY(f.read(QStringLiteral("List.txt")) != original);
    w->SaveAll();
    QCOMPARE(f.read(QStringLiteral("List.txt")), original);
}

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
