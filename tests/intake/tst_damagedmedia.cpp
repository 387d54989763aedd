// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// Damaged files of each of the eight media kinds give a row without a crash
// and within the media query's time limit.
//
// One small clip of each kind is made with the ffmpeg command at test time;
// then every clip is cut short at several places and corrupted in several
// ways (bytes flipped all over, the header overwritten, a block in the
// middle scrambled, garbage appended), and each variant is probed.
#include "FfmpegMediaQuery.h"
#include "ProbeFile.h"
#include "SizeText.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

struct Clip
{
    const char *kind; // also the extension
    QStringList arguments; // ffmpeg output options
    bool video;
};

QStringList Picture()
{
    return { "-f", "lavfi", "-i", "testsrc=size=64x48:rate=25:duration=2" };
}

QStringList Tone()
{
    return { "-f", "lavfi", "-i", "sine=frequency=440:duration=2:sample_rate=22050" };
}

const QList<Clip> &Clips()
{
    static const QList<Clip> clips {
        { "MPG", Picture() + Tone() + QStringList { "-c:v", "mpeg1video", "-c:a", "mp2", "-f", "mpeg" }, true },
        { "AVI", Picture() + Tone() + QStringList { "-c:v", "mpeg4", "-vtag", "XVID", "-c:a", "mp2" }, true },
        { "MOV", Picture() + QStringList { "-c:v", "mpeg4" }, true },
        { "WAV", Tone() + QStringList { "-c:a", "pcm_s16le" }, false },
        { "MP2", Tone() + QStringList { "-c:a", "mp2" }, false },
        { "MP3", Tone() + QStringList { "-c:a", "libmp3lame" }, false },
        { "MPEG", Picture() + Tone() + QStringList { "-c:v", "mpeg2video", "-c:a", "mp2", "-f", "vob" }, true },
        { "WMV", Picture() + Tone() + QStringList { "-c:v", "wmv2", "-c:a", "wmav2" }, true },
    };
    return clips;
}

using Damage = std::function<QByteArray(const QByteArray &, QRandomGenerator &)>;

QByteArray Cut(const QByteArray &bytes, qsizetype keep)
{
    return bytes.first(std::min(keep, bytes.size()));
}

QByteArray Flip(QByteArray bytes, QRandomGenerator &random, int perMille)
{
    const qsizetype n = std::max<qsizetype>(1, bytes.size() * perMille / 1000);
    for (qsizetype i = 0; i < n; ++i)
        bytes[random.bounded(bytes.size())] = char(random.bounded(256));
    return bytes;
}

const QList<QPair<QString, Damage>> &Damages()
{
    static const QList<QPair<QString, Damage>> damages {
        { "empty", [](const QByteArray &, QRandomGenerator &) { return QByteArray(); } },
        { "1 byte", [](const QByteArray &b, QRandomGenerator &) { return Cut(b, 1); } },
        { "16 bytes", [](const QByteArray &b, QRandomGenerator &) { return Cut(b, 16); } },
        { "header only", [](const QByteArray &b, QRandomGenerator &) { return Cut(b, 512); } },
        { "a tenth", [](const QByteArray &b, QRandomGenerator &) { return Cut(b, b.size() / 10); } },
        { "half", [](const QByteArray &b, QRandomGenerator &) { return Cut(b, b.size() / 2); } },
        { "all but the last byte", [](const QByteArray &b, QRandomGenerator &) { return Cut(b, b.size() - 1); } },
        { "1% of bytes flipped", [](const QByteArray &b, QRandomGenerator &r) { return Flip(b, r, 10); } },
        { "10% of bytes flipped", [](const QByteArray &b, QRandomGenerator &r) { return Flip(b, r, 100); } },
        { "header overwritten",
            [](const QByteArray &b, QRandomGenerator &) {
                QByteArray d = b;
                for (qsizetype i = 8; i < std::min<qsizetype>(d.size(), 200); ++i)
                    d[i] = char(0xFF);
                return d;
            } },
        { "sizes in the header maximal",
            [](const QByteArray &b, QRandomGenerator &) {
                // Length and count fields near the start turned to huge values.
                QByteArray d = b;
                for (qsizetype i = 4; i + 4 <= std::min<qsizetype>(d.size(), 128); i += 8)
                    d.replace(i, 4, QByteArray(4, char(0x7F)));
                return d;
            } },
        { "middle scrambled",
            [](const QByteArray &b, QRandomGenerator &r) {
                QByteArray d = b;
                for (qsizetype i = d.size() / 3; i < 2 * d.size() / 3; ++i)
                    d[i] = char(r.bounded(256));
                return d;
            } },
        { "garbage appended",
            [](const QByteArray &b, QRandomGenerator &r) {
                QByteArray d = b;
                for (int i = 0; i < 65536; ++i)
                    d.append(char(r.bounded(256)));
                return d;
            } },
        { "random bytes of the same size",
            [](const QByteArray &b, QRandomGenerator &r) {
                QByteArray d(b.size(), Qt::Uninitialized);
                for (char &c : d)
                    c = char(r.bounded(256));
                return d;
            } },
    };
    return damages;
}

