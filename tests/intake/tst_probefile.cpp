// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "MediaQuery.h"
#include "ProbeFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Answers every query with the same values and remembers what was asked.
class StandInMediaQuery : public MediaQuery
{
public:
    MediaInfo query(const FilePath &path) override
    {
        asked.append(path.text());
        askedPaths.append(path);
        return answer;
    }

    MediaInfo answer { Q_INT64_C(100'000'000), 640, 480 };
    QStringList asked;
    QList<FilePath> askedPaths;
};

bool setModified(const QString &path, const QDateTime &when)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.setFileTime(when, QFileDevice::FileModificationTime);
}

QByteArray zeros(qsizetype n)
{
    return QByteArray(n, '\0');
}

const QByteArray DosText = "This program cannot be run in DOS mode.";
const QByteArray PngStart = "\x89PNG\r\n\x1A\n";
const QByteArray JfifStart = QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11);
const QByteArray WavStart = QByteArray("RIFF\x24\x08\x00\x00WAVEfmt \x10\x00\x00\x00", 20);

} // namespace

class TestProbeFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void kindAndHeader_data();
    void kindAndHeader();
    void mediaTexts_data();
    void mediaTexts();
    void notFound_data();
    void notFound();
    void fifoDoesNotBlock();
    void linkToFile();
    void hiddenFileIsFound();
    void sizesOfFile_data();
    void sizesOfFile();
    void sparseDvdImage();
    void headerIsFirst513Bytes_data();
    void headerIsFirst513Bytes();
    void shortFileAfterLongOne();
    void modifiedIsLocalDate();
    void nameWithControlCharacter();
    void nameNotUtf8_data();
    void nameNotUtf8();
    void unreadableFile();
    void probeLeavesFileAlone();

private:
    QString write(const QString &name, const QByteArray &bytes);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestProbeFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString TestProbeFile::write(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test file %s", qPrintable(path));
    return path;
}

// A folder named with the given bytes, and in it a file named with the
// given bytes, made through the system's calls: QFile would take the names
// as text.
FilePath writeRaw(const QString &dir, const QByteArray &folder, const QByteArray &name, const QByteArray &bytes)
{
    QByteArray path = QFile::encodeName(dir) + '/' + folder;
    if (::mkdir(path.constData(), 0700) != 0)
        qFatal("cannot make the test folder");
    path += '/' + name;
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    const bool written = fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    if (fd < 0 || ::close(fd) != 0 || !written)
        qFatal("cannot write the test file");
    return FilePath::fromNative(path);
}

void TestProbeFile::kindAndHeader_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("queried");
    QTest::addColumn<QString>("codec");
    const QByteArray divxXvid = zeros(40) + "DIVX" + zeros(100) + "XVID";
    QTest::newRow("DIVX then XVID") << "movie.avi" << divxXvid << "AVI" << true << "XviD";
    QTest::newRow("DIVX with DX50") << "movie.avi" << zeros(8) + "DIVX" + zeros(9) + "DX50"
                                    << "AVI" << true << "DivX";
    QTest::newRow("DIVX with OggS") << "movie.avi"
                                    << "OggS" + zeros(9) + "DIVX"
                                    << "AVI" << true << "(DivX+Ogg)";
    QTest::newRow("DOS text with -lh5-") << "tool.exe"
                                         << "MZ" + zeros(60) + DosText + "-lh5-"
                                         << "EXE" << false << "EXE";
    QTest::newRow("DOS text with Rar!") << "sfx.exe"
                                        << "MZ" + zeros(60) + DosText + "Rar!"
                                        << "EXE" << false << "RAR";
    QTest::newRow("photo.JPG holding a PNG") << "photo.JPG" << PngStart + zeros(40) << "JPG" << false << "PNG";
    QTest::newRow("pic.JPG with JFIF") << "pic.JPG" << JfifStart + zeros(40) << "JPG" << false << "JPG";
    QTest::newRow("JFIF bytes in pic.dat") << "pic.dat" << JfifStart + zeros(40) << "DAT" << false << "";
    QTest::newRow("plain WAV") << "tone.wav" << WavStart + zeros(600) << "WAV" << true << "";
    QTest::newRow("MP3 without signature") << "song.mp3"
                                           << "ID3\x03" + zeros(600) << "MP3" << true << "";
    QTest::newRow("notes.txt") << "notes.txt" << QByteArray("DIVX PK Rar!") << "TXT" << false << "";
    QTest::newRow("README") << "README" << QByteArray("PK\x03\x04") << "不明" << false << "";
    QTest::newRow("name ending in .") << "notes." << QByteArray("PK\x03\x04") << "" << false << "";
    QTest::newRow("zip") << "a.zip" << QByteArray("PK\x03\x04") << "ZIP" << false << "ZIP";
    QTest::newRow("mpeg kind") << "clip.mpeg" << QByteArray("\x00\x00\x01\xBA\x44", 5) << "MPEG" << true << "MPEG-2";
    QTest::newRow("full-width kind is no media kind") << "x.ａｖｉ" << divxXvid << "ＡＶＩ" << false << "";
    QTest::newRow("sharp in kind") << "x.c#" << QByteArray("int main;") << "C＃" << false << "";
    QTest::newRow("empty file") << "empty.avi" << QByteArray() << "AVI" << true << "";
}

