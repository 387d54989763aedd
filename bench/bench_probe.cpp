// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// Probe of dropped files: the in-process probe against one ffprobe process
// per media file, and the cost of a non-media file.
//
// The media files (AVI, MPEG program streams, MOV, WMV, WAV, MP3, a few
// seconds each) are made with the ffmpeg command at start; the 10,000
// non-media files are written as small files, a fifth of them of a header
// kind (JPG, ZIP, EXE, PNG, GIF...), the rest of kinds that are never opened.
//
// usage: bench_probe [NON_MEDIA_FILES]

#include "ProbeFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int ProbeRounds = 20;
constexpr int FfprobeRounds = 3;
constexpr double MediaTarget = 10.0; // times faster than ffprobe
constexpr double NonMediaTargetMicroseconds = 50.0;

struct MediaFixture
{
    const char *name;
    QStringList arguments;
};

QStringList picture(int rate)
{
    return { "-f", "lavfi", "-i", QStringLiteral("testsrc=size=320x240:rate=%1:duration=4").arg(rate) };
}

const QStringList Tone { "-f", "lavfi", "-i", "sine=duration=4" };

QList<MediaFixture> mediaFixtures()
{
    return {
        { "divx.avi", picture(25) + Tone + QStringList { "-c:v", "mpeg4", "-vtag", "DIVX", "-c:a", "libmp3lame" } },
        { "mpeg1.mpg", picture(25) + Tone + QStringList { "-c:v", "mpeg1video", "-c:a", "mp2", "-f", "mpeg" } },
        { "dvd.mpeg", picture(25) + Tone + QStringList { "-c:v", "mpeg2video", "-c:a", "mp2", "-f", "vob" } },
        { "clip.mov", picture(25) + Tone + QStringList { "-c:v", "mpeg4", "-c:a", "pcm_s16le" } },
        { "clip.wmv", picture(25) + Tone + QStringList { "-c:v", "wmv2", "-c:a", "wmav2" } },
        { "tone.wav", Tone + QStringList { "-c:a", "pcm_s16le" } },
        { "song.mp3", Tone + QStringList { "-c:a", "libmp3lame" } },
    };
}

bool makeMedia(const QString &ffmpeg, const QDir &dir, const MediaFixture &fixture)
{
    QProcess process;
    process.start(ffmpeg,
        QStringList { "-hide_banner", "-loglevel", "error", "-nostdin", "-y" } + fixture.arguments
            + QStringList { dir.filePath(fixture.name) });
    return process.waitForFinished(120'000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

struct NonMediaFiles
{
    QStringList headerKinds;
    QStringList otherKinds;
};

NonMediaFiles makeNonMedia(const QDir &dir, int count)
{
    static const QList<QPair<const char *, QByteArray>> headerKinds {
        { "jpg", QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10) },
        { "zip", "PK\x03\x04" },
        { "exe", "MZ" + QByteArray(70, '\0') + "This program cannot be run in DOS mode." },
        { "png", "\x89PNG\r\n\x1A\n" },
        { "gif", "GIF89a" },
        { "lzh", "  -lh5-" },
        { "bmp", "BM" },
        { "rar", "Rar!\x1A\x07" },
    };
    static const QStringList otherKinds { "txt", "doc", "html", "c", "ini", "dat", "log", "ico", "inf", "" };
    QRandomGenerator random(2026);
    NonMediaFiles files;
    for (int i = 0; i < count; ++i) {
        QByteArray bytes(int(random.bounded(100, 4000)), 'a' + char(i % 26));
        QString name = QStringLiteral("file%1").arg(i, 5, 10, QLatin1Char('0'));
        const bool header = i % 5 == 0;
        if (header) {
            const auto &[kind, start] = headerKinds[(i / 5) % headerKinds.size()];
            bytes.replace(0, start.size(), start);
            name += u'.' + QLatin1StringView(kind);
        } else {
            const QString kind = otherKinds[i % otherKinds.size()];
            if (!kind.isEmpty())
                name += u'.' + kind;
        }
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            std::exit(1);
        }
        (header ? files.headerKinds : files.otherKinds).append(file.fileName());
    }
    return files;
}

// Mean time per file in microseconds of probing every path, rounds times.
double probeOnceMicroseconds(const QStringList &paths, int rounds, qint64 *checksum)
{
    QElapsedTimer timer;
    timer.start();
    for (int r = 0; r < rounds; ++r) {
        for (const QString &path : paths)
            *checksum += ProbeFile(path).codec.size();
    }
    return double(timer.nsecsElapsed()) / 1000.0 / double(rounds) / double(paths.size());
}

