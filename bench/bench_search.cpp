// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// Name search and duplicate finder on a catalogue of a million rows.
//
// The catalogue is built in memory: names of varied length, a third of them
// Japanese, a fifth copied from an earlier row (the same file burnt on
// another disc, same size text), a few names found on many discs
// (autorun.inf and the like), sizes that rarely repeat otherwise.

#include "CatalogSearch.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <functional>

#include <time.h>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype FullSize = 1'000'000;
constexpr qsizetype SampleSize = 20'000;

const QStringList latinWords { u"holiday"_s, u"Movie"_s, u"track"_s, u"DSC"_s, u"report"_s, u"Setup"_s, u"backup"_s,
    u"concert"_s, u"Final"_s, u"draft"_s, u"episode"_s, u"IMG"_s, u"family"_s, u"demo"_s, u"Live"_s, u"project"_s,
    u"summer"_s, u"trip"_s };
const QStringList japaneseWords { u"アニメ"_s, u"旅行"_s, u"写真"_s, u"ドラマ"_s, u"音楽"_s, u"ライブ"_s, u"家族"_s,
    u"記録"_s, u"ｱﾆﾒ"_s, u"ｶﾞﾝﾀﾞﾑ"_s, u"えいが"_s, u"運動会"_s, u"卒業式"_s, u"ニュース"_s, u"特集"_s, u"第"_s, u"話"_s,
    u"総集編"_s };
const QStringList extensions { u".avi"_s, u".mpg"_s, u".mp3"_s, u".jpg"_s, u".txt"_s, u".AVI"_s, u".wmv"_s, u".zip"_s,
    u".JPG"_s, u".mkv"_s };
const QStringList discNames { u"autorun.inf"_s, u"desktop.ini"_s, u"Thumbs.db"_s, u"VIDEO_TS.IFO"_s, u"VIDEO_TS.BUP"_s,
    u"README.TXT"_s, u"setup.exe"_s, u"index.html"_s, u"AUDIO_TS"_s, u"icon.ico"_s };

struct Generator
{
    QRandomGenerator random { 20031201 };

    int below(int n) { return int(random.bounded(n)); }
    const QString &pick(const QStringList &list) { return list.at(below(int(list.size()))); }

    QString latinName()
    {
        QString name = pick(latinWords);
        for (int words = below(4); words > 0; --words)
            name += (below(2) ? u"_"_s : u" "_s) + pick(latinWords);
        return name + QString::number(below(100000)) + pick(extensions);
    }

    QString japaneseName()
    {
        QString name;
        for (int words = 1 + below(4); words > 0; --words)
            name += pick(japaneseWords);
        return name + QString::number(below(1000)) + u"話"_s + pick(extensions);
    }

