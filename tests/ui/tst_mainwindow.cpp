// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The main window: first start, start-up with files, the status countdown,
// the value tabs and RefreshView, the layout numbers, the version window.
#include "tst_mainwindow_fixture.h"

#include "Form2.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusTipEvent>

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstStartWithoutFiles();
    void controlsAndMenus();
    void startUpWithFiles();
    void countdownClearsOnTwentiethTick();
    void countdownRestartsOnNewMessage();
    void countdownIsCapped();
    void statusTipsDoNotWipeStatus();
    void refreshMatching_data();
    void refreshMatching();
    void categoryTabRebuildsValueTabs();
    void resizeRuleNumbers();
    void layoutTabAreaNumbers();
    void multiRowMovesListDown();
    void windowRaisedToMinimum();
    void searchBoxSelectsAllOnFocus();
    void versionWindowOnce();
    void settingsWindowAddsTabOfShownCategory_data();
    void settingsWindowAddsTabOfShownCategory();
    void setiShowsSettingsWindow();
    void startUpRemovesStaleTempFiles();
};

void TestMainWindow::firstStartWithoutFiles()
{
    WindowFixture f;
    Form1 *w = f.start();
    QCOMPARE(w->windowTitle(), QStringLiteral("Zarumi"));
    const QRect outer = w->frameGeometry();
    QCOMPARE(outer.topLeft(), QPoint(0, 0));
    QCOMPARE(outer.width(), 600); // 9000 twips
    QCOMPARE(outer.height(), 333); // 5000 twips, to the pixel
    QCOMPARE(f.rows(), 0);
    QCOMPARE(f.tabStrip1()->currentText(), QStringLiteral("全て"));
    QCOMPARE(f.tabStrip1()->count(), 2);
    QCOMPARE(f.tabStrip2()->currentIndex(), 0);
    QCOMPARE(f.status(), QStringLiteral("0個のアイテムを読み込みました"));
    // Default columns: "No.1" to "No.3" hidden (width 0), design order.
    QHeaderView *header = f.listView()->horizontalHeader();
    QCOMPARE(header->sectionSize(0), 486); // 7290 twips
    QCOMPARE(header->sectionSize(2), 53); // 800 twips
    for (int column = 13; column < 16; ++column)
        QCOMPARE(header->sectionSize(column), 0);
    for (int column = 0; column < 16; ++column)
        QCOMPARE(header->visualIndex(column), column);
    f.tick(20);
    QCOMPARE(f.status(), QString());
}

void TestMainWindow::controlsAndMenus()
{
    WindowFixture f;
    Form1 *w = f.start();
    QStringList tabs;
    for (int i = 0; i < f.tabStrip2()->count(); ++i)
        tabs.append(f.tabStrip2()->tabText(i));
    QCOMPARE(tabs, QStringList({ "ジャンル１", "ジャンル２", "備考", "その他１", "その他２" }));
    QCOMPARE(f.child<QPushButton>("Command1")->text(), QStringLiteral("検索"));
    QCOMPARE(f.tabStrip2()->geometry(), QRect(4, 4, 353, 25).adjusted(0, 0, 0, 0));
    QCOMPARE(f.child<QLineEdit>("Text3")->geometry(), QRect(368, 4, 205, 21));
    QCOMPARE(f.child<QPushButton>("Command1")->geometry(), QRect(584, 4, 41, 21));
    QStringList headers;
    for (int c = 0; c < 16; ++c)
        headers.append(f.listView()->model()->headerData(c, Qt::Horizontal).toString());
    QCOMPARE(headers,
        QStringList({ "名前", "ファイルサイズ", "種類", "サイズ", "再生時間", "コーディック", "更新日時",
            "ファイル登録日", "ジャンル１", "ジャンル２", "備考", "その他１", "その他２", "No.1", "No.2", "No.3" }));
    const auto caption = [w](const char *name) {
        QAction *action = w->findChild<QAction *>(QLatin1String(name));
        return action ? action->text() : QString();
    };
    QCOMPARE(caption("fil"), QStringLiteral("ファイル"));
    QCOMPARE(caption("sev"), QStringLiteral("保存"));
    QCOMPARE(caption("seti"), QStringLiteral("設定"));
    QCOMPARE(caption("en"), QStringLiteral("終了"));
    QCOMPARE(caption("line12"), QStringLiteral("検索"));
    QCOMPARE(caption("line13"), QStringLiteral("同一ファイルの検索"));
    QCOMPARE(caption("douitu0"), QStringLiteral("ファイル名"));
    QCOMPARE(caption("douitu1"), QStringLiteral("ファイルサイズ"));
    QCOMPARE(caption("douitu2"), QStringLiteral("ファイル名＋サイズ"));
    QCOMPARE(caption("he"), QStringLiteral("ヘルプ"));
    QCOMPARE(caption("vre"), QStringLiteral("バージョン情報"));
}

