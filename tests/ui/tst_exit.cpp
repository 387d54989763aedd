// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// SaveAndQuit and the File menu's save: the files on disk afterwards.
#include "tst_mainwindow_fixture.h"

#include "Form2.h"

#include <QAction>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>

class TestExit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exitWritesEverything_data();
    void exitWritesEverything();
    void closeBoxRunsExitOnce();
    void emptiedCatalogGoesToTrash();
    void failedWriteKeepsWindowOpen_data();
    void failedWriteKeepsWindowOpen();
    void unreadableCatalogIsNeverReplaced();
    void saveMenuReports_data();
    void saveMenuReports();
    void saveMenuFailureNamesFile();
    void settingsRoundTrip();
    void minimizedKeepsGeometry();
    void maximizedWritesMaximizedMeasures();

private:
    static void removeFirstRow(WindowFixture &f);
};

void TestExit::removeFirstRow(WindowFixture &f)
{
    f.selectRows({ 0 });
    f.window->RemoveSelectedRows();
}

void TestExit::exitWritesEverything_data()
{
    QTest::addColumn<int>("endSave");
    QTest::newRow("save on exit") << 1;
    QTest::newRow("dimmed counts as on") << 2;
    QTest::newRow("save off") << 0;
}

void TestExit::exitWritesEverything()
{
    QFETCH(int, endSave);
    WindowFixture f;
    f.writeCatalog({ catalogLine("a.avi"), catalogLine("b.avi") });
    f.write(QStringLiteral("test.ini"), QStringLiteral("[Options]\r\nEndSave=%1\r\n").arg(endSave).toLatin1());
    const QByteArray before = f.read(QStringLiteral("List.txt"));
    Form1 *w = f.start();
    removeFirstRow(f);
    w->findChild<QAction *>(QStringLiteral("en"))->trigger();
    QVERIFY(w->hasQuit());
    QVERIFY(!w->isVisible());
    const QByteArray after = f.read(QStringLiteral("List.txt"));
    if (endSave)
        QCOMPARE(after, (catalogLine("b.avi") + "\r\n").toUtf8());
    else
        QCOMPARE(after, before);
    for (int n = 1; n <= 5; ++n)
        QVERIFY(QFileInfo(f.path(QStringLiteral("List0%1.txt").arg(n))).isFile());
    const QString ini = QString::fromLatin1(f.read(QStringLiteral("test.ini")));
    for (const char *key : { "Width=", "Height=", "X_WindowPosition=", "Y_WindowPosition=", "TabLine=", "Item01=",
             "Item16=", "ItemPosition=01020304050607080910111213" })
        QVERIFY2(ini.contains(QLatin1String(key)), key);
    QVERIFY(ini.contains(QStringLiteral("EndSave=%1").arg(endSave)));
}

void TestExit::closeBoxRunsExitOnce()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("a.avi") });
    Form1 *w = f.start();
    QVERIFY(w->close());
    QVERIFY(w->hasQuit());
    QVERIFY(QFile::remove(f.path(QStringLiteral("test.ini"))));
    QVERIFY(QFile::remove(f.path(QStringLiteral("List01.txt"))));
    // Nothing runs the exit a second time.
    w->findChild<QAction *>(QStringLiteral("en"))->trigger();
    w->close();
    QVERIFY(!QFileInfo::exists(f.path(QStringLiteral("test.ini"))));
    QVERIFY(!QFileInfo::exists(f.path(QStringLiteral("List01.txt"))));
}

void TestExit::emptiedCatalogGoesToTrash()
{
    WindowFixture f;
    QTemporaryDir dataHome;
    const QByteArray oldDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    f.writeCatalog({ catalogLine("only.avi") });
    Form1 *w = f.start();
    removeFirstRow(f);
    QCOMPARE(w->catalog().size(), 0);
    w->close();
    qputenv("XDG_DATA_HOME", oldDataHome);
    QVERIFY(w->hasQuit());
    QVERIFY(!QFileInfo::exists(f.path(QStringLiteral("List.txt"))));
    const QString trashed = QDir(dataHome.path()).filePath(QStringLiteral("Trash/files/List.txt"));
    QVERIFY2(QFileInfo(trashed).isFile(), qPrintable(trashed));
    QVERIFY(QFileInfo(f.path(QStringLiteral("test.ini"))).isFile());
    QVERIFY(QFileInfo(f.path(QStringLiteral("List05.txt"))).isFile());

    // The next start shows an empty catalogue.
    auto again = std::make_unique<Form1>(f.dir.path());
    QCOMPARE(again->catalog().size(), 0);
}