    QString sizeText()
    {
        if (below(1000) == 0)
            return u"不明"_s;
        const qint64 bytes = qint64(random.bounded(quint64(4'000'000'000)));
        return QLocale::c().toString(double(bytes) / 1000.0, 'f', 3);
    }
};

CatalogItem makeRow(const QString &name, const QString &size, Generator &gen)
{
    std::array<QString, CatalogItem::StoredFieldCount> fields;
    fields[CatalogItem::Name] = name;
    fields[CatalogItem::FileSize] = size;
    fields[CatalogItem::Kind] = name.section(u'.', -1).toUpper();
    fields[CatalogItem::PictureSize] = gen.below(3) ? QString() : u"640×480"_s;
    fields[CatalogItem::PlayTime] = gen.below(3) ? QString() : u"00:23:40"_s;
    fields[CatalogItem::Codec] = gen.below(4) ? QString() : u"DivX"_s;
    fields[CatalogItem::Modified] = u"2003/05/01"_s;
    fields[CatalogItem::Registered] = u"2003/05/20"_s;
    if (gen.below(3) == 0)
        fields[CatalogItem::Genre1] = u"アニメ"_s;
    return CatalogItem::fromStoredFields(fields);
}

Catalog realisticCatalog(qsizetype n)
{
    Generator gen;
    Catalog catalog;
    catalog.reserve(n);
    for (qsizetype i = 0; i < n; ++i) {
        const int roll = gen.below(1000);
        if (roll < 200 && i > 0) {
            const CatalogItem &earlier = catalog.at(gen.random.bounded(i));
            catalog.append(makeRow(earlier.text(CatalogItem::Name), earlier.text(CatalogItem::FileSize), gen));
        } else if (roll < 204) {
            catalog.append(makeRow(gen.pick(discNames), gen.sizeText(), gen));
        } else if (roll < 537) {
            catalog.append(makeRow(gen.japaneseName(), gen.sizeText(), gen));
        } else {
            catalog.append(makeRow(gen.latinName(), gen.sizeText(), gen));
        }
    }
    return catalog;
}

Catalog unknownSizeCatalog(qsizetype n)
{
    Generator gen;
    Catalog catalog;
    catalog.reserve(n);
    for (qsizetype i = 0; i < n; ++i)
        catalog.append(makeRow(gen.latinName(), u"不明"_s, gen));
    return catalog;
}

Catalog firstRows(const Catalog &catalog, qsizetype n)
{
    Catalog sample;
    sample.reserve(n);
    for (qsizetype i = 0; i < n; ++i)
        sample.append(catalog.at(i));
    return sample;
}

// Processor time of this thread, in milliseconds: on a shared machine the
// wall time also counts the waits for a core.
double processCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

struct Timing
{
    double wallMs = 1e300;
    double cpuMs = 1e300;
};

// Best of three runs, wall and processor time each.
Timing bestOfThree(const std::function<void()> &run)
{
    Timing best;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = processCpuMs();
        run();
        best.cpuMs = std::min(best.cpuMs, processCpuMs() - cpuStart);
        best.wallMs = std::min(best.wallMs, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

// The plain enumeration: every pair i < j compared on the key. The key
// views are taken once per row, which favours this method slightly.
qint64 allPairs(const Catalog &catalog, DuplicateKey key, QList<qsizetype> &rows)
{
    const qsizetype n = catalog.size();
    std::vector<QUtf8StringView> names(static_cast<size_t>(n)), sizes(static_cast<size_t>(n));
    for (qsizetype i = 0; i < n; ++i) {
        names[size_t(i)] = catalog.field(i, CatalogItem::Name);
        sizes[size_t(i)] = catalog.field(i, CatalogItem::FileSize);
    }
    const bool byName = key != DuplicateKey::Size;
    const bool bySize = key != DuplicateKey::Name;
    qint64 pairs = 0;
    for (qsizetype i = 0; i < n; ++i) {
        for (qsizetype j = i + 1; j < n; ++j) {
            if ((byName && names[size_t(i)] != names[size_t(j)]) || (bySize && sizes[size_t(i)] != sizes[size_t(j)]))
                continue;
            rows << i << j;
            ++pairs;
        }
    }
    return pairs;
}

long statusKb(const char *field)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Lets the peak resident size start again from the current size.
bool resetPeakRss()
{
    QFile clearRefs(u"/proc/self/clear_refs"_s);
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

QString loadAverage()
{
    QFile file(u"/proc/loadavg"_s);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).section(u' ', 0, 2) : u"?"_s;
}

const char *keyName(DuplicateKey key)
{
    switch (key) {
    case DuplicateKey::Name:
        return "name";
    case DuplicateKey::Size:
        return "size";
    case DuplicateKey::NameAndSize:
        return "name+size";
    }
    return "?";
}

void benchSearch(const Catalog &catalog)
{
    std::printf("\nsearch (best of 3), %lld rows\n", qlonglong(catalog.size()));
    const QStringList texts { u"avi"_s, u"ｱﾆﾒ"_s, u"あにめ"_s, u"第1"_s, u""_s, u"zzqx"_s, u"ＲＥＡＤＭＥ"_s,
        u"運動会卒業式"_s };
    for (const QString &text : texts) {
        qsizetype hits = 0;
        const Timing t = bestOfThree([&] { hits = SearchCatalog(catalog, text).size(); });
        std::printf("  %-16s %9lld hits %8.1f ms wall %8.1f ms cpu %s\n", qPrintable(u'"' + text + u'"'),
            qlonglong(hits), t.wallMs, t.cpuMs, t.wallMs < 200 ? "(< 200 ms)" : "(OVER 200 ms)");
    }
}

void benchDuplicates(const Catalog &catalog)
{
    std::printf("\nduplicate finder (best of 3), %lld rows\n", qlonglong(catalog.size()));
    for (DuplicateKey key : { DuplicateKey::Name, DuplicateKey::Size, DuplicateKey::NameAndSize }) {
        DuplicateResult result;
        const Timing t = bestOfThree([&] { result = FindDuplicatePairs(catalog, key); });
        std::printf("  %-10s %10lld pairs %10lld rows%s %8.1f ms wall %8.1f ms cpu %s\n", keyName(key),
            qlonglong(result.pairCount), qlonglong(result.rows.size()), result.truncated ? " (truncated)" : "",
            t.wallMs, t.cpuMs, t.wallMs < 1000 ? "(< 1 s)" : "(OVER 1 s)");
    }
}

void benchAgainstAllPairs(const Catalog &catalog)
{
    const Catalog sample = firstRows(catalog, SampleSize);
    const double scale = double(FullSize) * double(FullSize - 1) / (double(SampleSize) * double(SampleSize - 1));
    std::printf("\nall pairs on the first %lld rows, extrapolated by n^2 to %lld rows (processor time)\n",
        qlonglong(SampleSize), qlonglong(FullSize));
    for (DuplicateKey key : { DuplicateKey::Name, DuplicateKey::Size, DuplicateKey::NameAndSize }) {
        QList<qsizetype> plainRows;
        const double cpuStart = processCpuMs();
        const qint64 plainPairs = allPairs(sample, key, plainRows);
        const double plainMs = processCpuMs() - cpuStart;
        DuplicateResult fastSample;
        const double fastSampleMs = bestOfThree([&] { fastSample = FindDuplicatePairs(sample, key); }).cpuMs;
        DuplicateResult fastFull;
        const double fastFullMs = bestOfThree([&] { fastFull = FindDuplicatePairs(catalog, key); }).cpuMs;
        const bool same = fastSample.rows == plainRows && fastSample.pairCount == plainPairs;
        std::printf("  %-10s all pairs %8.1f ms (same rows: %s), grouped %6.2f ms, ratio %6.0fx at %lld rows\n",
            keyName(key), plainMs, same ? "yes" : "NO", fastSampleMs, plainMs / fastSampleMs, qlonglong(SampleSize));
        std::printf("  %-10s all pairs extrapolated %8.0f s, grouped measured %6.1f ms, ratio %8.0fx at %lld rows\n",
            keyName(key), plainMs * scale / 1000.0, fastFullMs, plainMs * scale / fastFullMs, qlonglong(FullSize));
    }
}

void benchUnknownSizes()
{
    Catalog catalog = unknownSizeCatalog(FullSize);
    const long rssCatalog = statusKb("VmRSS:");
    const bool reset = resetPeakRss();
    QElapsedTimer timer;
    timer.start();
    const double cpuStart = processCpuMs();
    const DuplicateResult result = FindDuplicatePairs(catalog, DuplicateKey::Size);
    const double cpuMs = processCpuMs() - cpuStart;
    const double ms = timer.nsecsElapsed() / 1e6;
    const long peak = statusKb("VmHWM:");
    std::printf("\nevery size text \"不明\", %lld rows, item size\n", qlonglong(catalog.size()));
    std::printf("  %lld pairs, %lld rows listed, truncated=%s, %.1f ms wall %.1f ms cpu\n", qlonglong(result.pairCount),
        qlonglong(result.rows.size()), result.truncated ? "true" : "false", ms, cpuMs);
    std::printf("  status: %s\n", qPrintable(DuplicateStatusText(result)));
    std::printf("  RSS with the catalogue %ld MB; peak during the run %ld MB, %ld MB above it%s\n", rssCatalog / 1024,
        peak / 1024, (peak - rssCatalog) / 1024, reset ? "" : " (peak not reset: since start)");
}

} // namespace

int main()
{
    std::printf("load average at start: %s\n", qPrintable(loadAverage()));
    QElapsedTimer timer;
    timer.start();
    {
        const Catalog catalog = realisticCatalog(FullSize);
        std::printf("built %lld rows in %.1f s, RSS %ld MB\n", qlonglong(catalog.size()), timer.nsecsElapsed() / 1e9,
            statusKb("VmRSS:") / 1024);
        benchSearch(catalog);
        benchDuplicates(catalog);
        benchAgainstAllPairs(catalog);
    }
    benchUnknownSizes();
    return 0;
}
