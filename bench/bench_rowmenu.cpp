// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The popup menu of the visible list: every mouse press in the list rebuilds
// it from the five category lists; a submenu's value items are made, and
// laid out, in idle moments once the menu is painted, or when the submenu
// opens first. This measures what the user waits for: the press, and the
// press followed by the menu and a value submenu appearing, step by step,
// with one list of 5,000 values and with five lists of 1,000.
// Each figure is the best of a few rounds (default 3), beside its target.
//
// Run: bench_rowmenu [rounds]   (uses the offscreen platform unless another
// one is set)

#include "CategoryLists.h"
#include "RowMenu.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenu>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

namespace {

constexpr double TargetMs = 50.0;

double bestOf(int rounds, const std::function<void()> &prepare, const std::function<void()> &work)
{
    double best = std::numeric_limits<double>::max();
    for (int r = 0; r < rounds; ++r) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

void printTargeted(const char *what, double ms)
{
    std::printf("%-74s %8.2f ms   target <= %.0f ms: %s\n", what, ms, TargetMs, ms <= TargetMs ? "met" : "OVER");
}

void printPlain(const char *what, double ms)
{
    std::printf("%-74s %8.2f ms\n", what, ms);
}

void fillLists(CategoryLists &lists, const std::vector<int> &sizes, int generation)
{
    for (int k = 1; k <= CategoryLists::Count; ++k) {
        QStringList &values = lists.list(k);
        values.clear();
        const int count = sizes[size_t(k - 1)];
        values.reserve(count);
        for (int p = 0; p < count; ++p)
            values
                << QStringLiteral("ジャンル%1 値%2 R&B 世代%3").arg(k).arg(p, 4, 10, QLatin1Char('0')).arg(generation);
    }
}

QMenu *submenu(const RowMenu &menu, int k)
{
    return menu.menu()->findChild<QMenu *>(QStringLiteral("line%1").arg(6 + k));
}

// The menu appears at the pointer; the user moves to category k's entry and
// its submenu opens (here by the Right key, which opens it at once rather
// than after the hover delay); both are painted, then closed.
void openAndClose(const RowMenu &menu, int k, const QPoint &at)
{
    QMenu *pop = menu.menu();
    pop->popup(at);
    QCoreApplication::processEvents();
    if (k > 0) {
        pop->setActiveAction(pop->actions().at(k - 1));
        QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
        QCoreApplication::sendEvent(pop, &right);
        QCoreApplication::processEvents();
        if (!submenu(menu, k)->isVisible())
            std::fprintf(stderr, "submenu %d did not open\n", k);
        submenu(menu, k)->close();
    }
    pop->close();
    QCoreApplication::processEvents();
}

// For comparison: bringing the value items up to date by destroying items
// 2.. and making them again, on five menus of the same shape.
void rebuildByRecreating(const std::vector<QMenu *> &menus, const CategoryLists &lists)
{
    for (int k = 1; k <= CategoryLists::Count; ++k) {
        QMenu *menu = menus[size_t(k - 1)];
        const QList<QAction *> items = menu->actions();
        for (qsizetype i = items.size() - 1; i >= 2; --i)
            delete items.at(i);
        int item = 2;
        for (const QString &value : lists.list(k)) {
            QAction *action = menu->addAction(QString(value).replace(u'&', QLatin1String("&&")));
            action->setData(item++);
        }
    }
}

// The same through RowMenu: a press, then each submenu opening.
void fillEverySubmenu(RowMenu &menu)
{
    menu.rebuild();
    for (int k = 1; k <= CategoryLists::Count; ++k)
        Q_EMIT submenu(menu, k)->aboutToShow();
}

// The offscreen platform warns on every popup that it cannot raise the
// window or grab the keyboard; that says nothing about the figures.
void quietPlatform(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

struct Bench
{
    int rounds;
    QWidget *owner;
    QPoint at;
    CategoryLists lists;
    std::unique_ptr<RowMenu> fresh;

    void makeFresh() { fresh = std::make_unique<RowMenu>(lists, owner); }

    void firstPress(const char *what)
    {
        printTargeted(what,
            bestOf(
                rounds, [&] { makeFresh(); }, [&] { fresh->rebuild(); }));
    }

    // The first right-click after the list changed, in the steps the user
    // sees: the menu appears; while the pointer travels to the category, its
    // values are made and laid out, in idle moments; the submenu opens.
    // Each step is the best of the rounds, and so is their sum, taken in the
    // same rounds.
    void firstRightClickInSteps(int k, int values)
    {
        std::vector<double> best(6, std::numeric_limits<double>::max());
        for (int r = 0; r < rounds; ++r) {
            makeFresh();
            QMenu *pop = fresh->menu();
            QMenu *values_ = submenu(*fresh, k);
            QElapsedTimer timer;
            timer.start();
            fresh->rebuild();
            pop->popup(at);
            QCoreApplication::processEvents();
            const double shown = double(timer.nsecsElapsed()) / 1e6;
            double longestMoment = 0;
            while (values_->actions().size() < 2 + values) {
                QElapsedTimer moment;
                moment.start();
                QCoreApplication::processEvents();
                longestMoment = std::max(longestMoment, double(moment.nsecsElapsed()) / 1e6);
            }
            const double filled = double(timer.nsecsElapsed()) / 1e6;
            QCoreApplication::processEvents();
            const double laidOut = double(timer.nsecsElapsed()) / 1e6;
            pop->setActiveAction(pop->actions().at(k - 1));
            QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
            QCoreApplication::sendEvent(pop, &right);
            QCoreApplication::processEvents();
            const double opened = double(timer.nsecsElapsed()) / 1e6;
            if (!values_->isVisible())
                std::fprintf(stderr, "submenu %d did not open\n", k);
            values_->close();
            pop->close();
            QCoreApplication::processEvents();
            const double steps[] = { shown, longestMoment, filled - shown, laidOut - filled, opened - laidOut, opened };
            for (size_t i = 0; i < best.size(); ++i)
                best[i] = std::min(best[i], steps[i]);
        }
        printTargeted("  1. the menu appears", best[0]);
        printTargeted("  2. then the values are made, in idle moments: the longest moment", best[1]);
        printPlain("     all the moments", best[2]);
        printTargeted("  3. in the next idle moment, they are laid out", best[3]);
        printTargeted("  4. then the submenu opens and is painted", best[4]);
        printPlain("  all four steps", best[5]);
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietPlatform);
    QApplication app(argc, argv);

    QWidget owner;
    owner.resize(800, 600);
    owner.show();
    QCoreApplication::processEvents();
    Bench b { argc > 1 ? std::max(1, atoi(argv[1])) : 3, &owner, owner.mapToGlobal(QPoint(20, 20)), {}, {} };
    std::printf("RowMenu, best of %d rounds, platform %s\n", b.rounds, qPrintable(QGuiApplication::platformName()));

    // The fonts and the menu's style are loaded once, before anything is
    // timed, as they are in the running program by the time of a press.
    fillLists(b.lists, { 1, 1, 1, 1, 1 }, 0);
    b.makeFresh();
    b.fresh->rebuild();
    openAndClose(*b.fresh, 1, b.at);

    std::printf("-- one list of 5,000 values (ジャンル１), the others empty\n");
    fillLists(b.lists, { 5000, 0, 0, 0, 0 }, 0);
    b.firstPress("first press in the list (rebuild)");
    std::printf("first right-click, ジャンル１ opened, 5,000 values:\n");
    b.firstRightClickInSteps(1, 5000);
    printPlain("  of which making the 5,000 items",
        bestOf(
            b.rounds, [&] { b.makeFresh(), b.fresh->rebuild(); }, [&] { Q_EMIT submenu(*b.fresh, 1)->aboutToShow(); }));
    printTargeted("next right-click, ジャンル１ opened, list unchanged",
        bestOf(
            b.rounds, [] {},
            [&] {
                b.fresh->rebuild();
                openAndClose(*b.fresh, 1, b.at);
            }));
    int generation = 0;
    printTargeted("next right-click, ジャンル１ opened, every value renamed",
        bestOf(
            b.rounds,
            [&] {
                fillLists(b.lists, { 5000, 0, 0, 0, 0 }, ++generation);
            },
            [&] {
                b.fresh->rebuild();
                openAndClose(*b.fresh, 1, b.at);
            }));

    std::printf("-- five lists of 1,000 values\n");
    fillLists(b.lists, { 1000, 1000, 1000, 1000, 1000 }, 0);
    b.firstPress("first press in the list (rebuild)");
    std::printf("first right-click, ジャンル１ opened, 1,000 values in each list:\n");
    b.firstRightClickInSteps(1, 1000);

    // Side by side: five submenus of 1,000 values brought up to date after
    // every value changed, by destroying and making the items again and by
    // RowMenu, which captions the items already there.
    std::vector<QMenu *> plain;
    for (int k = 1; k <= CategoryLists::Count; ++k) {
        auto *m = new QMenu(&owner);
        m->addAction(QStringLiteral("無し"));
        m->addSeparator();
        plain.push_back(m);
    }
    rebuildByRecreating(plain, b.lists);
    RowMenu menu(b.lists, &owner);
    fillEverySubmenu(menu);
    const double recreate = bestOf(
        b.rounds,
        [&] {
            fillLists(b.lists, { 1000, 1000, 1000, 1000, 1000 }, ++generation);
        },
        [&] { rebuildByRecreating(plain, b.lists); });
    const double reuse = bestOf(
        b.rounds,
        [&] {
            fillLists(b.lists, { 1000, 1000, 1000, 1000, 1000 }, ++generation);
        },
        [&] { fillEverySubmenu(menu); });
    printPlain("every value changed, all five filled: destroying and making the items", recreate);
    printPlain("every value changed, all five filled: RowMenu, captions set in place", reuse);
    std::printf("ratio destroy-and-make / RowMenu: %.1f\n", reuse > 0 ? recreate / reuse : 0.0);
    return 0;
}