void TestExit::failedWriteKeepsWindowOpen_data()
{
    QTest::addColumn<QStringList>("blocked");
    QTest::newRow("settings") << QStringList { "test.ini" };
    QTest::newRow("category list") << QStringList { "List03.txt" };
    QTest::newRow("every file but one") << QStringList { "test.ini", "List01.txt", "List02.txt", "List04.txt",
        "List05.txt" };
}

void TestExit::failedWriteKeepsWindowOpen()
{
    QFETCH(QStringList, blocked);
    WindowFixture f;
    f.writeCatalog({ catalogLine("a.avi"), catalogLine("b.avi") });
    // A folder in the file's place: no write can replace it.
    for (const QString &name : blocked)
        QVERIFY(QDir(f.dir.path()).mkdir(name));
    Form1 *w = f.start();
    removeFirstRow(f);
    for (int k = 1; k <= 5; ++k)
        w->categoryLists().list(k).append(QStringLiteral("新しい値"));
    QVERIFY(!w->close());
    QVERIFY(!w->hasQuit());
    QVERIFY(w->isVisible());
    QVERIFY(f.status().contains(QStringLiteral("もう一度")));
    // The whole report stands in a box that does not block the window: every
    // file, with its reason.
    auto *box = w->findChild<QMessageBox *>(QStringLiteral("exitFailure"));
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QVERIFY(!box->isModal());
    for (const QString &name : blocked) {
        QVERIFY2(box->text().contains(name + QStringLiteral(" を保存できませんでした（同じ名前のフォルダがあります）")),
            qPrintable(box->text()));
    }
    if (blocked.size() == 1)
        QVERIFY2(f.status().contains(blocked.first()), qPrintable(f.status()));
    // The other files were written all the same, those after a failed one
    // included.
    QCOMPARE(f.read(QStringLiteral("List.txt")), (catalogLine("b.avi") + "\r\n").toUtf8());
    for (int k = 1; k <= 5; ++k) {
        const QString name = QStringLiteral("List0%1.txt").arg(k);
        if (!blocked.contains(name))
            QCOMPARE(f.read(name), CategoryListBytes({ QStringLiteral("新しい値") }));
    }
    QVERIFY(QFile::remove(f.path(QStringLiteral("List.txt"))));
    // The second request ends the program without writing.
    w->findChild<QAction *>(QStringLiteral("en"))->trigger();
    QVERIFY(w->hasQuit());
    QVERIFY(!QFileInfo::exists(f.path(QStringLiteral("List.txt"))));
}

void TestExit::unreadableCatalogIsNeverReplaced()
{
    WindowFixture f;
    // A List.txt that opens but cannot be read.
    QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), f.path(QStringLiteral("List.txt"))));
    Form1 *w = f.start();
    QCOMPARE(w->catalog().size(), 0);
    // The emptied-catalogue step would recycle it: refused, window open.
    w->findChild<QAction *>(QStringLiteral("en"))->trigger();
    QVERIFY(!w->hasQuit());
    QVERIFY2(f.status().contains(QStringLiteral("List.txt")), qPrintable(f.status()));
    QVERIFY(QFileInfo(f.path(QStringLiteral("List.txt"))).isSymLink());
    // "保存" with rows: refused too, and no success text.
    w->catalog().append(CatalogItem());
    w->findChild<QAction *>(QStringLiteral("sev"))->trigger();
    QVERIFY(f.status().contains(QStringLiteral("List.txt")));
    QVERIFY(!f.status().contains(QStringLiteral("保存しました")));
    QVERIFY(QFileInfo(f.path(QStringLiteral("List.txt"))).isSymLink());
    w->close();
    QVERIFY(!w->hasQuit()); // a new report: this request wrote and failed again
    w->close();
    QVERIFY(w->hasQuit());
    QCOMPARE(QFileInfo(f.path(QStringLiteral("List.txt"))).symLinkTarget(), QStringLiteral("/proc/self/mem"));
}

void TestExit::saveMenuReports_data()
{
    QTest::addColumn<int>("rows");
    QTest::newRow("two rows") << 2;
    QTest::newRow("empty catalogue keeps the file") << 0;
}

