// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// Value-tab benchmark: a category list of many values and a very long line,
// through the real window on the offscreen platform. For each size it times
// the start-up to the first paint, a rebuild of the value tabs (a click on
// the category tab), a click on the last value tab and one repaint.
//
//   build/bin/bench_tabs [values ...]      (default: 2000 8000 32767)
#include "Form1.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTabBar>
#include <QTemporaryDir>

#include "ValueTabStrip.h"

#include <cstdio>
#include <memory>

namespace {

template<class F> double timed(F &&f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

struct Figures
{
    double startUp = 0, rebuild = 0, click = 0, repaint = 0;
};

// Starts the window on a data folder holding the given files and measures.
Figures measure(const QString &folder)
{
    Figures figures;
    std::unique_ptr<Form1> window;
    figures.startUp = timed([&] {
        window = std::make_unique<Form1>(folder);
        window->show();
        window->grab();
    });
    auto *categories = window->findChild<QTabBar *>(QStringLiteral("TabStrip2"));
    auto *values = window->findChild<ValueTabStrip *>(QStringLiteral("TabStrip1"));
    figures.rebuild = timed([&] {
        categories->setCurrentIndex(1);
        categories->setCurrentIndex(0);
    });
    figures.click = timed([&] { values->setCurrentIndex(values->count() - 1); });
    figures.repaint = timed([&] { window->grab(); });
    return figures;
}

void print(const char *what, const Figures &f)
{
    std::printf("%-28s start-up %9.1f ms   tab rebuild %9.1f ms   value click %8.1f ms   repaint %8.1f ms\n", what,
        f.startUp, f.rebuild, f.click, f.repaint);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.append(QByteArray(argv[i]).toInt());
    if (sizes.isEmpty())
        sizes = { 2000, 8000, 32767 };

    for (int n : sizes) {
        QTemporaryDir dir;
        QByteArray list;
        for (int i = 0; i < n; ++i)
            list += "値" + QByteArray::number(i) + "\r\n";
        writeFile(QDir(dir.path()).filePath(QStringLiteral("List01.txt")), list);
        print(qPrintable(QStringLiteral("%1 values in List01.txt").arg(n)), measure(dir.path()));
    }

    const QByteArray longText(5 * 1024 * 1024, 'a');
    {
        QTemporaryDir dir;
        writeFile(QDir(dir.path()).filePath(QStringLiteral("List.txt")), longText + ".avi#1.000#AVI\r\n");
        print("5 MiB name in List.txt", measure(dir.path()));
    }
    {
        QTemporaryDir dir;
        writeFile(QDir(dir.path()).filePath(QStringLiteral("List01.txt")), longText + "\r\n");
        print("5 MiB value in List01.txt", measure(dir.path()));
    }
    return 0;
}
