// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "FfmpegMediaQuery.h"
#include "ProbeFile.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QStringList BitExact { "-fflags", "+bitexact", "-flags:v", "+bitexact", "-flags:a", "+bitexact" };

QStringList picture(const QString &size, int rate)
{
    return { "-f", "lavfi", "-i", QStringLiteral("testsrc=size=%1:rate=%2:duration=2.4").arg(size).arg(rate) };
}

QStringList tone(const QString &options = "duration=2.4")
{
    return { "-f", "lavfi", "-i", "sine=" + options };
}

} // namespace

// Real media made with the ffmpeg command, probed through FFmpeg's library.
class TestMediaProbe : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void probe_data();
    void probe();
    void exactDurations_data();
    void exactDurations();
    void coverArtIsAnAttachedPicture();
    void damaged_data();
    void damaged();
    void timeLimitEndsTheQuery();
    void readLimitBoundsZeroFilledFiles_data();
    void readLimitBoundsZeroFilledFiles();
    void queryOfNonRegularFile();
    void nameNotUtf8();
    void queryLeavesFileAlone();

private:
    void make(const QString &name, const QStringList &arguments);
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    QString m_ffmpeg;
};

void TestMediaProbe::make(const QString &name, const QStringList &arguments)
{
    QProcess ffmpeg;
    ffmpeg.start(m_ffmpeg,
        QStringList { "-hide_banner", "-loglevel", "error", "-nostdin", "-y" } + arguments + BitExact
            + QStringList { path(name) });
    if (!ffmpeg.waitForFinished(60'000) || ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0)
        qFatal("ffmpeg could not make %s: %s", qPrintable(name), ffmpeg.readAllStandardError().constData());
}

void TestMediaProbe::initTestCase()
{
    m_ffmpeg = QStandardPaths::findExecutable("ffmpeg");
    if (m_ffmpeg.isEmpty())
        QSKIP("the ffmpeg command is needed to make the media fixtures");
    QVERIFY(m_dir.isValid());
    make("clip.avi", picture("160x120", 10) + tone() + QStringList { "-c:v", "mpeg4", "-vtag", "DIVX", "-c:a", "mp2" });
    make("xvid.avi", picture("160x120", 10) + QStringList { "-c:v", "mpeg4", "-vtag", "XVID" });
    make("clip.mpg",
        picture("160x120", 25) + tone() + QStringList { "-c:v", "mpeg1video", "-c:a", "mp2", "-f", "mpeg" });
    make(
        "dvd.mpeg", picture("176x144", 25) + tone() + QStringList { "-c:v", "mpeg2video", "-c:a", "mp2", "-f", "vob" });
    make("clip.mov", picture("160x120", 10) + QStringList { "-c:v", "mpeg4", "-movflags", "+faststart" });
    make("clip.wmv", picture("160x120", 10) + tone() + QStringList { "-c:v", "wmv2", "-c:a", "wmav2" });
    make("tone.wav", tone() + QStringList { "-c:a", "pcm_s16le" });
    make("long.wav", tone("duration=61.5:sample_rate=8000") + QStringList { "-c:a", "pcm_u8" });
    make("song.mp3", tone() + QStringList { "-c:a", "libmp3lame" });
    make("song.mp2", tone() + QStringList { "-c:a", "mp2" });
    make("cover.png", { "-f", "lavfi", "-i", "testsrc=size=64x48", "-frames:v", "1" });
    make("cover.mp3",
        { "-i", path("song.mp3"), "-i", path("cover.png"), "-map", "0", "-map", "1", "-c", "copy", "-disposition:v",
            "attached_pic" });
}

void TestMediaProbe::probe_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pictureSize");
    QTest::addColumn<QString>("playTime");
    QTest::addColumn<QString>("codec");
    QTest::newRow("AVI DivX") << "clip.avi"
                              << "160×120"
                              << "00:00:02"
                              << "DivX";
    QTest::newRow("AVI XviD, no sound") << "xvid.avi"
                                        << "160×120"
                                        << "00:00:02"
                                        << "XviD";
    QTest::newRow("MPEG-1 program stream") << "clip.mpg"
                                           << "160×120"
                                           << "00:00:02"
                                           << "MPG";
    QTest::newRow("MPEG-2 program stream") << "dvd.mpeg"
                                           << "176×144"
                                           << "00:00:02"
                                           << "MPEG-2";
    QTest::newRow("MOV") << "clip.mov"
                         << "160×120"
                         << "00:00:02"
                         << "";
    QTest::newRow("WMV") << "clip.wmv"
                         << "160×120"
                         << "00:00:02"
                         << "WMV";
    QTest::newRow("WAV without signature") << "tone.wav"
                                           << ""
                                           << "00:00:02"
                                           << "";
    QTest::newRow("WAV over a minute") << "long.wav"
                                       << ""
                                       << "00:01:01"
                                       << "";
    QTest::newRow("MP3") << "song.mp3"
                         << ""
                         << "00:00:02"
                         << "";
    QTest::newRow("MP2") << "song.mp2"
                         << ""
                         << "00:00:02"
                         << "";
    QTest::newRow("MP3 with cover art") << "cover.mp3"
                                        << ""
                                        << "00:00:02"
                                        << "";
}

void TestMediaProbe::probe()
{
    QFETCH(QString, name);
    QFETCH(QString, pictureSize);
    QFETCH(QString, playTime);
    QFETCH(QString, codec);
    const ProbeResult result = ProbeFile(path(name), nullptr);
    QVERIFY(result.present);
    QCOMPARE(result.length, QFileInfo(path(name)).size());
    QCOMPARE(result.pictureSize, pictureSize);
    QCOMPARE(result.playTime, playTime);
    QCOMPARE(result.codec, codec);
}

void TestMediaProbe::exactDurations_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("microseconds");
    QTest::newRow("WAV 2.4 s") << "tone.wav" << Q_INT64_C(2'400'000);
    QTest::newRow("WAV 61.5 s") << "long.wav" << Q_INT64_C(61'500'000);
}

