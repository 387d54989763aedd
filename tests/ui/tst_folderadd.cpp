// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// "フォルダを追加…": every file of a folder, the disc name, progress and cancel.
#include "tst_mainwindow_fixture.h"

#include "DropIntakeRunner.h"
#include "Form2.h"

#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>

class TestFolderAdd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void menuItemComesFirst();
    void everyFileWithTheDiscName();
    void discNameJoinsItsListOnce();
    void cancelHalfWay_data();
    void cancelHalfWay();

private:
    static void makeFile(const QString &path, qsizetype bytes);
};

void TestFolderAdd::makeFile(const QString &path, qsizetype bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(bytes, 'x'));
}

void TestFolderAdd::menuItemComesFirst()
{
    WindowFixture f;
    Form1 *w = f.start();
    QMenu *fil = w->findChild<QMenu *>(QStringLiteral("fil"));
    QStringList captions;
    for (QAction *a : fil->actions())
        captions.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(captions, QStringList({ "フォルダを追加…", "保存", "-", "設定", "-", "終了" }));
    QCOMPARE(fil->actions().first()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
}

// Rows as a drop makes them (the view size of a small file in the visible
// row), in folder order, each with the disc name in the chosen category;
// the name shows at once as a value tab of that category.
void TestFolderAdd::everyFileWithTheDiscName()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("old.avi") });
    f.writeList(3, { "Existing" });
    const QString disc = f.path(QStringLiteral("disc"));
    makeFile(disc + QStringLiteral("/series/ep10.avi"), 2000);
    makeFile(disc + QStringLiteral("/series/ep2.avi"), 2000);
    makeFile(disc + QStringLiteral("/.hidden"), 1);
    makeFile(disc + QStringLiteral("/notes.txt"), 500);
    Form1 *w = f.start();
    f.clickCategoryTab(2); // 備考

    w->AddFolder(disc, QStringLiteral("DISC 01"), 3);
    QVERIFY(f.child<QPushButton>("cancelFolder")->isVisibleTo(w));
    QTRY_VERIFY(!w->isDropRunning());

    QCOMPARE(f.status(), QStringLiteral("4個のアイテムをリストに追加しました。"));
    QVERIFY(!f.child<QPushButton>("cancelFolder")->isVisibleTo(w));
    const Catalog &c = w->catalog();
    QCOMPARE(c.size(), 5);
    QStringList names, remarks, keys;
    for (qsizetype i = 0; i < c.size(); ++i) {
        names.append(c.at(i).text(CatalogItem::Name));
        remarks.append(c.at(i).text(CatalogItem::Remarks));
        keys.append(c.at(i).text(CatalogItem::RowKey));
    }
    QCOMPARE(names, QStringList({ "old.avi", ".hidden", "notes.txt", "ep2.avi", "ep10.avi" }));
    QCOMPARE(remarks, QStringList({ "", "DISC 01", "DISC 01", "DISC 01", "DISC 01" }));
    QCOMPARE(keys, QStringList({ "0", "1", "2", "3", "4" }));
    QCOMPARE(c.at(2).text(CatalogItem::FileSize), QStringLiteral("0.500"));
    QCOMPARE(f.column(0), names);
    QCOMPARE(f.cell(2, CatalogItem::FileSize), QStringLiteral("500"));
    QCOMPARE(f.listView()->selectionModel()->selectedRows().size(), 4);

    QCOMPARE(w->categoryLists().list(3), QStringList({ "Existing", "DISC 01" }));
    QCOMPARE(f.tabStrip1()->count(), 4);
    QCOMPARE(f.tabStrip1()->tabText(3), QStringLiteral("DISC 01"));
    // The settings window's list box shows it too.
    auto *box = w->settingsWindow()->findChildren<QListView *>().at(2);
    QCOMPARE(box->model()->rowCount(), 2);
    QCOMPARE(box->model()->index(1, 0).data().toString(), QStringLiteral("DISC 01"));
}

void TestFolderAdd::discNameJoinsItsListOnce()
{
    WindowFixture f;
    const QString disc = f.path(QStringLiteral("disc"));
    makeFile(disc + QStringLiteral("/a.avi"), 10);
    Form1 *w = f.start();
    f.clickCategoryTab(1); // ジャンル２
    w->AddFolder(disc, QStringLiteral("Disc A"), 2);
    w->AddFolder(disc, QStringLiteral("Disc A"), 2);
    w->AddFolder(disc, QString(), 4); // no name: nothing recorded
    // A '#' would split the list file: the list and the rows hold the same
    // stored form, so the value tab finds the rows.
    w->AddFolder(disc, QStringLiteral("CD#2"), 5);
    QTRY_VERIFY(!w->isDropRunning());
    QCOMPARE(w->categoryLists().list(5), QStringList({ "CD＃2" }));
    QCOMPARE(w->catalog().at(3).text(CatalogItem::Other2), QStringLiteral("CD＃2"));
    QCOMPARE(w->categoryLists().list(2), QStringList({ "Disc A" }));
    QCOMPARE(f.tabStrip1()->count(), 3);
    QCOMPARE(w->categoryLists().list(4), QStringList());
    QCOMPARE(w->catalog().size(), 4);
    QCOMPARE(w->catalog().at(1).text(CatalogItem::Genre2), QStringLiteral("Disc A"));
    QCOMPARE(w->catalog().at(2).text(CatalogItem::Other1), QString());
    // Saved with the lists.
    w->SaveAll();
    QCOMPARE(f.read(QStringLiteral("List02.txt")), QByteArray("Disc A\r\n"));
}

void TestFolderAdd::cancelHalfWay_data()
{
    QTest::addColumn<bool>("byEscape");
    QTest::newRow("中止 button") << false;
    QTest::newRow("Esc") << true;
}

void TestFolderAdd::cancelHalfWay()
{
    QFETCH(bool, byEscape);
    WindowFixture f;
    const QString disc = f.path(QStringLiteral("disc"));
    // Enough files that the worker is still probing when the first batch
    // arrives, even on an idle machine.
    constexpr int Files = 20000;
    for (int i = 0; i < Files; ++i)
        makeFile(disc + QStringLiteral("/f%1.txt").arg(i), 1);
    Form1 *w = f.start();
    auto *runner = w->findChild<DropIntakeRunner *>();
    QString progress;
    connect(runner, &DropIntakeRunner::filesProbed, w, [&] {
        if (!progress.isEmpty())
            return;
        progress = f.status();
        if (byEscape)
            QTest::keyClick(w, Qt::Key_Escape);
        else
            QTest::mouseClick(f.child<QPushButton>("cancelFolder"), Qt::LeftButton);
    });
    w->AddFolder(disc, QString(), 3);
    QTRY_VERIFY_WITH_TIMEOUT(!w->isDropRunning(), 30000);

    QVERIFY2(
        QRegularExpression(QStringLiteral("^\\d+/%1$").arg(Files)).match(progress).hasMatch(), qPrintable(progress));
    const qsizetype added = w->catalog().size();
    QVERIFY(added > 0 && added < Files);
    QCOMPARE(f.rows(), int(added));
    QCOMPARE(f.status(), QStringLiteral("%1個のアイテムをリストに追加しました。（中止しました）").arg(added));
    // The rows kept are the first ones in order.
    QCOMPARE(w->catalog().at(added - 1).text(CatalogItem::Name), QStringLiteral("f%1.txt").arg(added - 1));
    QVERIFY(!f.child<QPushButton>("cancelFolder")->isVisibleTo(w));
}

QTEST_MAIN(TestFolderAdd)
#include "tst_folderadd.moc"
