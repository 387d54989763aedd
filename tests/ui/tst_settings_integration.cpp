// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The settings window and the popup menu together with the main window: the
// value tabs follow what the settings window adds, the multi-row option moves
// the visible list, and the popup menu offers the lists as they are now.
#include "CatalogItem.h"
#include "CategoryLists.h"
#include "Form1.h"
#include "Form2.h"
#include "Twips.h"
#include "ValueTabStrip.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

constexpr int MenuWaitMs = 3000;

} // namespace

class TestSettingsIntegration : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<Form1> m_main;

    Form2 *settings() const { return m_main->settingsWindow(); }
    ValueTabStrip *tabStrip1() const { return m_main->findChild<ValueTabStrip *>(QStringLiteral("TabStrip1")); }
    QTabBar *tabStrip2() const { return m_main->findChild<QTabBar *>(QStringLiteral("TabStrip2")); }
    QTableView *listView2() const { return m_main->findChild<QTableView *>(QStringLiteral("ListView2")); }
    QMenu *pop() const { return m_main->findChild<QMenu *>(QStringLiteral("pop")); }
    QMenu *submenu(int k) const { return pop()->findChild<QMenu *>(QStringLiteral("line%1").arg(6 + k)); }

    template<typename T> T *settingsControl(const QString &name) const
    {
        T *widget = settings()->findChild<T *>(name);
        if (!widget)
            qFatal("settings window has no %s", qPrintable(name));
        return widget;
    }

    QStringList tabCaptions() const
    {
        QStringList captions;
        for (int i = 0; i < tabStrip1()->count(); ++i)
            captions << tabStrip1()->tabText(i);
        return captions;
    }

    // Opens submenu k as the user does: with the Right key from the popup
    // menu when that is open, else on its own. Its items are made as it opens.
    QMenu *openSubmenu(int k) const
    {
        QMenu *menu = submenu(k);
        if (pop()->isVisible()) {
            pop()->setActiveAction(pop()->actions().at(k - 1));
            QTest::keyClick(pop(), Qt::Key_Right);
        } else {
            menu->popup(listView2()->mapToGlobal(QPoint(0, 0)));
            menu->close();
        }
        return menu;
    }

    QStringList valueCaptions(int k) const
    {
        QStringList captions;
        const QList<QAction *> items = openSubmenu(k)->actions();
        for (qsizetype i = 2; i < items.size(); ++i)
            captions << items.at(i)->text();
        return captions;
    }

    // Opens the settings window through 設定, as the user does.
    void openSettings()
    {
        if (settings()->isVisible())
            return;
        m_main->findChild<QAction *>(QStringLiteral("seti"))->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(settings()));
    }

    // Types the value into page i of the settings window and clicks 追加.
    void addValue(int page, const QString &value)
    {
        openSettings();
        settingsControl<QTabWidget>(QStringLiteral("SSTab1"))->setCurrentIndex(page);
        settingsControl<QLineEdit>(QStringLiteral("Text1_%1").arg(page))->setText(value);
        QTest::mouseClick(settingsControl<QPushButton>(QStringLiteral("Command1_%1").arg(page)), Qt::LeftButton);
    }

    void clickCategoryTab(int index)
    {
        QTabBar *bar = tabStrip2();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        QCoreApplication::processEvents();
    }

    void clickCheck1()
    {
        auto *box = settingsControl<QCheckBox>(QStringLiteral("Check1"));
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->height() / 2, box->height() / 2));
        QCoreApplication::processEvents();
    }

    // Presses a mouse button in the visible list. When the popup menu shows,
    // inspect runs while it is open and the menu is closed again; returns
    // whether the menu showed within the wait.
    bool pressInList(Qt::MouseButton button, const std::function<void()> &inspect = {}, QPoint at = QPoint(20, 10))
    {
        bool shown = false;
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, this, [&] {
            if (!pop()->isVisible())
                return;
            shown = true;
            if (inspect)
                inspect();
            pop()->close();
            poll.stop();
        });
        poll.start();
        QWidget *viewport = listView2()->viewport();
        QTest::mouseClick(viewport, button, {}, at);
        QElapsedTimer waited;
        waited.start();
        while (!shown && waited.elapsed() < (button == Qt::RightButton ? MenuWaitMs : 300))
            QTest::qWait(20);
        poll.stop();
        return shown;
    }

    void addRows(int count)
    {
        for (int i = 0; i < count; ++i) {
            CatalogItem item;
            item.setField(CatalogItem::Name, QStringLiteral("file%1.avi").arg(i));
            m_main->catalog().append(item);
        }
        m_main->RefreshView();
    }

    void writeDataFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_folder->filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    // Starts the main window again on the files now in the data folder.
    void restart()
    {
        m_main.reset();
        startMain();
    }

    void startMain()
    {
        m_main = std::make_unique<Form1>(m_folder->path());
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        QVERIFY(settings());
        QVERIFY(tabStrip1() && tabStrip2() && listView2() && pop());
    }

