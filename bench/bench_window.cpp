// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// Main-window benchmark on a generated 1,000,000-row List.txt: start-up to
// the first paint against a bare LoadCatalog of the same file, RefreshView,
// the memory the visible rows add, a drop of 10,000 files, and the list
// operations (assign, remove, sort). Runs on the offscreen platform.
//
//   build/bin/bench_window [rows]
#include "CatalogItem.h"
#include "DataFolder.h"
#include "Form1.h"
#include "ListFile.h"
#include "ValueTabStrip.h"
#include "VisibleListModel.h"
#include "VisibleListSort.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QRandomGenerator>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <malloc.h>
#include <memory>
#include <unistd.h>

namespace {

const char16_t *const Words[] = { u"アニメ", u"映画", u"ドラマ", u"音楽", u"movie", u"clip", u"Final", u"episode",
    u"ライブ", u"旅行", u"sample", u"第一話" };
const char16_t *const Genres[] = { u"アニメ", u"映画", u"音楽", u"ドキュメンタリー", u"" };

CatalogItem randomRow(QRandomGenerator &rng)
{
    std::array<QString, CatalogItem::StoredFieldCount> f;
    f[0] = QString::fromUtf16(Words[rng.bounded(12)]) + QString::fromUtf16(Words[rng.bounded(12)])
        + QString::number(rng.bounded(1000000)) + QStringLiteral(".avi");
    f[1] = QStringLiteral("%L1").arg(rng.bounded(1, 4000000) / 1000.0, 0, 'f', 3);
    f[2] = QStringLiteral("AVI");
    f[3] = QStringLiteral("640×480");
    f[4] = QStringLiteral("00:%1:10").arg(rng.bounded(10, 59));
    f[5] = QStringLiteral("DivX");
    f[6] = QStringLiteral("2003/05/%1").arg(rng.bounded(10, 28));
    f[7] = QStringLiteral("2004/01/%1").arg(rng.bounded(10, 28));
    f[8] = QString::fromUtf16(Genres[rng.bounded(5)]);
    return CatalogItem::fromStoredFields(f);
}

double residentMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = statm.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0) : 0;
}

// Heap bytes in use, small blocks and mapped ones.
double heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks) + double(info.hblkhd);
}