double ffprobeMicroseconds(const QString &ffprobe, const QString &path, int rounds)
{
    QElapsedTimer timer;
    timer.start();
    for (int r = 0; r < rounds; ++r) {
        QProcess process;
        process.start(ffprobe, { "-v", "error", "-show_format", "-show_streams", path });
        if (!process.waitForFinished(60'000) || process.readAllStandardOutput().isEmpty()) {
            std::fprintf(stderr, "ffprobe failed on %s\n", qPrintable(path));
            std::exit(1);
        }
    }
    return double(timer.nsecsElapsed()) / 1000.0 / double(rounds);
}

const char *verdict(bool met)
{
    return met ? "met" : "MISSED";
}

void benchMedia(const QString &ffprobe, const QDir &dir)
{
    std::printf("\nMedia files: ProbeFile (%d rounds) against one ffprobe process per file (%d rounds)\n", ProbeRounds,
        FfprobeRounds);
    std::printf("%-10s %10s %-10s %-9s %-12s %12s %12s %8s\n", "file", "bytes", "picture", "play", "codec", "probe µs",
        "ffprobe µs", "ratio");
    double probeTotal = 0;
    double ffprobeTotal = 0;
    qint64 checksum = 0;
    for (const MediaFixture &fixture : mediaFixtures()) {
        const QString path = dir.filePath(fixture.name);
        const ProbeResult result = ProbeFile(path);
        const double probe = probeOnceMicroseconds({ path }, ProbeRounds, &checksum);
        const double process = ffprobeMicroseconds(ffprobe, path, FfprobeRounds);
        probeTotal += probe;
        ffprobeTotal += process;
        std::printf("%-10s %10lld %-10s %-9s %-12s %12.1f %12.1f %7.1fx\n", fixture.name, qlonglong(result.length),
            qPrintable(result.pictureSize), qPrintable(result.playTime), qPrintable(result.codec), probe, process,
            process / probe);
    }
    const qsizetype n = mediaFixtures().size();
    const double ratio = ffprobeTotal / probeTotal;
    std::printf("mean per media file: ProbeFile %.1f µs, ffprobe %.1f µs, ratio %.1fx (target >= %.0fx: %s)\n",
        probeTotal / double(n), ffprobeTotal / double(n), ratio, MediaTarget, verdict(ratio >= MediaTarget));
}

void benchNonMedia(const NonMediaFiles &files)
{
    QStringList all = files.headerKinds + files.otherKinds;
    qint64 checksum = 0;
    const double firstPass = probeOnceMicroseconds(all, 1, &checksum);
    const double allFiles = probeOnceMicroseconds(all, 5, &checksum);
    const double headerKinds = probeOnceMicroseconds(files.headerKinds, 5, &checksum);
    const double otherKinds = probeOnceMicroseconds(files.otherKinds, 5, &checksum);
    std::printf("\nNon-media files: %lld (%lld of header kinds, %lld never opened)\n", qlonglong(all.size()),
        qlonglong(files.headerKinds.size()), qlonglong(files.otherKinds.size()));
    std::printf("first pass             %8.2f µs per file\n", firstPass);
    std::printf("all, 5 passes          %8.2f µs per file (target < %.0f µs: %s)\n", allFiles,
        NonMediaTargetMicroseconds, verdict(allFiles < NonMediaTargetMicroseconds));
    std::printf("header kinds (read)    %8.2f µs per file (target < %.0f µs: %s)\n", headerKinds,
        NonMediaTargetMicroseconds, verdict(headerKinds < NonMediaTargetMicroseconds));
    std::printf("other kinds (look-up)  %8.2f µs per file\n", otherKinds);
    std::printf("(codec texts found: %lld)\n", checksum);
}

} // namespace

int main(int argc, char **argv)
{
    const int nonMediaCount = argc > 1 ? std::atoi(argv[1]) : 10'000;
    const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
    const QString ffprobe = QStandardPaths::findExecutable("ffprobe");
    if (ffmpeg.isEmpty() || ffprobe.isEmpty() || nonMediaCount <= 0) {
        std::fprintf(
            stderr, "bench_probe needs the ffmpeg and ffprobe commands; usage: bench_probe [NON_MEDIA_FILES]\n");
        return 2;
    }
    QTemporaryDir temporary;
    const QDir dir(temporary.path());
    for (const MediaFixture &fixture : mediaFixtures()) {
        if (!makeMedia(ffmpeg, dir, fixture)) {
            std::fprintf(stderr, "ffmpeg could not make %s\n", fixture.name);
            return 1;
        }
    }
    const NonMediaFiles nonMedia = makeNonMedia(dir, nonMediaCount);
    qint64 warmUp = 0;
    probeOnceMicroseconds({ dir.filePath("divx.avi") }, 1, &warmUp);

    benchMedia(ffprobe, dir);
    benchNonMedia(nonMedia);
    return 0;
}