private Q_SLOTS:
    void init()
    {
        Twips::setTwipsPerPixel(15);
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
        startMain();
    }

    void cleanup()
    {
        m_main.reset();
        m_folder.reset();
        Twips::setTwipsPerPixel(0);
    }

    void settingsWindowStartsHiddenAndOpensModeless();
    void loadedListsReachWindowTabsAndMenu();
    void tabLineFromSettingsFileSetsMultiRow();
    void addedValueAppendsTabOnlyForShownCategory_data();
    void addedValueAppendsTabOnlyForShownCategory();
    void otherCategoryShowsValueWhenChosen();
    void deleteAndMoveLeaveTabsUntilRebuilt();
    void check1MovesListByExtraTabRows();
    void rightClickOffersNewValue();
    void leftClickShowsNoMenuButRebuilds();
    void chosenValueReachesSelectedRow();
};

void TestSettingsIntegration::settingsWindowStartsHiddenAndOpensModeless()
{
    QVERIFY(!settings()->isVisible());
    QAction *seti = m_main->findChild<QAction *>(QStringLiteral("seti"));
    QVERIFY(seti);
    QVERIFY(seti->text().startsWith(QStringLiteral("設定")));
    seti->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(settings()));
    QCOMPARE(settings()->windowModality(), Qt::NonModal);
    QVERIFY(settings()->isWindow());
    settingsControl<QTabWidget>(QStringLiteral("SSTab1"))->setCurrentIndex(4);
    addValue(4, QStringLiteral("x"));

    QVERIFY(settings()->close());
    QVERIFY(!settings()->isVisible());
    QVERIFY(m_main->isVisible());
    QVERIFY(!m_main->hasQuit());

    seti->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(settings()));
    QCOMPARE(settingsControl<QTabWidget>(QStringLiteral("SSTab1"))->currentIndex(), 4);
    QCOMPARE(m_main->categoryLists().list(5), QStringList { "x" });
}

void TestSettingsIntegration::loadedListsReachWindowTabsAndMenu()
{
    writeDataFile(QStringLiteral("List01.txt"), "Drama\r\nAnime\r\n");
    writeDataFile(QStringLiteral("List03.txt"), "memo\r\n\r\nR&B\r\n");
    restart();

    const QAbstractItemModel *shown = settingsControl<QAbstractItemView>(QStringLiteral("List1_2"))->model();
    QCOMPARE(shown->rowCount(), 3);
    QCOMPARE(shown->index(2, 0).data().toString(), QStringLiteral("R&B"));
    QCOMPARE(tabCaptions(), QStringList({ "全て", "無し", "Drama", "Anime" }));
    QStringList offered;
    QVERIFY(pressInList(Qt::RightButton, [&] { offered = valueCaptions(3); }));
    QCOMPARE(offered, QStringList({ "memo", "", "R&&B" }));
}

void TestSettingsIntegration::tabLineFromSettingsFileSetsMultiRow()
{
    writeDataFile(QStringLiteral("test.ini"), "[Options]\r\nTabLine=1\r\nEndSave=1\r\n");
    restart();
    QCOMPARE(settings()->tabLine(), 1);
    QCOMPARE(settings()->endSave(), 1);
    QVERIFY(tabStrip1()->isMultiRow());
    QVERIFY(!settings()->isVisible());
}