void TestProbeFile::kindAndHeader()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, kind);
    QFETCH(bool, queried);
    QFETCH(QString, codec);
    const QString path = write(name, bytes);
    StandInMediaQuery media;
    const ProbeResult result = ProbeFile(path, &media);
    QCOMPARE(result.name, name);
    QCOMPARE(result.kind, kind);
    QVERIFY(result.present);
    QCOMPARE(result.codec, codec);
    QCOMPARE(media.asked, queried ? QStringList { path } : QStringList {});
    QCOMPARE(result.pictureSize, queried ? QStringLiteral("640×480") : QString());
    QCOMPARE(result.playTime, queried ? QStringLiteral("00:01:40") : QString());
}

void TestProbeFile::mediaTexts_data()
{
    QTest::addColumn<MediaInfo>("info");
    QTest::addColumn<QString>("pictureSize");
    QTest::addColumn<QString>("playTime");
    QTest::newRow("video") << MediaInfo { Q_INT64_C(3'725'400'000), 640, 480 } << "640×480"
                           << "01:02:05";
    QTest::newRow("audio") << MediaInfo { Q_INT64_C(59'996'000), {}, {} } << ""
                           << "00:01:00";
    QTest::newRow("tie to even") << MediaInfo { Q_INT64_C(59'995'000), {}, {} } << ""
                                 << "00:01:00";
    QTest::newRow("width only") << MediaInfo { Q_INT64_C(1'000'000), 320, {} } << ""
                                << "00:00:01";
    QTest::newRow("height only") << MediaInfo { Q_INT64_C(1'000'000), {}, 240 } << ""
                                 << "00:00:01";
    QTest::newRow("too short") << MediaInfo { Q_INT64_C(4'000), 160, 120 } << "160×120"
                               << "";
    QTest::newRow("no duration") << MediaInfo { {}, 1920, 1080 } << "1920×1080"
                                 << "";
    QTest::newRow("nothing") << MediaInfo {} << ""
                             << "";
    QTest::newRow("100 hours") << MediaInfo { Q_INT64_C(360'000'000'000), {}, {} } << ""
                               << "100:00:00";
}

void TestProbeFile::mediaTexts()
{
    QFETCH(MediaInfo, info);
    QFETCH(QString, pictureSize);
    QFETCH(QString, playTime);
    StandInMediaQuery media;
    media.answer = info;
    const ProbeResult result = ProbeFile(write("clip.mov", zeros(100)), &media);
    QCOMPARE(result.pictureSize, pictureSize);
    QCOMPARE(result.playTime, playTime);
    QCOMPARE(media.asked.size(), 1);
}

void TestProbeFile::notFound_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << "missing"
                             << "gone.avi"
                             << "AVI";
    QTest::newRow("folder named clip.avi") << "folder"
                                           << "clip.avi"
                                           << "AVI";
    QTest::newRow("dropped folder photos/") << "folder/"
                                            << "photos"
                                            << "不明";
    QTest::newRow("dangling link") << "dangling"
                                   << "x.avi"
                                   << "AVI";
    QTest::newRow("link to a folder") << "folder link"
                                      << "dir.zip"
                                      << "ZIP";
    QTest::newRow("link to a device") << "device link"
                                      << "zero.mpg"
                                      << "MPG";
    QTest::newRow("socket") << "socket"
                            << "sock.wav"
                            << "WAV";
}

void TestProbeFile::notFound()
{
    QFETCH(QString, what);
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QString path = m_dir->filePath(name);
    if (what == "folder" || what == "folder/")
        QVERIFY(QDir().mkpath(path));
    if (what == "folder/")
        path += '/';
    if (what == "dangling")
        QVERIFY(QFile::link(m_dir->filePath("nowhere.avi"), path));
    if (what == "folder link")
        QCOMPARE(::symlink(QFile::encodeName(m_dir->path()).constData(), QFile::encodeName(path).constData()), 0);
    if (what == "device link")
        QVERIFY(QFile::link("/dev/zero", path));
    if (what == "socket") {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        const QByteArray encoded = QFile::encodeName(path);
        if (size_t(encoded.size()) >= sizeof(address.sun_path))
            QSKIP("temporary path too long for a socket");
        qstrcpy(address.sun_path, encoded.constData());
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
        ::close(fd);
    }

    StandInMediaQuery media;
    const ProbeResult result = ProbeFile(path, &media);
    QCOMPARE(result.name, name);
    QCOMPARE(result.kind, kind);
    QVERIFY(!result.present);
    QCOMPARE(result.catalogSize, QStringLiteral("不明"));
    QCOMPARE(result.viewSize, QStringLiteral("不明"));
    QCOMPARE(result.modified, QStringLiteral("不明"));
    QCOMPARE(result.pictureSize, QString());
    QCOMPARE(result.playTime, QString());
    QCOMPARE(result.codec, QString());
    QVERIFY(media.asked.isEmpty());
}

// Opening a FIFO for reading waits for a writer; the probe must not open it.
void TestProbeFile::fifoDoesNotBlock()
{
    const QString path = m_dir->filePath("x.avi");
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    StandInMediaQuery media;
    auto probe = std::async(std::launch::async, [&] { return ProbeFile(path, &media); });
    if (probe.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // Release the blocked reader before failing.
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
        probe.wait();
        if (fd >= 0)
            ::close(fd);
        QFAIL("the probe blocked on a FIFO");
    }
    const ProbeResult result = probe.get();
    QVERIFY(!result.present);
    QCOMPARE(result.catalogSize, QStringLiteral("不明"));
    QCOMPARE(result.codec, QString());
    QVERIFY(media.asked.isEmpty());
}

void TestProbeFile::linkToFile()
{
    const QString target = write("target.bin", PngStart + zeros(1234));
    QVERIFY(setModified(target, QDateTime(QDate(2003, 5, 1), QTime(12, 0))));
    const QString link = m_dir->filePath("shown.avi");
    QVERIFY(QFile::link(target, link));
    StandInMediaQuery media;
    const ProbeResult result = ProbeFile(link, &media);
    QCOMPARE(result.name, QStringLiteral("shown.avi"));
    QCOMPARE(result.kind, QStringLiteral("AVI"));
    QVERIFY(result.present);
    QCOMPARE(result.length, Q_INT64_C(1242));
    QCOMPARE(result.catalogSize, QStringLiteral("1.242"));
    QCOMPARE(result.modified, QStringLiteral("2003/05/01"));
    QCOMPARE(result.codec, QStringLiteral("PNG"));
    QCOMPARE(media.asked, QStringList { link });
}

void TestProbeFile::hiddenFileIsFound()
{
    const ProbeResult result = ProbeFile(write(".hidden.zip", "PK\x03\x04"), nullptr);
    QCOMPARE(result.name, QStringLiteral(".hidden.zip"));
    QVERIFY(result.present);
    QCOMPARE(result.catalogSize, QStringLiteral("0.004"));
    QCOMPARE(result.viewSize, QStringLiteral("004"));
    QCOMPARE(result.codec, QStringLiteral("ZIP"));
}

void TestProbeFile::sizesOfFile_data()
{
    QTest::addColumn<int>("bytes");
    QTest::addColumn<QString>("catalogSize");
    QTest::addColumn<QString>("viewSize");
    QTest::newRow("0") << 0 << "0.000"
                       << "000";
    QTest::newRow("500") << 500 << "0.500"
                         << "500";
    QTest::newRow("999") << 999 << "0.999"
                         << "999";
    QTest::newRow("1,000") << 1000 << "1.000"
                           << "1.000";
    QTest::newRow("1,234,567") << 1'234'567 << "1,234.567"
                               << "1,234.567";
}

void TestProbeFile::sizesOfFile()
{
    QFETCH(int, bytes);
    QFETCH(QString, catalogSize);
    QFETCH(QString, viewSize);
    const ProbeResult result = ProbeFile(write("data.bin", QByteArray(bytes, 'x')), nullptr);
    QVERIFY(result.present);
    QCOMPARE(result.length, qint64(bytes));
    QCOMPARE(result.catalogSize, catalogSize);
    QCOMPARE(result.viewSize, viewSize);
}

void TestProbeFile::sparseDvdImage()
{
    const QString path = m_dir->filePath("dvd.iso");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    if (!file.resize(Q_INT64_C(4'700'000'000)))
        QSKIP("the temporary file system holds no 4.7 GB sparse file");
    file.close();
    const ProbeResult result = ProbeFile(path, nullptr);
    QCOMPARE(result.length, Q_INT64_C(4'700'000'000));
    QCOMPARE(result.catalogSize, QStringLiteral("4,700,000.000"));
    QCOMPARE(result.viewSize, QStringLiteral("4,700,000.000"));
}

void TestProbeFile::headerIsFirst513Bytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("codec");
    QTest::newRow("ends at byte 512") << zeros(509) + "DIVX" + zeros(100) << "DivX";
    QTest::newRow("straddles the end") << zeros(510) + "DIVX" + zeros(100) << "";
    QTest::newRow("beyond the header") << zeros(600) + "DIVX"
                                       << "";
    QTest::newRow("short file") << QByteArray("DIVX") << "DivX";
}

void TestProbeFile::headerIsFirst513Bytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, codec);
    StandInMediaQuery media;
    QCOMPARE(ProbeFile(write("movie.avi", bytes), &media).codec, codec);
}

// A short file must not see the bytes of the file probed before it.
void TestProbeFile::shortFileAfterLongOne()
{
    StandInMediaQuery media;
    QCOMPARE(
        ProbeFile(write("long.avi", "DIV" + zeros(3) + "XVID" + zeros(600)), &media).codec, QStringLiteral("XviD"));
    QCOMPARE(ProbeFile(write("short.avi", "DIV"), &media).codec, QString());
    QCOMPARE(ProbeFile(write("tiny.avi", "DIVX"), &media).codec, QStringLiteral("DivX"));
}

void TestProbeFile::modifiedIsLocalDate()
{
    const QString path = write("old.txt", "x");
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    for (const QDateTime &when :
        { QDateTime(QDate(2003, 5, 1), QTime(0, 0, 1)), QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59)) }) {
        QVERIFY(setModified(path, when));
        QCOMPARE(ProbeFile(path, nullptr).modified, when.date().toString("yyyy/MM/dd"));
    }
    QLocale::setDefault(previous);
}

void TestProbeFile::nameWithControlCharacter()
{
    const QString path = write("a\tb.c#", "x");
    const ProbeResult result = ProbeFile(path, nullptr);
    QCOMPARE(result.name, QStringLiteral("a\uFFFDb.c#"));
    QCOMPARE(result.kind, QStringLiteral("C＃"));
    QVERIFY(result.present);
}

void TestProbeFile::nameNotUtf8_data()
{
    QTest::addColumn<QByteArray>("folder");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("name");
    QTest::newRow("code page 932") << QByteArray("cd") << QByteArray("\x83\x65\x83\x58\x83\x67.avi")
                                   << QStringLiteral("テスト.avi");
    QTest::newRow("UTF-8 wins where both fit")
        << QByteArray("cd") << QByteArray("\xE3\x83\x86.avi") << QStringLiteral("テ.avi");
    QTest::newRow("half-width katakana, code page 932")
        << QByteArray("cd") << QByteArray("\xB6\xC0.avi") << QStringLiteral("ｶﾀ.avi");
    QTest::newRow("neither") << QByteArray("cd") << QByteArray("a\xFF\x80\x82.avi")
                             << QStringLiteral("a\uFFFD\uFFFD\uFFFD.avi");
    QTest::newRow("folder in code page 932, name in UTF-8")
        << QByteArray("\x83\x65") << QByteArray("\xE3\x83\x86.avi") << QStringLiteral("テ.avi");
}

// The bytes reach every access (look-up, header, media query); only the
// name shown and stored is decoded.
void TestProbeFile::nameNotUtf8()
{
    QFETCH(QByteArray, folder);
    QFETCH(QByteArray, file);
    QFETCH(QString, name);
    const FilePath path = writeRaw(m_dir->path(), folder, file, "RIFF" + zeros(4) + "AVI LIST" + zeros(40) + "XVID");
    StandInMediaQuery media;
    media.answer = { Q_INT64_C(3'725'400'000), 320, 240 };
    const ProbeResult result = ProbeFile(path, &media);
    QCOMPARE(result.name, name);
    QCOMPARE(result.kind, QStringLiteral("AVI"));
    QVERIFY(result.present);
    QCOMPARE(result.length, Q_INT64_C(60));
    QVERIFY(result.modified != QStringLiteral("不明"));
    QCOMPARE(result.codec, QStringLiteral("XviD"));
    QCOMPARE(result.playTime, QStringLiteral("01:02:05"));
    QCOMPARE(media.askedPaths.size(), 1);
    QCOMPARE(media.askedPaths.front().native(), path.native());
}

void TestProbeFile::unreadableFile()
{
    const QString path = write("locked.zip", "PK\x03\x04" + zeros(996));
    QVERIFY(QFile::setPermissions(path, {}));
    if (::access(QFile::encodeName(path).constData(), R_OK) == 0)
        QSKIP("running as a user who reads any file; tst_probecommand covers this as an unprivileged user");
    const ProbeResult result = ProbeFile(path, nullptr);
    QVERIFY(result.present);
    QCOMPARE(result.catalogSize, QStringLiteral("1.000"));
    QCOMPARE(result.codec, QString());
}

void TestProbeFile::probeLeavesFileAlone()
{
    const QByteArray bytes = "PK\x03\x04" + zeros(5000) + "end";
    const QString path = write("keep.zip", bytes);
    const QDateTime when(QDate(2010, 1, 2), QTime(3, 4, 5));
    QVERIFY(setModified(path, when));
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
    QCOMPARE(ProbeFile(path, nullptr).codec, QStringLiteral("ZIP"));
    const QFileInfo info(path);
    QCOMPARE(info.lastModified(), when);
    QCOMPARE(info.permissions() & 0x7077, QFileDevice::ReadOwner); // owner, group, other
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList { "keep.zip" });
}

QTEST_GUILESS_MAIN(TestProbeFile)
#include "tst_probefile.moc"