void TestMainWindow::startUpWithFiles()
{
    WindowFixture f;
    f.writeCatalog(
        { catalogLine("a.avi", "1.000", "アニメ"), catalogLine("b.avi"), catalogLine("c.avi", "2.000", "映画") });
    f.writeList(1, { "アニメ", "映画" });
    f.start();
    QCOMPARE(f.rows(), 3);
    QCOMPARE(f.column(0), QStringList({ "a.avi", "b.avi", "c.avi" }));
    QCOMPARE(f.column(15), QStringList({ "0", "1", "2" }));
    QCOMPARE(f.tabStrip1()->count(), 4);
    QCOMPARE(f.tabStrip1()->tabText(2), QStringLiteral("アニメ"));
    QCOMPARE(f.tabStrip1()->tabText(3), QStringLiteral("映画"));
    QCOMPARE(f.status(), QStringLiteral("3個のアイテムを読み込みました"));
}

void TestMainWindow::countdownClearsOnTwentiethTick()
{
    WindowFixture f;
    f.start();
    f.tick(19);
    QCOMPARE(f.status(), QStringLiteral("0個のアイテムを読み込みました"));
    QCOMPARE(f.window->statusTicks(), 19);
    f.tick();
    QCOMPARE(f.status(), QString());
}

void TestMainWindow::countdownRestartsOnNewMessage()
{
    WindowFixture f;
    f.start();
    f.tick(15);
    f.clickValueTab(1); // RefreshView writes "0アイテム。"
    QCOMPARE(f.status(), QStringLiteral("0アイテム。"));
    QCOMPARE(f.window->statusTicks(), 0);
    f.tick(19);
    QCOMPARE(f.status(), QStringLiteral("0アイテム。"));
    f.tick();
    QCOMPARE(f.status(), QString());
}

void TestMainWindow::countdownIsCapped()
{
    WindowFixture f;
    f.start();
    f.tick(700);
    QCOMPARE(f.window->statusTicks(), 500);
    f.window->setStatus(QStringLiteral("x"));
    f.tick(501);
    // Cleared once on the 20th tick; the cap is never passed.
    QCOMPARE(f.status(), QString());
    QCOMPARE(f.window->statusTicks(), 500);
}

void TestMainWindow::statusTipsDoNotWipeStatus()
{
    WindowFixture f;
    Form1 *w = f.start();
    // A menu item under the pointer sends its tip (often empty) to the menu
    // bar, from where it reaches the main window.
    QStatusTipEvent empty((QString()));
    QCoreApplication::sendEvent(w->menuBar(), &empty);
    QCOMPARE(f.status(), QStringLiteral("0個のアイテムを読み込みました"));
    QStatusTipEvent tip(QStringLiteral("tip"));
    QCoreApplication::sendEvent(w->menuBar(), &tip);
    QCOMPARE(f.status(), QStringLiteral("0個のアイテムを読み込みました"));
}

void TestMainWindow::refreshMatching_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QStringList>("shown");
    // Rows: Drama, drama, Dram, empty, 無し, 全て (Genre1).
    QTest::newRow("all") << QStringList() << 0 << QStringList({ "r1", "r2", "r3", "r4", "r5", "r6" });
    // The fixed tab "無し" shows the empty fields and a field that holds "無し".
    QTest::newRow("none") << QStringList() << 1 << QStringList({ "r4", "r5" });
    QTest::newRow("exact, case counts") << QStringList({ "Drama" }) << 2 << QStringList({ "r1" });
    QTest::newRow("no partial match") << QStringList({ "Dra" }) << 2 << QStringList();
    QTest::newRow("lower case") << QStringList({ "drama" }) << 2 << QStringList({ "r2" });
    QTest::newRow("value 無し") << QStringList({ "無し" }) << 2 << QStringList({ "r4", "r5" });
    QTest::newRow("value 全て") << QStringList({ "全て" }) << 2 << QStringList({ "r1", "r2", "r3", "r4", "r5", "r6" });
    QTest::newRow("empty value") << QStringList({ "" }) << 2 << QStringList({ "r4" });
}

void TestMainWindow::refreshMatching()
{
    QFETCH(QStringList, values);
    QFETCH(int, tab);
    QFETCH(QStringList, shown);
    WindowFixture f;
    f.writeCatalog({ catalogLine("r1", "1", "Drama"), catalogLine("r2", "1", "drama"), catalogLine("r3", "1", "Dram"),
        catalogLine("r4", "1", ""), catalogLine("r5", "1", "無し"), catalogLine("r6", "1", "全て") });
    f.writeList(1, values);
    f.start();
    QCOMPARE(f.tabStrip1()->count(), 2 + values.size());
    f.clickValueTab(tab);
    QCOMPARE(f.tabStrip1()->currentIndex(), tab);
    QCOMPARE(f.column(0), shown);
    QCOMPARE(f.status(), QString::number(shown.size()) + QStringLiteral("アイテム。"));
}

