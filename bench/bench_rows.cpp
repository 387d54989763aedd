// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The row store at scale, on a generated realistic List.txt (code page 932,
// names of 10 to 80 characters, a third of them Japanese, 8 % of the files
// repeated from earlier rows, a category value on part of the rows). Every
// figure is processor time of this process (the iconv command's of the
// child), best of three where it says so, printed beside its target.
//
//   build/bin/bench_rows [rows ...]      (default: 1000000)
//   build/bin/bench_rows --generate List.txt rows   (only writes the list)
//   bench/run [rows ...]                 (builds and runs the benchmarks)
#include "CatalogSearch.h"
#include "DataFolder.h"
#include "Form1.h"
#include "ListFile.h"
#include "RealisticList.h"
#include "TextCodec.h"
#include "ValueTabStrip.h"
#include "VisibleListModel.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <sys/resource.h>
#include <utility>

namespace {

constexpr int Rounds = 3;

double cpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double childCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double timed(const std::function<void()> &run)
{
    const double start = cpuSeconds();
    run();
    return cpuSeconds() - start;
}

// Best of Rounds; prepare runs untimed before each.
double best(const std::function<void()> &run, const std::function<void()> &prepare = {})
{
    double fastest = 1e30;
    for (int r = 0; r < Rounds; ++r) {
        if (prepare)
            prepare();
        fastest = std::min(fastest, timed(run));
    }
    return fastest;
}

double wallSeconds()
{
    return double(std::chrono::steady_clock::now().time_since_epoch().count()) * std::chrono::steady_clock::period::num
        / std::chrono::steady_clock::period::den;
}

// Processor time and wall time of one run: work shared among the cores
// takes less of the one than of the other.
std::pair<double, double> cpuAndWall(const std::function<void()> &run)
{
    const double wallStart = wallSeconds();
    const double cpu = timed(run);
    return { cpu, wallSeconds() - wallStart };
}

// The same, best of Rounds each.
std::pair<double, double> bestCpuAndWall(const std::function<void()> &run)
{
    double cpu = 1e30, wall = 1e30;
    for (int r = 0; r < Rounds; ++r) {
        const auto [c, w] = cpuAndWall(run);
        cpu = std::min(cpu, c);
        wall = std::min(wall, w);
    }
    return { cpu, wall };
}

double iconvCommand(const QString &path)
{
    double fastest = 1e30;
    for (int r = 0; r < Rounds; ++r) {
        const double before = childCpuSeconds();
        QProcess iconv;
        iconv.setStandardOutputFile(QProcess::nullDevice());
        iconv.start(QStringLiteral("iconv"),
            { QStringLiteral("-f"), QStringLiteral("CP932"), QStringLiteral("-t"), QStringLiteral("UTF-8"), path });
        iconv.waitForFinished(-1);
        fastest = std::min(fastest, childCpuSeconds() - before);
    }
    return fastest;
}

qint64 statusKiB(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qsizetype(qstrlen(key))).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void figure(const char *what, double value, const char *unit, const QString &target)
{
    std::printf("  %-52s %10.3f %-3s  target %s\n", what, value, unit, qPrintable(target));
}

// In a fresh process: resident memory after a load and the peak during it.
int memoryChild(const QString &path)
{
    const qint64 before = statusKiB("VmRSS:");
    Catalog catalog;
    LoadCatalog(path, catalog);
    std::printf("%lld %lld %lld\n", before, statusKiB("VmRSS:"), statusKiB("VmHWM:"));
    return 0;
}

void storage(const QString &path, const QString &program, double fileBytes)
{
    QProcess child;
    child.start(program, { QStringLiteral("--memory"), path });
    child.waitForFinished(-1);
    const QList<QByteArray> kib = child.readAllStandardOutput().trimmed().split(' ');
    if (kib.size() == 3) {
        const double before = kib[0].toDouble() * 1024, after = kib[1].toDouble() * 1024;
        const double peak = kib[2].toDouble() * 1024;
        figure("resident after load / file", (after - before) / fileBytes, "x", QStringLiteral("<= 1.3"));
        figure("peak during load / file", (peak - before) / fileBytes, "x", QStringLiteral("<= 1.6"));
        figure("resident after load, MB", (after - before) / 1e6, "MB", QStringLiteral("<= 1500 at 10M"));
    }

    const double iconv = iconvCommand(path);
    std::unique_ptr<Catalog> loaded;
    const double load = best([&] { LoadCatalog(path, *loaded); }, [&] { loaded = std::make_unique<Catalog>(); });
    const QString saved = QFileInfo(path).dir().filePath(QStringLiteral("saved.txt"));
    const double save = best([&] { SaveCatalog(saved, *loaded); });
    const bool same = readFile(saved) == readFile(path);
    QFile::remove(saved);
    std::printf("  iconv -f CP932 -t UTF-8 of the file: %.3f s\n", iconv);
    figure("LoadCatalog / iconv", load / iconv, "x", QStringLiteral("<= 1.0  (%1 s)").arg(load, 0, 'f', 3));
    figure("SaveCatalog / iconv", save / iconv, "x",
        QStringLiteral("<= 1.0  (%1 s, saved file %2)").arg(save, 0, 'f', 3).arg(same ? "identical" : "DIFFERENT"));
    const auto [search, searchWall] = bestCpuAndWall([&] { SearchCatalog(*loaded, QStringLiteral("アニメ")); });
    const auto [search2, search2Wall] = bestCpuAndWall([&] { SearchCatalog(*loaded, QStringLiteral("final")); });
    figure("search \"アニメ\" / \"final\" (SearchCatalog), s", std::max(search, search2), "s",
        QStringLiteral("<= 0.05 at 1M, <= 0.3 at 10M  (%1 / %2)").arg(search, 0, 'f', 3).arg(search2, 0, 'f', 3));
    figure("  the same, wall time", std::max(searchWall, search2Wall), "s",
        QStringLiteral("<= 0.05 at 1M, <= 0.3 at 10M  (%1 / %2)")
            .arg(searchWall, 0, 'f', 3)
            .arg(search2Wall, 0, 'f', 3));
}

void selectRows(QTableView *view, int step)
{
    QItemSelection selection;
    const int rows = view->model()->rowCount();
    const int last = VisibleListModel::ColumnCount - 1;
    if (step == 1) {
        selection.select(view->model()->index(0, 0), view->model()->index(rows - 1, last));
    } else {
        for (int row = 0; row < rows; row += step)
            selection.select(view->model()->index(row, 0), view->model()->index(row, last));
    }
    // Clearing first keeps the selection model from comparing the old
    // selection with every new range.
    view->selectionModel()->clearSelection();
    view->selectionModel()->select(selection, QItemSelectionModel::Select);
}

// In a fresh process, as a program starts: a bare LoadCatalog of the list,
// or the window made, shown and painted with it.
// Each prints its processor time and its wall time.
void printCpuAndWall(const std::function<void()> &run)
{
    const auto [cpu, wall] = cpuAndWall(run);
    std::printf("%.6f %.6f\n", cpu, wall);
}

int loadChild(const QString &path)
{
    Catalog catalog;
    printCpuAndWall([&] { LoadCatalog(path, catalog); });
    return 0;
}

int startUpChild(const QString &folder)
{
    std::unique_ptr<Form1> w;
    printCpuAndWall([&] {
        w = std::make_unique<Form1>(folder);
        w->show();
        w->listView()->viewport()->repaint();
    });
    return 0;
}

std::pair<double, double> childFigures(const QString &program, const QString &mode, const QString &argument)
{
    QProcess child;
    child.start(program, { mode, argument });
    child.waitForFinished(-1);
    const QList<QByteArray> lines = child.readAllStandardOutput().trimmed().split('\n');
    const QList<QByteArray> figures = lines.constLast().split(' ');
    return { figures.constFirst().toDouble(), figures.constLast().toDouble() };
}

// Both in fresh processes, taken in turns: a program's memory is new at
// start-up, and touching new pages is a good part of a load. The window
// reads the list file on another core while it builds itself: the wall
// time is the one a user waits.
void startUp(const QString &folder, const QString &path, const QString &program)
{
    double bare = 1e30, bareWall = 1e30, startUp = 1e30, startUpWall = 1e30;
    for (int r = 0; r < Rounds; ++r) {
        const auto [cpu, wall] = childFigures(program, QStringLiteral("--load"), path);
        bare = std::min(bare, cpu);
        bareWall = std::min(bareWall, wall);
        const auto [startCpu, startWall] = childFigures(program, QStringLiteral("--startup"), folder);
        startUp = std::min(startUp, startCpu);
        startUpWall = std::min(startUpWall, startWall);
    }
    figure("start-up to first paint / bare LoadCatalog", startUp / bare, "x",
        QStringLiteral("<= 1.2  (%1 s / %2 s, fresh processes)").arg(startUp, 0, 'f', 3).arg(bare, 0, 'f', 3));
    figure("  the same, wall time", startUpWall / bareWall, "x",
        QStringLiteral("<= 1.2  (%1 s / %2 s)").arg(startUpWall, 0, 'f', 3).arg(bareWall, 0, 'f', 3));
    figure("start-up to first paint", startUp, "s", QStringLiteral("<= 8 at 10M"));
    figure("  the same, wall time", startUpWall, "s", QStringLiteral("<= 8 at 10M"));
}

void window(const QString &folder)
{
    auto w = std::make_unique<Form1>(folder);
    w->show();
    w->listView()->viewport()->repaint();

    auto *strip = w->findChild<ValueTabStrip *>(QStringLiteral("TabStrip1"));
    auto *text3 = w->findChild<QLineEdit *>(QStringLiteral("Text3"));
    text3->setText(QStringLiteral("アニメ"));
    const auto refills = [&](double out[4]) {
        out[0] = timed([&] { strip->setCurrentIndex(0); });
        out[1] = timed([&] { strip->setCurrentIndex(2); });
        out[2] = timed([&] { w->SearchNames(); });
        out[3] = timed([&] { w->FindDuplicates(1); });
    };
    double unsorted[4], sorted[4];
    refills(unsorted);
    // Once each: a column's order is made at its first click and kept.
    const auto [byName, byNameWall] = cpuAndWall([&] { w->SortByColumn(1); });
    strip->setCurrentIndex(0);
    const auto [bySize, bySizeWall] = cpuAndWall([&] { w->SortByColumn(2); });
    figure("sort all rows by name (first header click)", byName, "s", QStringLiteral("<= 0.3"));
    figure("  the same, wall time (sorted on both cores)", byNameWall, "s", QStringLiteral("<= 0.3"));
    figure("sort all rows by size", bySize, "s", QStringLiteral("<= 0.3"));
    figure("  the same, wall time", bySizeWall, "s", QStringLiteral("<= 0.3"));
    const double again = timed([&] { w->SortByColumn(2); });
    figure("sort by size again (other direction)", again, "s", QStringLiteral("<= 0.1"));
    refills(sorted);
    const char *names[4] = { "tab 全て", "tab アニメ", "search アニメ", "duplicates by size" };
    for (int i = 0; i < 4; ++i) {
        const QString what = QStringLiteral("refill sorted - unsorted, %1").arg(QString::fromUtf8(names[i]));
        figure(qPrintable(what), sorted[i] - unsorted[i], "s",
            QStringLiteral("<= 0.1  (unsorted %1 s, sorted %2 s)")
                .arg(unsorted[i], 0, 'f', 3)
                .arg(sorted[i], 0, 'f', 3));
    }
    figure("duplicates by size after a header click, total", sorted[3], "s", QStringLiteral("<= 1"));

    strip->setCurrentIndex(0);
    w->categoryLists().list(2).append(QStringLiteral("ベンチ"));
    selectRows(w->listView(), 1);
    const double assign = timed([&] { w->AssignCategory(2, 2); });
    figure("assign a value to every row", assign, "s", QStringLiteral("<= 0.2 at 1M"));
    selectRows(w->listView(), 10);
    const double remove = timed([&] { w->RemoveSelectedRows(); });
    figure("remove every tenth row", remove, "s", QStringLiteral("<= 1 at 10M"));
    std::printf("  (resident at the end %.0f MB)\n", double(statusKiB("VmRSS:")) / 1024.0);
    w.reset();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--memory")
        return memoryChild(QString::fromLocal8Bit(argv[2]));
    if (argc == 4 && QByteArray(argv[1]) == "--generate") // a list to profile with
        return RealisticList::write(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toLongLong()) ? 0 : 1;
    if (argc == 3 && QByteArray(argv[1]) == "--load")
        return loadChild(QString::fromLocal8Bit(argv[2]));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--startup")
        return startUpChild(QString::fromLocal8Bit(argv[2]));
    QList<qint64> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.append(QByteArray(argv[i]).toLongLong());
    if (sizes.isEmpty())
        sizes.append(1'000'000);
    for (qint64 rows : sizes) {
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(DataFiles::CatalogFile);
        if (!RealisticList::write(path, rows)) {
            std::printf("could not generate %s\n", qPrintable(path));
            return 1;
        }
        QFile lists(QDir(dir.path()).filePath(QStringLiteral("List01.txt")));
        QByteArray values;
        TextCodec::encodeAppend(QStringLiteral("アニメ\r\n映画\r\n音楽\r\n"), TextEncoding::Cp932, values);
        if (lists.open(QIODevice::WriteOnly))
            lists.write(values);
        lists.close();
        const double bytes = double(QFileInfo(path).size());
        std::printf("\n%lld rows, List.txt %.1f MB (%.0f bytes a row), processor time, best of %d where timed alone\n",
            rows, bytes / 1e6, bytes / double(rows), Rounds);
        storage(path, QCoreApplication::applicationFilePath(), bytes);
        startUp(dir.path(), path, QCoreApplication::applicationFilePath());
        window(dir.path());
        std::fflush(stdout);
    }
    return 0;
}