// Runs f and returns its milliseconds.
template<class F> double timed(F &&f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

class FirstPaint : public QObject
{
public:
    bool painted = false;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

void selectEveryTenth(QTableView *view)
{
    QItemSelection selection;
    const int rows = view->model()->rowCount();
    for (int row = 0; row < rows; row += 10)
        selection.select(view->model()->index(row, 0), view->model()->index(row, VisibleListModel::ColumnCount - 1));
    view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? QByteArray(argv[1]).toInt() : 1000000;
    QTemporaryDir dir;
    qputenv("ZARUMI_DATA_DIR", dir.path().toUtf8());
    const QString listPath = QDir(dir.path()).filePath(QStringLiteral("List.txt"));

    {
        QRandomGenerator rng(20261207);
        Catalog generated;
        generated.reserve(rows);
        for (int i = 0; i < rows; ++i)
            generated.append(randomRow(rng));
        if (!SaveCatalog(listPath, generated).ok)
            return 1;
        QFile lists(QDir(dir.path()).filePath(QStringLiteral("List01.txt")));
        lists.open(QIODevice::WriteOnly);
        lists.write(QStringLiteral("アニメ\r\n映画\r\n音楽\r\nドキュメンタリー\r\n").toUtf8());
    }
    std::printf("rows: %d, List.txt %.1f MiB\n", rows, double(QFileInfo(listPath).size()) / (1024.0 * 1024.0));

    double bareLoad = 0;
    {
        Catalog bare;
        bareLoad = timed([&] { LoadCatalog(listPath, bare); });
    }
    std::printf("bare LoadCatalog:                       %8.0f ms\n", bareLoad);

    FirstPaint paint;
    std::unique_ptr<Form1> window;
    QElapsedTimer startUp;
    startUp.start();
    window = std::make_unique<Form1>(dir.path());
    window->listView()->viewport()->installEventFilter(&paint);
    window->show();
    while (!paint.painted)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const double toPaint = double(startUp.nsecsElapsed()) / 1e6;
    std::printf("start-up to first paint:                %8.0f ms  (%.2f x bare load; target <= 2)\n", toPaint,
        toPaint / bareLoad);

    Form1 *w = window.get();
    auto *strip = w->findChild<ValueTabStrip *>(QStringLiteral("TabStrip1"));
    const auto refresh = [&](int tab) {
        double ms = 0;
        const double withPaint = timed([&] {
            ms = timed([&] { strip->setCurrentIndex(tab); });
            w->listView()->viewport()->repaint();
        });
        std::printf("RefreshView, %s (%7d rows):  %5.0f ms, with the repaint %5.0f ms  (target < 200)\n",
            qPrintable(strip->tabText(tab)), w->visibleModel()->rowCount(), ms, withPaint);
    };
    refresh(2);
    refresh(0);

    // Memory: an empty view against one that shows every row.
    w->categoryLists().list(1).append(QStringLiteral("どの行にも無い値"));
    strip->addTab(QStringLiteral("どの行にも無い値"));
    strip->setCurrentIndex(strip->count() - 1);
    QCoreApplication::processEvents();
    const double emptyRss = residentMiB();
    const double emptyHeap = heapInUse();
    strip->setCurrentIndex(0);
    w->listView()->viewport()->repaint();
    QCoreApplication::processEvents();
    const double shown = double(w->visibleModel()->rowCount());
    std::printf("memory added by showing all rows: heap %.1f, resident %.1f bytes per row (target <= 16)\n",
        (heapInUse() - emptyHeap) / shown, (residentMiB() - emptyRss) * 1024.0 * 1024.0 / shown);

    {
        std::vector<int> order;
        const double compute = timed([&] { order = VisibleListSortOrder(*w->visibleModel(), 1, Qt::AscendingOrder); });
        const double apply = timed([&] { w->visibleModel()->reorder(order); });
        std::printf("  (size order computed in %.0f ms, applied to the view in %.0f ms)\n", compute, apply);
    }
    const double byName = timed([&] { w->SortByColumn(1); });
    std::printf(
        "sort %d visible rows by name:      %8.0f ms  (target < 1500)\n", w->visibleModel()->rowCount(), byName);
    const double bySize = timed([&] { w->SortByColumn(2); });
    std::printf(
        "sort %d visible rows by size:      %8.0f ms  (target < 1500)\n", w->visibleModel()->rowCount(), bySize);
    strip->setCurrentIndex(0); // (sorting stays on: the refill comes sorted)

    w->categoryLists().list(2).append(QStringLiteral("ベンチ"));
    selectEveryTenth(w->listView());
    const double assign = timed([&] { w->AssignCategory(2, 2); });
    std::printf("assign a value to %d selected rows:  %8.0f ms  (target < 1000)\n", rows / 10, assign);
    const double remove = timed([&] { w->RemoveSelectedRows(); });
    std::printf("remove %d selected rows:             %8.0f ms  (target < 1000), %lld rows left\n", rows / 10, remove,
        qint64(w->catalog().size()));

    // A drop of 10,000 files that are no media files.
    const QString dropFolder = QDir(dir.path()).filePath(QStringLiteral("drop"));
    QDir().mkpath(dropFolder);
    QList<QUrl> urls;
    for (int i = 0; i < 10000; ++i) {
        const QString path = QDir(dropFolder).filePath(QStringLiteral("note%1.txt").arg(i));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("text");
        urls.append(QUrl::fromLocalFile(path));
    }
    QMimeData data;
    data.setUrls(urls);
    QElapsedTimer drop;
    drop.start();
    w->AddDroppedFiles(data);
    while (w->isDropRunning())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    std::printf("drop of 10,000 text files to the closing text: %5.0f ms  (target < 3000) \"%s\"\n",
        double(drop.nsecsElapsed()) / 1e6, qPrintable(w->statusText()));

    window.reset();
    return 0;
}
