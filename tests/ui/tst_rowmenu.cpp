// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "CategoryLists.h"
#include "RowMenu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QRandomGenerator>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <array>

namespace {

const QStringList SubmenuCaptions = { QStringLiteral("ジャンル１"), QStringLiteral("ジャンル２"),
    QStringLiteral("備考"), QStringLiteral("その他１"), QStringLiteral("その他２") };

} // namespace

class TestRowMenu : public QObject
{
    Q_OBJECT

private:
    CategoryLists *m_lists = nullptr;
    QWidget *m_owner = nullptr;
    RowMenu *m_menu = nullptr;

    QMenu *submenu(int k) const
    {
        auto *menu = m_menu->menu()->findChild<QMenu *>(QStringLiteral("line%1").arg(6 + k));
        if (!menu)
            qFatal("no submenu for category %d", k);
        return menu;
    }

    // Submenu k after it has opened and closed again: its items are made as
    // it opens.
    QMenu *opened(int k) const
    {
        QMenu *menu = submenu(k);
        menu->popup(m_owner->mapToGlobal(QPoint(10, 10)));
        menu->close();
        return menu;
    }

    // The captions of items 2.. of submenu k.
    QStringList valueCaptions(int k) const
    {
        QStringList captions;
        const QList<QAction *> items = opened(k)->actions();
        for (qsizetype i = 2; i < items.size(); ++i)
            captions << items.at(i)->text();
        return captions;
    }

private Q_SLOTS:
    void init()
    {
        m_lists = new CategoryLists;
        m_owner = new QWidget;
        m_owner->resize(300, 200);
        m_owner->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_owner));
        // Few items an idle moment, so that submenus are often left half
        // filled between presses.
        m_menu = new RowMenu(*m_lists, m_owner, 7);
    }

    void cleanup()
    {
        delete m_owner;
        delete m_lists;
    }

    void structure();
    void emptyListGivesNoneAndSeparator_data();
    void emptyListGivesNoneAndSeparator();
    void rebuildFollowsLists_data();
    void rebuildFollowsLists();
    void newValueOfferedAfterRebuild();
    void itemsCarryTheirIndex();
    void choosingAnItemSignals_data();
    void choosingAnItemSignals();
    void ampersandShownLiterally_data();
    void ampersandShownLiterally();
    void keyboardChoosesFromPopup();
    void execReturnsWhenClosed();
    void openedSubmenuHoldsListsOfLastPress();
    void changedListsFilledOnceTheMenuShows();
    void longListScrollsWithinTheScreen();
    void itemsLaidOutAgainWhenValuesChange();
};

void TestRowMenu::structure()
{
    QMenu *pop = m_menu->menu();
    QCOMPARE(pop->objectName(), QStringLiteral("pop"));
    QCOMPARE(pop->title(), QStringLiteral("メニュー"));
    const QList<QAction *> items = pop->actions();
    QCOMPARE(items.size(), 7);
    for (int k = 1; k <= 5; ++k) {
        QAction *item = items.at(k - 1);
        QCOMPARE(item->menu(), submenu(k));
        QCOMPARE(item->text(), SubmenuCaptions.at(k - 1));
        QCOMPARE(submenu(k)->title(), SubmenuCaptions.at(k - 1));
    }
    QVERIFY(items.at(5)->isSeparator());
    QCOMPARE(items.at(5)->objectName(), QStringLiteral("line3"));
    QCOMPARE(items.at(6)->objectName(), QStringLiteral("del"));
    QCOMPARE(items.at(6)->text(), QStringLiteral("削除"));
    QVERIFY(!items.at(6)->isSeparator());
}

void TestRowMenu::emptyListGivesNoneAndSeparator_data()
{
    QTest::addColumn<int>("k");
    for (int k = 1; k <= 5; ++k)
        QTest::addRow("t0%d", k) << k;
}

void TestRowMenu::emptyListGivesNoneAndSeparator()
{
    QFETCH(int, k);
    m_lists->list(k) = QStringList { "was here" };
    m_menu->rebuild();
    m_lists->list(k).clear();
    m_menu->rebuild();
    const QList<QAction *> items = opened(k)->actions();
    QCOMPARE(items.size(), 2);
    QCOMPARE(items.at(0)->text(), QStringLiteral("無し"));
    QCOMPARE(items.at(0)->objectName(), QStringLiteral("t0%1_0").arg(k));
    QVERIFY(items.at(1)->isSeparator());
}