void TestMainWindow::categoryTabRebuildsValueTabs()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("r1", "1", "A", "X"), catalogLine("r2", "1", "B", "") });
    f.writeList(1, { "A", "B" });
    f.writeList(2, { "X", "Y", "Z" });
    f.start();
    f.clickValueTab(2);
    QCOMPARE(f.column(0), QStringList({ "r1" }));
    f.clickCategoryTab(1);
    QCOMPARE(f.tabStrip1()->count(), 5);
    QCOMPARE(f.tabStrip1()->tabText(4), QStringLiteral("Z"));
    QCOMPARE(f.tabStrip1()->currentIndex(), 0);
    QCOMPARE(f.rows(), 2);
    f.clickValueTab(1);
    QCOMPARE(f.column(0), QStringList({ "r2" }));
    f.clickValueTab(2);
    QCOMPARE(f.column(0), QStringList({ "r1" }));
    f.clickCategoryTab(2); // an empty list: the two fixed tabs only
    QCOMPARE(f.tabStrip1()->count(), 2);
    QCOMPARE(f.tabStrip1()->currentText(), QStringLiteral("全て"));
}

void TestMainWindow::resizeRuleNumbers()
{
    WindowFixture f;
    Form1 *w = f.start();
    f.resizeOuter(640, 400); // 9600 x 6000 twips
    QTRY_COMPARE(w->frameGeometry().size(), QSize(640, 400));
    // List: top 780, width W - 250, height H - 1800; strip: width W - 300.
    QCOMPARE(f.listView()->geometry(), QRect(4, 52, 623, 280));
    QCOMPARE(f.tabStrip1()->geometry(), QRect(4, 28, 620, 25));
}

void TestMainWindow::layoutTabAreaNumbers()
{
    WindowFixture f;
    Form1 *w = f.start();
    f.resizeOuter(640, 400);
    QTRY_COMPARE(w->frameGeometry().size(), QSize(640, 400));
    w->LayoutTabArea(); // the same with 1700: 100 twips taller
    QCOMPARE(f.listView()->geometry(), QRect(4, 52, 623, 287));
    QCOMPARE(f.tabStrip1()->geometry(), QRect(4, 28, 620, 25));
}

void TestMainWindow::multiRowMovesListDown()
{
    WindowFixture f;
    QStringList many;
    for (int i = 0; i < 40; ++i)
        many.append(QStringLiteral("ジャンル値%1").arg(i));
    f.writeList(1, many);
    f.write(QStringLiteral("test.ini"), "[Options]\r\nTabLine=1\r\nWidth=9600\r\nHeight=6000\r\n");
    Form1 *w = f.start();
    QTRY_COMPARE(w->frameGeometry().size(), QSize(640, 400));
    w->LayoutTabArea();
    const double x = f.tabStrip1()->extraHeightTwips(f.tabStrip1()->width());
    QVERIFY(x > 0);
    QVERIFY(f.tabStrip1()->rowCountAt(f.tabStrip1()->width()) > 1);
    QCOMPARE(f.listView()->y(), Twips::toPixels(780 + x));
    QCOMPARE(f.listView()->height(), Twips::toPixels(6000 - 1700 - x));
    QCOMPARE(f.tabStrip1()->height(), Twips::toPixels(375 + x));
    // Off: one scrolling row, the list back at 780.
    f.window->settingsWindow()->setTabLine(0);
    QCOMPARE(f.tabStrip1()->isMultiRow(), false);
    QCOMPARE(f.listView()->y(), 52);
    QCOMPARE(f.tabStrip1()->height(), 25);
}

void TestMainWindow::windowRaisedToMinimum()
{
    WindowFixture f;
    Form1 *w = f.start();
    f.resizeOuter(300, 100);
    QTRY_VERIFY(w->frameGeometry().width() >= 600 && w->frameGeometry().height() >= 233);
    QCOMPARE(w->frameGeometry().size(), QSize(600, 234)); // 9000 x 3500 twips, rounded up
}

void TestMainWindow::searchBoxSelectsAllOnFocus()
{
    WindowFixture f;
    f.start();
    auto *text3 = f.child<QLineEdit>("Text3");
    text3->setText(QStringLiteral("アニメ avi"));
    text3->setCursorPosition(2);
    f.listView()->setFocus();
    QTest::mouseClick(text3, Qt::LeftButton, {}, QPoint(5, 5));
    QTRY_COMPARE(text3->selectedText(), QStringLiteral("アニメ avi"));
    QCOMPARE(text3->selectionStart(), 0);
}

