// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// "フォルダを追加…" on a folder of 10,000 small files in 100 subfolders:
// the walk alone, the probes alone, the whole add through the window, and
// a drop of the same 10,000 paths for comparison; while the window works,
// the longest time between two turns of its event loop (how long the
// window could not answer).
//
// usage: bench_folderadd [FILES]

#include "FolderWalk.h"
#include "Form1.h"
#include "ProbeFile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

const char *const Kinds[] = { "txt", "jpg", "zip", "doc", "png", "nfo", "gif", "dat", "exe", "htm" };

QStringList makeFiles(const QString &root, int count)
{
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString folder = QStringLiteral("%1/dir%2").arg(root).arg(i % 100);
        QDir().mkpath(folder);
        const QString path = QStringLiteral("%1/file%2.%3").arg(folder).arg(i).arg(QLatin1String(Kinds[i % 10]));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            std::exit(1);
        }
        file.write(QByteArray(100 + i % 900, 'x'));
        paths.append(path);
    }
    return paths;
}

struct WindowRun
{
    double seconds = 0;
    double longestStallMs = 0;
    qsizetype rows = 0;
};

// Starts the intake through start(), turns the event loop until it ends
// and records the longest gap between two turns.
WindowRun runInWindow(const std::function<void(Form1 &)> &start)
{
    QTemporaryDir data;
    Form1 window(data.path());
    window.show();
    QElapsedTimer clock;
    QElapsedTimer gap;
    WindowRun run;
    clock.start();
    gap.start();
    start(window);
    while (window.isDropRunning()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        run.longestStallMs = std::max(run.longestStallMs, gap.nsecsElapsed() / 1e6);
        gap.restart();
    }
    run.seconds = clock.nsecsElapsed() / 1e9;
    run.rows = window.catalog().size();
    return run;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("disc"));
    const QStringList paths = makeFiles(root, count);

    QElapsedTimer clock;
    clock.start();
    const FolderWalk::Result walk = FolderWalk().run(root);
    const double walkSeconds = clock.nsecsElapsed() / 1e9;

    clock.restart();
    for (const QString &path : walk.files)
        (void)ProbeFile(path);
    const double probeSeconds = clock.nsecsElapsed() / 1e9;

    const auto addFolder = [&](Form1 &w) { w.AddFolder(root, QStringLiteral("DISC"), 3); };
    const auto dropPaths = [&](Form1 &w) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &p : paths)
            urls.append(QUrl::fromLocalFile(p));
        data.setUrls(urls);
        w.AddDroppedFiles(data);
    };
    // Each runs twice, alternating, and the faster run counts: the first
    // window of the process pays for fonts and caches.
    WindowRun folder, drop;
    for (int round = 0; round < 2; ++round) {
        const WindowRun f = runInWindow(addFolder);
        const WindowRun d = runInWindow(dropPaths);
        if (round == 0 || f.seconds < folder.seconds)
            folder = f;
        if (round == 0 || d.seconds < drop.seconds)
            drop = d;
    }

    std::printf("files: %d (walk found %lld)\n", count, static_cast<long long>(walk.files.size()));
    std::printf("%-34s %10s %14s %12s\n", "", "seconds", "per file (us)", "stall (ms)");
    const auto line = [count](const char *what, double s, double stall) {
        std::printf("%-34s %10.3f %14.1f %12.1f\n", what, s, s * 1e6 / count, stall);
    };
    line("walk only (counting N)", walkSeconds, 0);
    line("probes only", probeSeconds, 0);
    line("folder add through the window", folder.seconds, folder.longestStallMs);
    line("drop of the same paths", drop.seconds, drop.longestStallMs);
    std::printf("folder add / drop: %.2f; rows: folder add %lld, drop %lld\n", folder.seconds / drop.seconds,
        static_cast<long long>(folder.rows), static_cast<long long>(drop.rows));
    return folder.rows == count && drop.rows == count ? 0 : 1;
}