void TestRowMenu::rebuildFollowsLists_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("grows") << 1 << QStringList { "A" } << QStringList { "A", "B", "C" };
    QTest::newRow("shrinks") << 2 << QStringList { "A", "B", "C" } << QStringList { "C" };
    QTest::newRow("reordered") << 3 << QStringList { "A", "B", "C" } << QStringList { "B", "A", "C" };
    QTest::newRow("duplicates and empty") << 4 << QStringList {} << QStringList { "X", "", "X" };
    QTest::newRow("emptied") << 5 << QStringList { "A", "B" } << QStringList {};
}

void TestRowMenu::rebuildFollowsLists()
{
    QFETCH(int, k);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    for (int other = 1; other <= 5; ++other)
        m_lists->list(other) = QStringList { QStringLiteral("v%1").arg(other) };
    m_lists->list(k) = before;
    m_menu->rebuild();
    QCOMPARE(valueCaptions(k), before);

    m_lists->list(k) = after;
    m_menu->rebuild();

    QCOMPARE(valueCaptions(k), after);
    for (int other = 1; other <= 5; ++other) {
        if (other != k)
            QCOMPARE(valueCaptions(other), QStringList { QStringLiteral("v%1").arg(other) });
    }
    const QList<QAction *> items = submenu(k)->actions();
    for (qsizetype i = 2; i < items.size(); ++i) {
        QVERIFY(!items.at(i)->isSeparator());
        QVERIFY(items.at(i)->isVisible() && items.at(i)->isEnabled());
    }
}

void TestRowMenu::newValueOfferedAfterRebuild()
{
    m_lists->list(2) = QStringList { "Rock" };
    m_menu->rebuild();
    m_lists->list(2).append(QStringLiteral("Jazz"));
    QCOMPARE(valueCaptions(2), QStringList { "Rock" });
    m_menu->rebuild();
    QCOMPARE(valueCaptions(2), QStringList({ "Rock", "Jazz" }));
}

void TestRowMenu::itemsCarryTheirIndex()
{
    m_lists->list(4) = QStringList { "a", "b", "c" };
    m_menu->rebuild();
    const QList<QAction *> items = opened(4)->actions();
    QCOMPARE(items.size(), 5);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(items.at(i)->data().toInt(), i);
        QCOMPARE(items.at(i)->objectName(), QStringLiteral("t04_%1").arg(i));
    }
}

void TestRowMenu::choosingAnItemSignals_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("item");
    QTest::newRow("ジャンル１ 無し") << 1 << 0;
    QTest::newRow("ジャンル２ first value") << 2 << 2;
    QTest::newRow("備考 last value") << 3 << 4;
    QTest::newRow("その他１ middle value") << 4 << 3;
    QTest::newRow("その他２ 無し") << 5 << 0;
}

void TestRowMenu::choosingAnItemSignals()
{
    QFETCH(int, k);
    QFETCH(int, item);
    for (int other = 1; other <= 5; ++other)
        m_lists->list(other) = QStringList { "x", "y", "z" };
    m_menu->rebuild();
    QSignalSpy chosen(m_menu, &RowMenu::categoryChosen);
    QSignalSpy removed(m_menu, &RowMenu::removeChosen);

    opened(k)->actions().at(item)->trigger();

    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.first(), QVariantList({ k, item }));
    QCOMPARE(removed.count(), 0);

    m_menu->menu()->findChild<QAction *>(QStringLiteral("del"))->trigger();
    QCOMPARE(removed.count(), 1);
    QCOMPARE(chosen.count(), 1);
}

void TestRowMenu::ampersandShownLiterally_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("caption");
    QTest::newRow("R&B") << "R&B"
                         << "R&&B";
    QTest::newRow("trailing") << "Tom&"
                              << "Tom&&";
    QTest::newRow("double") << "a&&b"
                            << "a&&&&b";
    QTest::newRow("none") << "Drama"
                          << "Drama";
}

void TestRowMenu::ampersandShownLiterally()
{
    QFETCH(QString, value);
    QFETCH(QString, caption);
    m_lists->list(1) = QStringList { value };
    m_menu->rebuild();
    QAction *item = opened(1)->actions().at(2);
    QCOMPARE(item->text(), caption);
    QVERIFY(QKeySequence::mnemonic(item->text()).isEmpty());
    // The list itself keeps the value as it is.
    QCOMPARE(m_lists->list(1).first(), value);
}