const QRegularExpression PlayTimePattern(QStringLiteral("^\\d{2,}:\\d{2}:\\d{2}$"));
const QRegularExpression PictureSizePattern(QStringLiteral("^\\d+×\\d+$"));

} // namespace

class TestDamagedMedia : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void wholeClipsProbe_data();
    void wholeClipsProbe();
    void damagedClipsProbe_data();
    void damagedClipsProbe();
    void cleanupTestCase();

private:
    QString clipPath(const QString &kind) const { return m_dir.filePath("clip." + kind.toLower()); }

    QTemporaryDir m_dir;
    int m_probed = 0;
    qint64 m_slowestMs = 0;
};

void TestDamagedMedia::initTestCase()
{
    const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
    QVERIFY2(!ffmpeg.isEmpty(), "the ffmpeg command is needed to make the damaged media (tools/bootstrap installs it)");
    QVERIFY(m_dir.isValid());
    for (const Clip &clip : Clips()) {
        QProcess process;
        process.start(ffmpeg,
            QStringList { "-hide_banner", "-loglevel", "error", "-y" } + clip.arguments
                + QStringList { "-t", "2", clipPath(clip.kind) });
        QVERIFY(process.waitForFinished(60000));
        QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
            qPrintable(QString::fromUtf8(process.readAllStandardError())));
    }
}

void TestDamagedMedia::wholeClipsProbe_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("video");
    for (const Clip &clip : Clips())
        QTest::newRow(clip.kind) << QString::fromLatin1(clip.kind) << clip.video;
}

// The clips themselves are sound: the damage, not the clip, is what the
// other test probes.
void TestDamagedMedia::wholeClipsProbe()
{
    QFETCH(QString, kind);
    QFETCH(bool, video);
    const ProbeResult result = ProbeFile(clipPath(kind));
    QCOMPARE(result.kind, kind);
    QVERIFY(result.present);
    // Two seconds made; a program stream starts late and may report a little less.
    QVERIFY2(result.playTime == u"00:00:01" || result.playTime == u"00:00:02", qPrintable(result.playTime));
    QCOMPARE(result.pictureSize, video ? QStringLiteral("64×48") : QString());
}

void TestDamagedMedia::damagedClipsProbe_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("damage");
    for (const Clip &clip : Clips()) {
        for (int d = 0; d < Damages().size(); ++d)
            QTest::addRow("%s, %s", clip.kind, qPrintable(Damages()[d].first)) << QString::fromLatin1(clip.kind) << d;
    }
}

void TestDamagedMedia::damagedClipsProbe()
{
    QFETCH(QString, kind);
    QFETCH(int, damage);
    QFile source(clipPath(kind));
    QVERIFY(source.open(QIODevice::ReadOnly));
    QRandomGenerator random(quint32(20261207 + damage * 31 + kind.size()));
    const QByteArray bytes = Damages()[damage].second(source.readAll(), random);
    const QString path = m_dir.filePath(QStringLiteral("damaged.") + kind.toLower());
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(out.write(bytes), bytes.size());
    out.close();

    QElapsedTimer timer;
    timer.start();
    const ProbeResult result = ProbeFile(path);
    const qint64 ms = timer.elapsed();
    ++m_probed;
    m_slowestMs = std::max(m_slowestMs, ms);

    // The query's own limit, and a little for the rest of the probe.
    QVERIFY2(ms < FfmpegMediaQuery::DefaultTimeLimit.count() + 2000, qPrintable(QString::number(ms)));
    QCOMPARE(result.name, QStringLiteral("damaged.") + kind.toLower());
    QCOMPARE(result.kind, kind);
    QVERIFY(result.present);
    QCOMPARE(result.length, bytes.size());
    QCOMPARE(result.catalogSize, CatalogSizeText(bytes.size()));
    QCOMPARE(result.viewSize, ViewSizeText(bytes.size()));
    QVERIFY2(
        result.playTime.isEmpty() || PlayTimePattern.match(result.playTime).hasMatch(), qPrintable(result.playTime));
    QVERIFY2(result.pictureSize.isEmpty() || PictureSizePattern.match(result.pictureSize).hasMatch(),
        qPrintable(result.pictureSize));
    if (bytes.size() <= 16) {
        QCOMPARE(result.playTime, QString());
        QCOMPARE(result.pictureSize, QString());
    }
}

void TestDamagedMedia::cleanupTestCase()
{
    qInfo("%d damaged media files probed, the slowest in %lld ms", m_probed, m_slowestMs);
}

QTEST_GUILESS_MAIN(TestDamagedMedia)
#include "tst_damagedmedia.moc"
