// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The popup menu of the visible list is rebuilt from the five category lists
// on every mouse press in the list. This measures that rebuild, and the
// rebuild followed by showing and closing the menu, with five lists of 1,000
// values each (target: under 50 ms for rebuild + show).
//
// Run: bench_rowmenu [rounds]   (uses the offscreen platform unless another
// one is set)

#include "CategoryLists.h"
#include "RowMenu.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int ValuesPerList = 1000;
constexpr double TargetMs = 50.0;

struct Figure
{
    double medianMs;
    double maxMs;
};

Figure measure(int rounds, const std::function<void()> &prepare, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int r = 0; r < rounds; ++r) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return { times[times.size() / 2], times.back() };
}

void print(const char *what, Figure f, bool targeted)
{
    std::printf("%-58s median %8.2f ms   max %8.2f ms%s\n", what, f.medianMs, f.maxMs,
        targeted ? (f.maxMs < TargetMs ? "   [under 50 ms]" : "   [OVER 50 ms]") : "");
}

void fillLists(CategoryLists &lists, int generation)
{
    for (int k = 1; k <= CategoryLists::Count; ++k) {
        QStringList &values = lists.list(k);
        values.clear();
        values.reserve(ValuesPerList);
        for (int p = 0; p < ValuesPerList; ++p)
            values
                << QStringLiteral("ジャンル%1 値%2 R&B 世代%3").arg(k).arg(p, 4, 10, QLatin1Char('0')).arg(generation);
    }
}

void showAndClose(QMenu *menu, const QPoint &at)
{
    menu->popup(at);
    QCoreApplication::processEvents();
    menu->close();
    QCoreApplication::processEvents();
}

// For comparison: the plain way, destroying items 2.. and making them again
// on every press, on five menus of the same shape.
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

// The offscreen platform warns on every popup that it cannot raise the
// window or grab the keyboard; that says nothing about the figures.
void quietPlatform(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietPlatform);
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 30;

    QWidget owner;
    owner.resize(800, 600);
    owner.show();
    QCoreApplication::processEvents();
    const QPoint at = owner.mapToGlobal(QPoint(20, 20));

    CategoryLists lists;
    fillLists(lists, 0);
    std::printf("RowMenu: five lists of %d values each, %d rounds, platform %s\n", ValuesPerList, rounds,
        qPrintable(QGuiApplication::platformName()));

    // First press: all 5,000 value items are made. The menu is made and
    // destroyed outside the timed part.
    std::unique_ptr<RowMenu> fresh;
    print("first rebuild (5,000 items made)",
        measure(
            rounds, [&] { fresh = std::make_unique<RowMenu>(lists, &owner); }, [&] { fresh->rebuild(); }),
        true);
    print("first press: rebuild (5,000 items made) + popup + close",
        measure(
            rounds, [&] { fresh = std::make_unique<RowMenu>(lists, &owner); },
            [&] {
                fresh->rebuild();
                showAndClose(fresh->menu(), at);
            }),
        true);
    fresh.reset();

    RowMenu menu(lists, &owner);
    menu.rebuild();
    print("rebuild, lists unchanged",
        measure(
            rounds, [] {}, [&] { menu.rebuild(); }),
        true);

    int generation = 0;
    print("rebuild, every value changed",
        measure(
            rounds, [&] { fillLists(lists, ++generation); }, [&] { menu.rebuild(); }),
        true);

    print("rebuild after all lists were emptied (5,000 items go)",
        measure(
            rounds, [&] { fillLists(lists, ++generation), menu.rebuild(), lists = CategoryLists(); },
            [&] { menu.rebuild(); }),
        true);
    print("rebuild after all lists were refilled (5,000 items made)",
        measure(
            rounds, [&] { lists = CategoryLists(), menu.rebuild(), fillLists(lists, ++generation); },
            [&] { menu.rebuild(); }),
        true);

    fillLists(lists, ++generation);
    menu.rebuild();
    print("press: rebuild + popup + close, lists unchanged",
        measure(
            rounds, [] {},
            [&] {
                menu.rebuild();
                showAndClose(menu.menu(), at);
            }),
        true);
    print("press: rebuild + popup + close, every value changed",
        measure(
            rounds, [&] { fillLists(lists, ++generation); },
            [&] {
                menu.rebuild();
                showAndClose(menu.menu(), at);
            }),
        true);

    QMenu *genre1 = menu.menu()->findChild<QMenu *>(QStringLiteral("line7"));
    print("open the ジャンル１ submenu (1,000 values) and close it",
        measure(
            rounds, [] {}, [&] { showAndClose(genre1, at); }),
        false);

    // Side by side: the same press when every rebuild destroys and makes the
    // value items again.
    std::vector<QMenu *> plain;
    for (int k = 1; k <= CategoryLists::Count; ++k) {
        auto *m = new QMenu(&owner);
        m->addAction(QStringLiteral("無し"));
        m->addSeparator();
        plain.push_back(m);
    }
    rebuildByRecreating(plain, lists);
    const Figure recreate = measure(
        rounds, [] {}, [&] { rebuildByRecreating(plain, lists); });
    const Figure reuse = measure(
        rounds, [] {}, [&] { menu.rebuild(); });
    print("for comparison: rebuild by destroying and making items", recreate, false);
    print("RowMenu::rebuild, same lists, same run", reuse, false);
    std::printf("ratio destroy-and-make / RowMenu::rebuild (medians): %.1f\n",
        reuse.medianMs > 0 ? recreate.medianMs / reuse.medianMs : 0.0);
    return 0;
}