// Down to "ジャンル２", into its submenu, down past "無し" to the first value.
void TestRowMenu::keyboardChoosesFromPopup()
{
    m_lists->list(2) = QStringList { "Rock", "Jazz" };
    m_menu->rebuild();
    QSignalSpy chosen(m_menu, &RowMenu::categoryChosen);
    QMenu *pop = m_menu->menu();
    pop->popup(m_owner->mapToGlobal(QPoint(10, 10)));
    QVERIFY(QTest::qWaitForWindowExposed(pop));

    QTest::keyClick(pop, Qt::Key_Down);
    QTest::keyClick(pop, Qt::Key_Down);
    QTest::keyClick(pop, Qt::Key_Right);
    QVERIFY(QTest::qWaitForWindowExposed(submenu(2)));
    QTest::keyClick(submenu(2), Qt::Key_Down);
    QTest::keyClick(submenu(2), Qt::Key_Down);
    QTest::keyClick(submenu(2), Qt::Key_Return);

    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.first(), QVariantList({ 2, 3 }));
    QTRY_VERIFY(!pop->isVisible());
}

void TestRowMenu::execReturnsWhenClosed()
{
    QSignalSpy removed(m_menu, &RowMenu::removeChosen);
    QMenu *pop = m_menu->menu();
    QTimer::singleShot(0, pop, [pop] {
        QTest::keyClick(pop, Qt::Key_Up);
        QTest::keyClick(pop, Qt::Key_Return);
    });
    m_menu->exec(m_owner->mapToGlobal(QPoint(5, 5)));
    QVERIFY(!pop->isVisible());
    QCOMPARE(removed.count(), 1);
}

// Values are added, removed, renamed and lists emptied or grown, with presses,
// idle moments and openings in between, in random order: every submenu,
// when it opens, holds exactly the items an eager rebuild at the last press
// would have made from the lists as they were then, and its items choose
// themselves.
void TestRowMenu::openedSubmenuHoldsListsOfLastPress()
{
    const QStringList pool { "Rock", "R&B", "", "ジャズ", "a&&b", "Tom&", "Rock", "クラシック" };
    QRandomGenerator random(7);
    std::array<QStringList, 5> atPress;
    int openings = 0;
    for (int round = 0; round < 300; ++round) {
        const int k = 1 + int(random.bounded(5));
        QStringList &values = m_lists->list(k);
        const QString value = pool.at(random.bounded(pool.size())) + QString::number(random.bounded(3));
        const int at = int(random.bounded(int(values.size()) + 1));
        switch (random.bounded(6)) {
        case 0:
            values.insert(at, value);
            break;
        case 1:
            if (at < values.size())
                values.removeAt(at);
            break;
        case 2:
            if (at < values.size())
                values[at] = value;
            break;
        case 3:
            for (int i = int(random.bounded(60)); i > 0; --i)
                values.append(pool.at(random.bounded(pool.size())));
            break;
        case 4:
            values.clear();
            break;
        default:
            break;
        }
        if (random.bounded(2) == 0) {
            m_menu->rebuild();
            for (int c = 1; c <= 5; ++c)
                atPress[size_t(c - 1)] = m_lists->list(c);
        }
        if (random.bounded(2) == 0) {
            // The menu is up for a few idle moments, filling submenus.
            QMenu *pop = m_menu->menu();
            pop->popup(m_owner->mapToGlobal(QPoint(10, 10)));
            pop->repaint();
            for (int moments = int(random.bounded(8)); moments > 0; --moments)
                QCoreApplication::processEvents();
            pop->close();
        }
        if (random.bounded(3) == 0)
            continue;

        const int shown = 1 + int(random.bounded(5));
        const QStringList &expected = atPress[size_t(shown - 1)];
        const QList<QAction *> items = opened(shown)->actions();
        ++openings;
        QCOMPARE(items.size(), 2 + expected.size());
        QCOMPARE(items.at(0)->text(), QStringLiteral("無し"));
        QVERIFY(items.at(1)->isSeparator());
        for (qsizetype i = 0; i < items.size(); ++i) {
            QCOMPARE(items.at(i)->data().toInt(), int(i));
            QCOMPARE(items.at(i)->objectName(), QStringLiteral("t0%1_%2").arg(shown).arg(i));
            if (i < 2)
                continue;
            QVERIFY(!items.at(i)->isSeparator() && items.at(i)->isVisible() && items.at(i)->isEnabled());
            QCOMPARE(items.at(i)->text(), QString(expected.at(i - 2)).replace(u'&', QLatin1String("&&")));
        }
        const int chosen = expected.isEmpty() ? 0 : 2 + int(random.bounded(int(expected.size())));
        QSignalSpy spy(m_menu, &RowMenu::categoryChosen);
        items.at(chosen)->trigger();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first(), QVariantList({ shown, chosen }));
    }
    QVERIFY(openings > 100);
}