void TestSettingsIntegration::addedValueAppendsTabOnlyForShownCategory_data()
{
    QTest::addColumn<int>("shownCategoryTab");
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("expectedTabs");
    const QStringList fixed = { QStringLiteral("全て"), QStringLiteral("無し") };
    QTest::newRow("ジャンル１ shown, added there")
        << 0 << 0 << QStringList { "Drama" } << fixed + QStringList { "Drama" };
    QTest::newRow("Drama twice gives two tabs")
        << 0 << 0 << QStringList { "Drama", "Drama" } << fixed + QStringList { "Drama", "Drama" };
    QTest::newRow("added on 備考 while ジャンル１ shown") << 0 << 2 << QStringList { "Note" } << fixed;
    QTest::newRow("その他２ shown, added there")
        << 4 << 4 << QStringList { "A", "B" } << fixed + QStringList { "A", "B" };
    QTest::newRow("その他２ shown, added on ジャンル２") << 4 << 1 << QStringList { "A" } << fixed;
    QTest::newRow("blanks add no tab") << 0 << 0 << QStringList { "   " } << fixed;
    QTest::newRow("hash as stored") << 0 << 0 << QStringList { "R#B" } << fixed + QStringList { u"R\uFF03B"_qs };
}

void TestSettingsIntegration::addedValueAppendsTabOnlyForShownCategory()
{
    QFETCH(int, shownCategoryTab);
    QFETCH(int, page);
    QFETCH(QStringList, added);
    QFETCH(QStringList, expectedTabs);
    clickCategoryTab(shownCategoryTab);
    QCOMPARE(tabStrip2()->currentIndex(), shownCategoryTab);

    for (const QString &value : std::as_const(added))
        addValue(page, value);

    QCOMPARE(tabCaptions(), expectedTabs);
}

void TestSettingsIntegration::otherCategoryShowsValueWhenChosen()
{
    addValue(2, QStringLiteral("Note"));
    QCOMPARE(tabStrip1()->count(), 2);
    clickCategoryTab(2);
    QCOMPARE(tabCaptions(), QStringList({ "全て", "無し", "Note" }));
    clickCategoryTab(0);
    QCOMPARE(tabCaptions(), QStringList({ "全て", "無し" }));
}

void TestSettingsIntegration::deleteAndMoveLeaveTabsUntilRebuilt()
{
    for (const char *value : { "A", "B", "C" })
        addValue(0, QString::fromLatin1(value));
    QCOMPARE(tabCaptions(), QStringList({ "全て", "無し", "A", "B", "C" }));
    auto *list = settingsControl<QAbstractItemView>(QStringLiteral("List1_0"));
    list->selectionModel()->select(list->model()->index(2, 0), QItemSelectionModel::ClearAndSelect);
    QTest::mouseClick(settingsControl<QPushButton>(QStringLiteral("Command3_0")), Qt::LeftButton);
    list->selectionModel()->select(list->model()->index(0, 0), QItemSelectionModel::ClearAndSelect);
    QTest::mouseClick(settingsControl<QPushButton>(QStringLiteral("Command2_0")), Qt::LeftButton);
    QCOMPARE(m_main->categoryLists().list(1), QStringList({ "C", "B" }));
    QCOMPARE(tabCaptions(), QStringList({ "全て", "無し", "A", "B", "C" }));

    clickCategoryTab(1);
    clickCategoryTab(0);
    QCOMPARE(tabCaptions(), QStringList({ "全て", "無し", "C", "B" }));
}