void TestMediaProbe::exactDurations()
{
    QFETCH(QString, name);
    QFETCH(qint64, microseconds);
    const MediaInfo info = FfmpegMediaQuery().query(path(name));
    QCOMPARE(info.durationMicroseconds, std::optional<qint64>(microseconds));
    QVERIFY(!info.sourceWidth && !info.sourceHeight);
}

// The fixture must really hold a video stream marked as attached picture,
// or the empty picture size above would prove nothing.
void TestMediaProbe::coverArtIsAnAttachedPicture()
{
    const QString ffprobe = QStandardPaths::findExecutable("ffprobe");
    if (ffprobe.isEmpty())
        QSKIP("the ffprobe command is needed to inspect the fixture");
    QProcess process;
    process.start(ffprobe,
        { "-v", "error", "-show_entries", "stream=codec_type,width:stream_disposition=attached_pic", "-of", "compact",
            path("cover.mp3") });
    QVERIFY(process.waitForFinished(30'000));
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    QVERIFY2(out.contains("codec_type=video|width=64|disposition:attached_pic=1"), qPrintable(out));
}

void TestMediaProbe::damaged_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("keep");
    QTest::addColumn<QString>("pictureSize");
    QTest::newRow("random bytes") << "junk.avi"
                                  << "" << 100'000 << "";
    QTest::newRow("AVI cut inside its headers") << "cut.avi"
                                                << "clip.avi" << 3000 << "";
    QTest::newRow("MP3 cut to a few bytes") << "cut.mp3"
                                            << "song.mp3" << 40 << "";
    QTest::newRow("WAV header only") << "cut.wav"
                                     << "tone.wav" << 44 << "";
    QTest::newRow("MPEG-2 cut in the middle") << "cut.mpeg"
                                              << "dvd.mpeg" << 30'000 << "176×144";
}

void TestMediaProbe::damaged()
{
    QFETCH(QString, name);
    QFETCH(QString, source);
    QFETCH(int, keep);
    QFETCH(QString, pictureSize);
    QByteArray bytes;
    if (source.isEmpty()) {
        QRandomGenerator random(20261207);
        bytes.resize(keep);
        for (char &b : bytes)
            b = char(random.bounded(256));
    } else {
        QFile file(path(source));
        QVERIFY(file.open(QIODevice::ReadOnly));
        bytes = file.read(keep);
    }
    QFile out(path(name));
    QVERIFY(out.open(QIODevice::WriteOnly));
    QCOMPARE(out.write(bytes), qint64(bytes.size()));
    out.close();

    QElapsedTimer timer;
    timer.start();
    const ProbeResult result = ProbeFile(path(name), nullptr);
    QVERIFY(timer.elapsed() < 5000);
    QVERIFY(result.present);
    QCOMPARE(result.length, qint64(keep));
    QCOMPARE(result.pictureSize, pictureSize);
    if (source.isEmpty() || keep < 100)
        QCOMPARE(result.playTime, QString());
}

void TestMediaProbe::timeLimitEndsTheQuery()
{
    const MediaInfo late = FfmpegMediaQuery(std::chrono::milliseconds(0)).query(path("clip.avi"));
    QVERIFY(!late.durationMicroseconds && !late.sourceWidth && !late.sourceHeight);
    const MediaInfo inTime = FfmpegMediaQuery().query(path("clip.avi"));
    QCOMPARE(inTime.sourceWidth, std::optional<int>(160));
    QCOMPARE(inTime.sourceHeight, std::optional<int>(120));
    QVERIFY(inTime.durationMicroseconds.value_or(0) >= 2'300'000);
}

void TestMediaProbe::readLimitBoundsZeroFilledFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("start");
    QTest::addColumn<qint64>("size");
    QTest::newRow("MP3 of 100 GB zeros") << "zeros.mp3" << QString() << Q_INT64_C(100'000'000'000);
    QTest::newRow("MP2 of 100 GB zeros") << "zeros.mp2" << QString() << Q_INT64_C(100'000'000'000);
    QTest::newRow("MP3 of 1 GiB zeros") << "gib.mp3" << QString() << Q_INT64_C(1) * 1024 * 1024 * 1024;
    QTest::newRow("MP3 frame, then zeros") << "frame.mp3"
                                           << "song.mp3" << Q_INT64_C(1) * 1024 * 1024 * 1024;
    QTest::newRow("MP2 frame, then zeros") << "frame.mp2"
                                           << "song.mp2" << Q_INT64_C(1) * 1024 * 1024 * 1024;
}

// The library searches zeros for a frame to the end of the file, keeping
// what it read; the read limit is what ends it, long before the time limit.
void TestMediaProbe::readLimitBoundsZeroFilledFiles()
{
    QFETCH(QString, name);
    QFETCH(QString, start);
    QFETCH(qint64, size);
    QFile file(path(name));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    if (!start.isEmpty()) {
        QFile source(path(start));
        QVERIFY(source.open(QIODevice::ReadOnly));
        QCOMPARE(file.write(source.read(1000)), 1000);
    }
    QVERIFY2(file.resize(size), "a sparse file of this size is needed");
    file.close();

    constexpr qint64 limit = 4 * 1024 * 1024;
    qint64 served = -1;
    FfmpegMediaQuery(FfmpegMediaQuery::DefaultTimeLimit, limit).query(path(name), &served);
    QCOMPARE(served, limit);
    FfmpegMediaQuery().query(path(name), &served);
    QCOMPARE(served, FfmpegMediaQuery::DefaultReadLimit);
    QFile::remove(path(name));
}

void TestMediaProbe::queryOfNonRegularFile()
{
    const QString fifo = path("pipe.avi");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString &p : { fifo, path(""), QString("/dev/zero"), path("missing.avi") }) {
        const MediaInfo info = QueryMedia(p);
        QVERIFY2(!info.durationMicroseconds && !info.sourceWidth && !info.sourceHeight, qPrintable(p));
    }
}

// The media library reads a file whose name is not UTF-8 through the bytes
// of its name, as the look-up and the header read do.
void TestMediaProbe::nameNotUtf8()
{
    const QByteArray name = QFile::encodeName(m_dir.path()) + "/\x83\x65\x83\x58\x83\x67.avi";
    QFile source(path("clip.avi"));
    QVERIFY(source.open(QIODevice::ReadOnly));
    const QByteArray bytes = source.readAll();
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    QCOMPARE(::close(fd), 0);
    const ProbeResult result = ProbeFile(FilePath::fromNative(name), nullptr);
    QCOMPARE(result.name, QStringLiteral("テスト.avi"));
    QCOMPARE(result.length, bytes.size());
    QCOMPARE(result.pictureSize, QStringLiteral("160×120"));
    QCOMPARE(result.playTime, QStringLiteral("00:00:02"));
    QCOMPARE(result.codec, QStringLiteral("DivX"));
}

void TestMediaProbe::queryLeavesFileAlone()
{
    const QString file = path("clip.wmv");
    const auto digest = [&] {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                           : QByteArray();
    };
    const QByteArray before = digest();
    const QDateTime modified = QFileInfo(file).lastModified();
    QVERIFY(QueryMedia(file).sourceWidth.has_value());
    QCOMPARE(digest(), before);
    QCOMPARE(QFileInfo(file).lastModified(), modified);
}

QTEST_GUILESS_MAIN(TestMediaProbe)
#include "tst_mediaprobe.moc"