// The values of a changed list are made while the menu is up, before the user
// reaches its submenu; lists that did not change are left alone.
void TestRowMenu::changedListsFilledOnceTheMenuShows()
{
    m_lists->list(3) = QStringList { "Rock", "Jazz", "Blues" };
    m_menu->rebuild();
    QMenu *pop = m_menu->menu();
    pop->popup(m_owner->mapToGlobal(QPoint(10, 10)));
    QVERIFY(QTest::qWaitForWindowExposed(pop));
    QTRY_COMPARE(submenu(3)->actions().size(), 5);
    QVERIFY(!submenu(3)->isVisible());
    QCOMPARE(submenu(3)->actions().at(4)->text(), QStringLiteral("Blues"));
    QCOMPARE(submenu(3)->actions().at(4)->objectName(), QStringLiteral("t03_4"));
    QCOMPARE(submenu(1)->actions().size(), 2);
    pop->close();
}

// A list far longer than the screen is tall stays in one column on the
// screen and scrolls, so the keyboard and the pointer reach its last value.
void TestRowMenu::longListScrollsWithinTheScreen()
{
    for (int i = 0; i < 3000; ++i)
        m_lists->list(1) << QStringLiteral("値%1").arg(i);
    m_menu->rebuild();
    QMenu *menu = submenu(1);
    menu->popup(m_owner->mapToGlobal(QPoint(10, 10)));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    const QSize screen = menu->screen()->size();
    QVERIFY2(menu->width() <= screen.width() && menu->height() <= screen.height(),
        qPrintable(QStringLiteral("menu %1x%2 on a %3x%4 screen")
                       .arg(menu->width())
                       .arg(menu->height())
                       .arg(screen.width())
                       .arg(screen.height())));
    QAction *last = menu->actions().constLast();
    QVERIFY(!menu->rect().contains(menu->actionGeometry(last)));
    QTest::keyClick(menu, Qt::Key_End);
    QCOMPARE(menu->activeAction(), last);
    QVERIFY(menu->rect().contains(menu->actionGeometry(last)));
    QCOMPARE(menu->actionAt(menu->actionGeometry(last).center()), last);
    menu->close();
}

// A submenu shown again after its values changed (a caption renamed, items
// gone) is as wide as its widest caption needs, and every item spans it.
void TestRowMenu::itemsLaidOutAgainWhenValuesChange()
{
    const auto shown = [this](const QStringList &values) {
        m_lists->list(4) = values;
        m_menu->rebuild();
        QMenu *menu = submenu(4);
        menu->popup(m_owner->mapToGlobal(QPoint(10, 10)));
        if (!QTest::qWaitForWindowExposed(menu))
            qFatal("submenu not shown");
        return menu;
    };
    const QString longValue = QStringLiteral("とても長い値の名前 ").repeated(4);
    QMenu *menu = shown({ "a", "b" });
    const int narrow = menu->width();
    menu->close();
    menu = shown({ "a", longValue });
    const int wide = menu->width();
    QVERIFY2(wide > narrow + menu->fontMetrics().horizontalAdvance(longValue) / 2,
        qPrintable(QStringLiteral("%1 then %2").arg(narrow).arg(wide)));
    const QList<QAction *> items = menu->actions();
    for (QAction *item : items) {
        const QRect place = menu->actionGeometry(item);
        QVERIFY(menu->rect().contains(place));
        QVERIFY(place.width() > wide * 3 / 4);
    }
    QCOMPARE(menu->actionAt(menu->actionGeometry(items.at(3)).center()), items.at(3));
    menu->close();
    menu = shown({ "a" });
    QVERIFY(menu->width() < wide);
    QCOMPARE(menu->actions().size(), 3);
    QVERIFY(menu->actionGeometry(menu->actions().at(2)).width() > menu->width() * 3 / 4);
    menu->close();
}

QTEST_MAIN(TestRowMenu)
#include "tst_rowmenu.moc"