void TestMainWindow::versionWindowOnce()
{
    WindowFixture f;
    Form1 *w = f.start();
    QAction *vre = w->findChild<QAction *>(QStringLiteral("vre"));
    vre->trigger();
    vre->trigger();
    const auto windows = w->findChildren<QDialog *>(QStringLiteral("frmAbout"));
    QCOMPARE(windows.size(), 1);
    QDialog *about = windows.first();
    QVERIFY(about->isVisible());
    QVERIFY(!about->isModal());
    QCOMPARE(about->windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    QCOMPARE(about->findChild<QLabel *>(QStringLiteral("lblTitle"))->text(), QStringLiteral("Zarumi"));
    QCOMPARE(about->findChild<QLabel *>(QStringLiteral("lblVersion"))->text(), QStringLiteral("1.10"));
    QCOMPARE(about->findChild<QLabel *>(QStringLiteral("lblDescription"))->text(),
        QStringLiteral(
            "CD-RやDVDメディアに溜まったファイルを登録、\u3000ジャンル分け等して管理、検索する事が目的の\u3000\u3000"
            "フリーソフトウエア"));
    QVERIFY(!about->findChild<QLabel *>(QStringLiteral("lblDisclaimer"))->text().isEmpty());
    QTest::mouseClick(about->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QTRY_COMPARE(w->findChildren<QDialog *>(QStringLiteral("frmAbout")).size(), 0);
    vre->trigger(); // opens afresh
    QCOMPARE(w->findChildren<QDialog *>(QStringLiteral("frmAbout")).size(), 1);
}

void TestMainWindow::settingsWindowAddsTabOfShownCategory_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("tabs");
    QTest::newRow("shown category") << 1 << 4;
    QTest::newRow("other category") << 3 << 3;
}

void TestMainWindow::settingsWindowAddsTabOfShownCategory()
{
    QFETCH(int, k);
    QFETCH(int, tabs);
    WindowFixture f;
    f.writeList(1, { "A" });
    Form1 *w = f.start();
    QCOMPARE(f.tabStrip1()->count(), 3);
    w->categoryLists().list(k).append(QStringLiteral("新しい値"));
    Q_EMIT w->settingsWindow()->valueAdded(k, QStringLiteral("新しい値"));
    QCOMPARE(f.tabStrip1()->count(), tabs);
    QCOMPARE(f.tabStrip1()->tabText(tabs - 1), tabs == 4 ? QStringLiteral("新しい値") : QStringLiteral("A"));
    QCOMPARE(f.tabStrip1()->currentIndex(), 0); // no rebuild, no refresh
}

void TestMainWindow::setiShowsSettingsWindow()
{
    WindowFixture f;
    Form1 *w = f.start();
    QVERIFY(w->settingsWindow());
    QVERIFY(!w->settingsWindow()->isVisible());
    w->findChild<QAction *>(QStringLiteral("seti"))->trigger();
    QVERIFY(w->settingsWindow()->isVisible());
    w->settingsWindow()->close();
    QVERIFY(!w->settingsWindow()->isVisible());
    QCOMPARE(w->settingsWindow(), w->findChild<Form2 *>());
}

// A save killed half way leaves "<file>.zarumi-XXXXXX.tmp"; the next start
// removes it and says so. Copies the user made by hand, whatever their
// names, survive the start and the exit byte for byte.
void TestMainWindow::startUpRemovesStaleTempFiles()
{
    WindowFixture f;
    const QStringList ours { "List.txt.zarumi-QwErT1.tmp", "test.ini.zarumi-AbCdEf.tmp" };
    const QStringList handMade { "List.txt.Backup", "test.ini.Backup", "List01.txt.OldOne", "List.txt.QwErTy",
        "List.txt.backup", "notes.txt.zarumi-AbCdEf.tmp" };
    for (const QString &name : ours + handMade)
        f.write(name, "made by " + name.toUtf8());
    Form1 *w = f.start();
    for (const QString &name : ours)
        QVERIFY2(!QFile::exists(f.path(name)), qPrintable(name));
    QCOMPARE(f.status(),
        QStringLiteral("0個のアイテムを読み込みました　保存の途中で残った一時ファイル "
                       "List.txt.zarumi-QwErT1.tmp、test.ini.zarumi-AbCdEf.tmp を削除しました"));
    QVERIFY(w->close());
    QVERIFY(w->hasQuit());
    for (const QString &name : handMade)
        QCOMPARE(f.read(name), "made by " + name.toUtf8());
    QCOMPARE(QDir(f.dir.path()).entryList({ QStringLiteral("*.zarumi-*") }, QDir::Files),
        QStringList { QStringLiteral("notes.txt.zarumi-AbCdEf.tmp") });
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