void TestExit::saveMenuReports()
{
    QFETCH(int, rows);
    WindowFixture f;
    f.writeCatalog({ catalogLine("a.avi"), catalogLine("b.avi") });
    const QByteArray before = f.read(QStringLiteral("List.txt"));
    Form1 *w = f.start();
    if (rows == 0) {
        f.selectRows({ 0, 1 });
        w->RemoveSelectedRows();
    }
    w->findChild<QAction *>(QStringLiteral("sev"))->trigger();
    QCOMPARE(f.status(), QString::number(rows) + QStringLiteral("個のアイテムを保存しました。"));
    QCOMPARE(f.read(QStringLiteral("List.txt")), before);
    for (int n = 1; n <= 5; ++n)
        QVERIFY(QFileInfo(f.path(QStringLiteral("List0%1.txt").arg(n))).isFile());
    QVERIFY(!w->hasQuit());
}

void TestExit::saveMenuFailureNamesFile()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("a.avi") });
    QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("List02.txt")));
    Form1 *w = f.start();
    w->findChild<QAction *>(QStringLiteral("sev"))->trigger();
    QVERIFY2(f.status().contains(QStringLiteral("List02.txt")), qPrintable(f.status()));
    QVERIFY(!f.status().contains(QStringLiteral("保存しました")));
    QVERIFY(!w->hasQuit());
}

void TestExit::settingsRoundTrip()
{
    WindowFixture f;
    f.write(QStringLiteral("test.ini"),
        "[Options]\r\nWidth=9600\r\nHeight=6000\r\nX_WindowPosition=150\r\nY_WindowPosition=300\r\n"
        "Item02=1500\r\nItem14=600\r\nItemPosition=02030405060708091011121301\r\nTabLine=1\r\nEndSave=0\r\n");
    Form1 *w = f.start();
    QCOMPARE(w->frameGeometry(), QRect(10, 20, 640, 400));
    QHeaderView *header = f.listView()->horizontalHeader();
    QCOMPARE(header->sectionSize(1), 100);
    QCOMPARE(header->sectionSize(13), 40);
    QCOMPARE(header->logicalIndex(0), 12); // "その他２" first
    QCOMPARE(header->logicalIndex(1), 0);
    QVERIFY(f.tabStrip1()->isMultiRow());
    QCOMPARE(w->settingsWindow()->endSave(), 0);
    w->close();
    const QString ini = QString::fromLatin1(f.read(QStringLiteral("test.ini")));
    QVERIFY2(ini.contains(QStringLiteral("ItemPosition=02030405060708091011121301")), qPrintable(ini));
    QVERIFY(ini.contains(QStringLiteral("Width=9600")));
    QVERIFY(ini.contains(QStringLiteral("X_WindowPosition=150")));
    QVERIFY(ini.contains(QStringLiteral("Item02=1500")));
    QVERIFY(ini.contains(QStringLiteral("TabLine=1")));
}

void TestExit::minimizedKeepsGeometry()
{
    WindowFixture f;
    f.write(QStringLiteral("test.ini"), "[Options]\r\nWidth=12345\r\nHeight=6789\r\n");
    Form1 *w = f.start();
    w->showMinimized();
    QTRY_VERIFY(w->isMinimized());
    w->close();
    QVERIFY(w->hasQuit());
    const QString ini = QString::fromLatin1(f.read(QStringLiteral("test.ini")));
    QVERIFY2(ini.contains(QStringLiteral("Width=12345")), qPrintable(ini));
    QVERIFY(ini.contains(QStringLiteral("Height=6789")));
    QVERIFY(ini.contains(QStringLiteral("Item01=7290")));
}

void TestExit::maximizedWritesMaximizedMeasures()
{
    WindowFixture f;
    Form1 *w = f.start();
    w->showMaximized();
    QTRY_VERIFY(w->isMaximized());
    QTRY_VERIFY(w->frameGeometry().width() > 600);
    const QRect outer = w->frameGeometry();
    w->close();
    QVERIFY(w->hasQuit());
    const QString ini = QString::fromLatin1(f.read(QStringLiteral("test.ini")));
    QVERIFY2(ini.contains(QStringLiteral("Width=%1").arg(outer.width() * 15)), qPrintable(ini));
    QVERIFY(ini.contains(QStringLiteral("Height=%1").arg(outer.height() * 15)));
}

QTEST_MAIN(TestExit)
#include "tst_exit.moc"
