// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// Storage benchmark: a realistic 1,000,000-row List.txt (RealisticList)
// loaded and saved by the core, side by side with the iconv command on the
// same file, and the memory a loaded catalogue holds against the file size.
//
//   build/bin/bench_storage [rows]
#include "Cp932Codec.h"
#include "ListFile.h"
#include "RealisticList.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <iconv.h>
#include <memory>

namespace {

constexpr int Rounds = 3;

// Best of Rounds runs, in seconds; prepare runs before each, untimed.
double best(const std::function<void()> &run, const std::function<void()> &prepare = {})
{
    double fastest = 1e30;
    for (int r = 0; r < Rounds; ++r) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        run();
        fastest = std::min(fastest, timer.nsecsElapsed() / 1e9);
    }
    return fastest;
}

qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

double iconvCommand(const QString &path)
{
    return best([&] {
        QProcess iconvProcess;
        iconvProcess.setStandardOutputFile(QProcess::nullDevice());
        iconvProcess.start(QStringLiteral("iconv"),
            { QStringLiteral("-f"), QStringLiteral("CP932"), QStringLiteral("-t"), QStringLiteral("UTF-8"), path });
        iconvProcess.waitForFinished(-1);
        if (iconvProcess.exitCode() != 0)
            std::printf("iconv failed: %s\n", qPrintable(iconvProcess.readAllStandardError()));
    });
}

// The three converters on the whole file's bytes, in process.
void compareConverters(const QByteArray &bytes)
{
    std::vector<char16_t> out(size_t(bytes.size()));
    const double table = best([&] {
        qint64 bad = 0;
        Cp932Codec::instance().decode(bytes, out.data(), bad);
    });
    const double libc = best([&] {
        iconv_t cd = iconv_open("UTF-16LE", "CP932");
        char *in = const_cast<char *>(bytes.constData());
        char *o = reinterpret_cast<char *>(out.data());
        size_t inLeft = size_t(bytes.size()), outLeft = out.size() * 2;
        iconv(cd, &in, &inLeft, &o, &outLeft);
        iconv_close(cd);
    });
    QStringDecoder icu("windows-31j");
    double icuTime = -1;
    if (icu.isValid()) {
        icuTime = best([&] {
            QStringDecoder decoder("windows-31j");
            QString text = decoder.decode(bytes);
        });
    }
    std::printf("converters on the whole file (decode to UTF-16):\n");
    std::printf("  own table (chosen)            %8.3f s\n", table);
    std::printf("  glibc iconv CP932 in process  %8.3f s  (%.2fx the table)\n", libc, libc / table);
    if (icuTime >= 0)
        std::printf("  ICU via QStringDecoder        %8.3f s  (%.2fx the table)\n", icuTime, icuTime / table);
    else
        std::printf("  ICU via QStringDecoder        unavailable in this Qt\n");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qint64 rows = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1'000'000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("List.txt"));
    const QString savePath = dir.filePath(QStringLiteral("saved/List.txt"));
    QDir(dir.path()).mkdir(QStringLiteral("saved"));
    if (!RealisticList::write(path, rows)) {
        std::printf("could not generate %s\n", qPrintable(path));
        return 1;
    }
    const qint64 fileSize = QFileInfo(path).size();
    std::printf("List.txt: %lld rows, %.1f MB, code page 932 (best of %d runs each)\n", rows, fileSize / 1e6, Rounds);

    // Memory first, in a clean process state.
    const qint64 before = residentKiB();
    Catalog held;
    const CatalogLoadReport report = LoadCatalog(path, held);
    const qint64 after = residentKiB();
    const double memoryRatio = (after - before) * 1024.0 / double(fileSize);
    if (report.rows != rows || report.malformedLines != 0 || report.undecodableChars != 0) {
        std::printf("load gave %lld rows, %lld malformed, %lld undecodable\n", report.rows, report.malformedLines,
            report.undecodableChars);
        return 1;
    }

    compareConverters(readFile(path));
    const double iconvTime = iconvCommand(path);
    std::unique_ptr<Catalog> loaded;
    const double loadTime = best([&] { LoadCatalog(path, *loaded); }, [&] { loaded = std::make_unique<Catalog>(); });
    loaded.reset();
    double saveTime = best([&] {
        const FileResult saved = SaveCatalog(savePath, held);
        if (!saved.ok)
            std::printf("save failed: %s\n", qPrintable(saved.statusText()));
    });
    const bool same = readFile(savePath) == readFile(path);

    std::printf("\n");
    std::printf("iconv -f CP932 -t UTF-8       %8.3f s\n", iconvTime);
    std::printf("LoadCatalog                   %8.3f s   ratio %.2f  (target <= 3)\n", loadTime, loadTime / iconvTime);
    std::printf("SaveCatalog                   %8.3f s   ratio %.2f  (target <= 3)  saved file %s\n", saveTime,
        saveTime / iconvTime, same ? "identical" : "DIFFERENT");
    std::printf("resident memory after load    %8.1f MB  ratio %.2f of the file  (target <= 3)\n",
        (after - before) / 1024.0, memoryRatio);
    return 0;
}