void TestSettingsIntegration::check1MovesListByExtraTabRows()
{
    const QRect oneRow = listView2()->geometry();
    QCOMPARE(oneRow.top(), Twips::toPixels(780));
    // Enough values for two or three rows of tabs in a window of 9000 twips.
    for (int i = 0; i < 20; ++i)
        addValue(0, QStringLiteral("値%1").arg(i));
    QVERIFY(!tabStrip1()->isMultiRow());
    QCOMPARE(tabStrip1()->count(), 22);

    clickCheck1();

    QVERIFY(tabStrip1()->isMultiRow());
    QCOMPARE(settings()->tabLine(), 1);
    const int width = tabStrip1()->width();
    QVERIFY2(tabStrip1()->rowCountAt(width) > 1, qPrintable(QString::number(tabStrip1()->rowCountAt(width))));
    const double extra = tabStrip1()->extraHeightTwips(width);
    QVERIFY(extra > 0);
    QVERIFY2(Twips::toPixels(extra) < oneRow.height(), "the window is too low for this case");
    const QRect severalRows = listView2()->geometry();
    QCOMPARE(severalRows.top(), Twips::toPixels(780 + extra));
    QVERIFY(qAbs(tabStrip1()->height() - Twips::toPixels(375 + extra)) <= 1);

    clickCheck1();

    QVERIFY(!tabStrip1()->isMultiRow());
    QCOMPARE(settings()->tabLine(), 0);
    const QRect backToOne = listView2()->geometry();
    QCOMPARE(backToOne.top(), oneRow.top());
    QVERIFY(qAbs(tabStrip1()->height() - Twips::toPixels(375)) <= 1);
    // The list is shorter by the extra rows while they show; its bottom
    // stays where it was.
    QVERIFY(qAbs(backToOne.height() - severalRows.height() - Twips::toPixels(extra)) <= 1);
    QVERIFY(qAbs(backToOne.bottom() - severalRows.bottom()) <= 1);
}

void TestSettingsIntegration::rightClickOffersNewValue()
{
    addRows(2);
    QVERIFY(pressInList(Qt::RightButton));
    addValue(1, QStringLiteral("Jazz"));
    addValue(1, QStringLiteral("A&B"));

    QStringList offered;
    QStringList offeredElsewhere;
    QVERIFY(pressInList(Qt::RightButton, [&] {
        offered = valueCaptions(2);
        offeredElsewhere = valueCaptions(1);
    }));

    QCOMPARE(offered, QStringList({ "Jazz", "A&&B" }));
    QVERIFY(offeredElsewhere.isEmpty());
}

void TestSettingsIntegration::leftClickShowsNoMenuButRebuilds()
{
    addRows(3);
    QSignalSpy shown(pop(), &QMenu::aboutToShow);
    addValue(3, QStringLiteral("Later"));

    QVERIFY(!pressInList(Qt::LeftButton));

    QCOMPARE(shown.count(), 0);
    QVERIFY(!pop()->isVisible());
    // The press still took the lists: the submenu offers the new value.
    QCOMPARE(valueCaptions(4), QStringList { "Later" });
    QCOMPARE(listView2()->selectionModel()->selectedRows().size(), 1);
}

void TestSettingsIntegration::chosenValueReachesSelectedRow()
{
    addRows(3);
    addValue(0, QStringLiteral("Drama"));
    listView2()->selectRow(1);
    const QString key = listView2()->model()->index(1, CatalogItem::RowKey).data().toString();

    const QPoint onSecondRow = listView2()->visualRect(listView2()->model()->index(1, 0)).center();
    QVERIFY(pressInList(
        Qt::RightButton,
        [&] {
            const QList<QAction *> items = openSubmenu(1)->actions();
            if (items.size() == 3)
                items.at(2)->trigger();
        },
        onSecondRow));
    QCOMPARE(listView2()->selectionModel()->selectedRows().size(), 1);

    const Catalog &catalog = m_main->catalog();
    const qsizetype master = catalog.indexOfKey(key.toLongLong());
    QVERIFY(master >= 0);
    QCOMPARE(catalog.at(master).text(CatalogItem::Genre1), QStringLiteral("Drama"));
    int tagged = 0;
    for (qsizetype i = 0; i < catalog.size(); ++i)
        tagged += catalog.at(i).text(CatalogItem::Genre1).isEmpty() ? 0 : 1;
    QCOMPARE(tagged, 1);
}

QTEST_MAIN(TestSettingsIntegration)
#include "tst_settings_integration.moc"
