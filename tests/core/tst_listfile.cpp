// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "FailingDevice.h"
#include "ListFile.h"
#include "PieceReader.h"
#include "TestFiles.h"
#include "TextFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

const QString ExampleLine
    = QStringLiteral("movie.avi#1,234.567#AVI#640×480#00:01:40#DivX#2003/05/01#2003/05/20#アニメ######");

QByteArray cp932Bytes(const QString &text)
{
    QByteArray out;
    TextCodec::encodeAppend(text, TextEncoding::Cp932, out);
    return out;
}

using TestFiles::fileBytes;
using TestFiles::writeBytes;

CatalogItem rowOf(const QStringList &fields)
{
    CatalogItem item;
    for (int i = 0; i < fields.size(); ++i)
        item.setField(i, fields[i]);
    return item;
}

QStringList storedFields(const CatalogItem &item)
{
    QStringList fields;
    for (int i = 0; i < CatalogItem::StoredFieldCount; ++i)
        fields.append(item.field(i).toString());
    return fields;
}

// Restores the file size limit and SIGXFSZ when it goes out of scope.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
};

// A list file of random lines that puts every kind of line end, encoding
// and damage at the edges of small pieces: code page 932 and UTF-8 text,
// text that is valid in both, bytes valid in neither, control characters,
// now and then a byte-order mark or a NUL (UTF-16 guessing), and lines
// longer than a piece. Some files are ASCII for many lines first, so that
// what decides the encoding comes late. With validUtf8, the text is
// valid UTF-8 throughout.
QByteArray randomListFile(QRandomGenerator &rng, bool validUtf8 = false)
{
    static const QByteArray Fragments[] = { "movie", "#", "##############", "a#b", " ", "\\", "~",
        "\x83\x41\x83\x6a\x83\x81", "\xb1\xc6\xd2", "\xca\xb2\xc3\xb8", "\xe3\x82\xa2", "\xe7\xb8\xba\xef\xbd\xa1",
        "\xf0\x9f\x8e\xac", "\xff", "\x80", "\x81", "\x01", "\x7f", QByteArray(70, 'x') };
    static const QByteArray Ends[] = { "\r\n", "\n", "\r" };
    QByteArray file;
    if (rng.bounded(8) == 0)
        file += "\xEF\xBB\xBF";
    const int asciiLines = rng.bounded(3) == 0 ? int(rng.bounded(30)) : 0;
    const int lines = int(rng.bounded(40));
    for (int line = 0; line < lines; ++line) {
        for (int n = int(rng.bounded(12)); n > 0; --n) {
            const QByteArray &fragment = Fragments[rng.bounded(int(std::size(Fragments)))];
            if (validUtf8 && QString::fromUtf8(fragment).toUtf8() != fragment)
                continue;
            if (line >= asciiLines
                || std::all_of(fragment.begin(), fragment.end(), [](char c) { return c > 0x1f && c < 0x7f; }))
                file += fragment;
        }
        if (rng.bounded(60) == 0)
            file += '\0';
        if (line + 1 < lines || rng.bounded(2) == 0)
            file += Ends[rng.bounded(3)];
    }
    return file;
}

} // namespace

class TestListFile : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("List.txt"));
        QFile::remove(m_path);
        QFile::remove(m_path + QStringLiteral(".bak"));
    }

    void exampleLineLoadsAndSavesBack()
    {
        const QByteArray bytes = cp932Bytes(ExampleLine) + "\r\n";
        QVERIFY(writeBytes(m_path, bytes));
        Catalog catalog;
        const CatalogLoadReport report = LoadCatalog(m_path, catalog);
        QVERIFY(report.fileFound);
        QVERIFY(report.readable);
        QCOMPARE(report.rows, 1);
        QCOMPARE(report.malformedLines, 0);
        QCOMPARE(report.remark(), QString());
        const CatalogItem &row = catalog.at(0);
        QCOMPARE(row.text(CatalogItem::Name), QStringLiteral("movie.avi"));
        QCOMPARE(row.text(CatalogItem::FileSize), QStringLiteral("1,234.567"));
        QCOMPARE(row.text(CatalogItem::PictureSize), QStringLiteral("640×480"));
        QCOMPARE(row.text(CatalogItem::Registered), QStringLiteral("2003/05/20"));
        QCOMPARE(row.text(CatalogItem::Genre1), QStringLiteral("アニメ"));
        for (int f = CatalogItem::Genre2; f <= CatalogItem::Spare2; ++f)
            QVERIFY(row.field(f).isEmpty());
        QCOMPARE(row.text(CatalogItem::RowKey), QStringLiteral("0"));

        QFile::remove(m_path);
        QVERIFY(SaveCatalog(m_path, catalog).ok);
        QCOMPARE(fileBytes(m_path), bytes);
    }

    void keysFollowLineOrder()
    {
        QVERIFY(writeBytes(m_path, "a#1###########\r\nb#2###########\r\nc#3###########\r\n"));
        Catalog catalog;
        LoadCatalog(m_path, catalog);
        QCOMPARE(catalog.size(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(catalog.at(i).rowKeyText(), QString::number(i));
        QCOMPARE(catalog.append(rowOf({ QStringLiteral("dropped") })), 3);
        Catalog afterRestart;
        LoadCatalog(m_path, afterRestart);
        QCOMPARE(afterRestart.at(0).rowKeyText(), QStringLiteral("0"));
    }

    void splitsLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<bool>("inFormat");

        QTest::newRow("two separators in a row")
            << QStringLiteral("n##AVI############") << (QStringList { "n", "", "AVI" } + QStringList(12, QString()))
            << true;
        QTest::newRow("trailing separator gives empty Spare2")
            << QStringLiteral("n#1#2#3#4#5#6#7#8#9#10#11#12#13#")
            << QStringList { "n", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "" } << true;
        QTest::newRow("spare fields") << QStringLiteral("n#############spare one#spare two")
                                      << (QStringList { "n" } + QStringList(12, QString())
                                             + QStringList { "spare one", "spare two" })
                                      << true;
        QTest::newRow("name holding #") << QStringLiteral("a#b.avi#1#AVI############")
                                        << (QStringList { "a#b.avi", "1", "AVI" } + QStringList(12, QString())) << true;
        QTest::newRow("name holding ## and trailing #")
            << QStringLiteral("#x##y##1#AVI############")
            << (QStringList { "#x##y#", "1", "AVI" } + QStringList(12, QString())) << true;
        QTest::newRow("fewer separators fill from the left")
            << QStringLiteral("name#123#MP3") << (QStringList { "name", "123", "MP3" } + QStringList(12, QString()))
            << false;
        QTest::newRow("no separator at all")
            << QStringLiteral("just a name") << (QStringList { "just a name" } + QStringList(14, QString())) << false;
        // A row renamed to nothing is saved so by the program itself.
        QTest::newRow("empty name") << QStringLiteral("#1#AVI############")
                                    << (QStringList { "", "1", "AVI" } + QStringList(12, QString())) << true;
        QTest::newRow("all fields empty") << QStringLiteral("##############") << QStringList(15, QString()) << true;
        QTest::newRow("tab and unit separator become U+FFFD")
            << QStringLiteral("a\tb#x\x1Fy#############")
            << (QStringList { QStringLiteral("a\uFFFDb"), QStringLiteral("x\uFFFDy") } + QStringList(13, QString()))
            << true;
    }

    void splitsLines()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, fields);
        QFETCH(bool, inFormat);
        QCOMPARE(fields.size(), 15);
        Catalog catalog;
        const CatalogLoadReport report = ReadCatalogBytes(cp932Bytes(line) + "\r\n", catalog);
        QCOMPARE(catalog.size(), 1);
        QCOMPARE(storedFields(catalog.at(0)), fields);
        QCOMPARE(report.malformedLines, inFormat ? 0 : 1);
        if (!inFormat)
            QVERIFY(report.remark().contains(QStringLiteral("形式に合わない行が1行")));
    }

    void blankLinesAreSkippedAndCounted()
    {
        Catalog catalog;
        const CatalogLoadReport report = ReadCatalogBytes("a##############\r\n\r\n\r\nb##############\r\n", catalog);
        QCOMPARE(catalog.size(), 2);
        QCOMPARE(report.rows, 2);
        QCOMPARE(report.malformedLines, 2);
        QCOMPARE(catalog.at(1).text(CatalogItem::Name), QStringLiteral("b"));
    }

    void lineEndings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("CR LF") << QByteArray("a##############\r\nb##############\r\n");
        QTest::newRow("LF only") << QByteArray("a##############\nb##############\n");
        QTest::newRow("last line without line end") << QByteArray("a##############\r\nb##############");
        QTest::newRow("CR only") << QByteArray("a##############\rb##############\r");
        QTest::newRow("mixed") << QByteArray("a##############\rb##############\n");
        QTest::newRow("CR only, no last line end") << QByteArray("a##############\rb##############");
    }

    void lineEndings()
    {
        QFETCH(QByteArray, bytes);
        Catalog catalog;
        const CatalogLoadReport report = ReadCatalogBytes(bytes, catalog);
        QCOMPARE(catalog.size(), 2);
        QCOMPARE(report.malformedLines, 0);
        QCOMPARE(catalog.at(1).text(CatalogItem::Name), QStringLiteral("b"));
        QVERIFY(catalog.at(1).field(CatalogItem::Spare2).isEmpty());
    }

    void malformedLinesAreWrittenInTheFormat()
    {
        QVERIFY(writeBytes(m_path, "short#1\r\n\r\n"));
        Catalog catalog;
        LoadCatalog(m_path, catalog);
        QVERIFY(SaveCatalog(m_path, catalog).ok);
        QCOMPARE(fileBytes(m_path), QByteArray("short#1#############\r\n"));
    }

    void namesWithHashSurviveRounds()
    {
        Catalog catalog;
        catalog.append(rowOf({ QStringLiteral("a#b.avi"), QStringLiteral("1"), QStringLiteral("AVI") }));
        catalog.append(rowOf({ QStringLiteral("#lead##"), QStringLiteral("2") }));
        for (int round = 0; round < 3; ++round) {
            QVERIFY(SaveCatalog(m_path, catalog).ok);
            Catalog loaded;
            const CatalogLoadReport report = LoadCatalog(m_path, loaded);
            QCOMPARE(report.malformedLines, 0);
            QCOMPARE(loaded.size(), catalog.size());
            for (qsizetype i = 0; i < catalog.size(); ++i)
                QCOMPARE(storedFields(loaded.at(i)), storedFields(catalog.at(i)));
            catalog = loaded;
        }
        QCOMPARE(catalog.at(0).text(CatalogItem::Name), QStringLiteral("a#b.avi"));
    }

    void entryRuleKeepsRowsWhole()
    {
        Catalog catalog;
        catalog.append(rowOf({ QStringLiteral("x\ny.c#"), QStringLiteral("1"), QStringLiteral("C#"), QString(),
            QString(), QString(), QString(), QString(), QStringLiteral("a#b") }));
        QCOMPARE(catalog.at(0).text(CatalogItem::Kind), QStringLiteral("C＃"));
        QCOMPARE(catalog.at(0).text(CatalogItem::Genre1), QStringLiteral("a＃b"));
        QCOMPARE(catalog.at(0).text(CatalogItem::Name), QStringLiteral("x\uFFFDy.c#"));
        QVERIFY(SaveCatalog(m_path, catalog).ok);
        Catalog loaded;
        LoadCatalog(m_path, loaded);
        QCOMPARE(storedFields(loaded.at(0)), storedFields(catalog.at(0)));
    }

    void progressCounts()
    {
        QVERIFY(writeBytes(m_path, "a##############\r\nb##############\r\nc##############\r\n"));
        QList<qint64> loadCounts;
        Catalog catalog;
        LoadCatalog(m_path, catalog, [&](qint64 n) { loadCounts.append(n); });
        QCOMPARE(loadCounts, (QList<qint64> { 1, 2, 3 }));
        QList<qint64> saveCounts;
        QVERIFY(SaveCatalog(m_path, catalog, [&](qint64 n) { saveCounts.append(n); }).ok);
        QCOMPARE(saveCounts, (QList<qint64> { 2, 1, 0 }));
        QCOMPARE(fileBytes(m_path).count("\r\n"), 3);
        QVERIFY(!fileBytes(m_path).contains("\r\n0"));
    }

    void emptyCatalogueLeavesTheFile()
    {
        const QByteArray old = "old#############\r\n";
        QVERIFY(writeBytes(m_path, old));
        const FileResult result = SaveCatalog(m_path, Catalog());
        QVERIFY(result.ok);
        QCOMPARE(fileBytes(m_path), old);
    }

    void missingFileGivesEmptyCatalogue()
    {
        Catalog catalog;
        const CatalogLoadReport report = LoadCatalog(m_path, catalog);
        QVERIFY(!report.fileFound);
        QVERIFY(report.readable);
        QCOMPARE(catalog.size(), 0);
        QCOMPARE(report.remark(), QString());
    }

    void failingDeviceReportsFailure_data()
    {
        QTest::addColumn<qint64>("limit");
        QTest::newRow("nothing fits") << qint64(0);
        QTest::newRow("fails in the middle") << qint64(100);
    }

    void failingDeviceReportsFailure()
    {
        QFETCH(qint64, limit);
        Catalog catalog;
        for (int i = 0; i < 50; ++i)
            catalog.append(rowOf({ QStringLiteral("file%1.avi").arg(i), QStringLiteral("1,000") }));
        FailingDevice device(limit);
        QVERIFY(device.open(QIODevice::WriteOnly));
        const FileResult result = WriteCatalog(device, catalog);
        QVERIFY(!result.ok);
        QCOMPARE(result.reason, QStringLiteral("No space left on device"));
        QVERIFY(result.statusText().contains(QStringLiteral("保存できませんでした")));
        QVERIFY(device.failures() > 0);
    }

    void sizeLimitLeavesTheOldFile()
    {
        const QByteArray old = "old#############\r\n";
        QVERIFY(writeBytes(m_path, old));
        Catalog catalog;
        for (int i = 0; i < 20000; ++i)
            catalog.append(rowOf({ QStringLiteral("some rather long file name %1.avi").arg(i) }));
        FileResult result;
        {
            FileSizeLimit limit(4096);
            result = SaveCatalog(m_path, catalog);
        }
        QVERIFY(!result.ok);
        QVERIFY(!result.reason.isEmpty());
        QCOMPARE(fileBytes(m_path), old);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("List.txt") });
    }

    void missingFolderFailsToSave()
    {
        Catalog catalog;
        catalog.append(rowOf({ QStringLiteral("a") }));
        const FileResult result = SaveCatalog(m_dir.filePath(QStringLiteral("no/such/List.txt")), catalog);
        QVERIFY(!result.ok);
        QCOMPARE(result.fileName, QStringLiteral("List.txt"));
    }

    void unreadableFileIsNeverReplaced()
    {
        FailingDevice device(-1, 10);
        device.setContent("a##############\r\nb##############\r\n");
        QVERIFY(device.open(QIODevice::ReadOnly));
        Catalog catalog;
        const CatalogLoadReport report = ReadCatalog(device, catalog);
        QVERIFY(!report.readable);
        QCOMPARE(catalog.size(), 0);
        QVERIFY(report.remark().contains(QStringLiteral("読み込めませんでした")));

        const QByteArray old = "kept###########\r\n";
        QVERIFY(writeBytes(m_path, old));
        CatalogFileGuard guard(report);
        QVERIFY(!guard.mayReplace());
        catalog.append(rowOf({ QStringLiteral("new") }));
        const FileResult saved = SaveCatalog(m_path, catalog, guard);
        QVERIFY(!saved.ok);
        QVERIFY(!RecycleCatalogFile(m_path, guard).ok);
        QCOMPARE(fileBytes(m_path), old);
    }

    void unreadablePathIsReported()
    {
        // Reading /proc/self/mem at offset 0 fails with an I/O error.
        Catalog catalog;
        const CatalogLoadReport report = LoadCatalog(QStringLiteral("/proc/self/mem"), catalog);
        QVERIFY(report.fileFound);
        QVERIFY(!report.readable);
        QVERIFY(!report.error.isEmpty());
        QCOMPARE(catalog.size(), 0);
    }

    void pipeInPlaceOfTheFileIsNeverReplaced()
    {
        QCOMPARE(::mkfifo(QFile::encodeName(m_path).constData(), 0600), 0);
        Catalog catalog;
        const CatalogLoadReport report = LoadCatalog(m_path, catalog);
        QVERIFY(report.fileFound);
        QVERIFY(!report.readable);
        CatalogFileGuard guard(report);
        catalog.append(rowOf({ QStringLiteral("new") }));
        const FileResult saved = SaveCatalog(m_path, catalog, guard);
        QVERIFY(!saved.ok);
        QVERIFY(saved.statusText().startsWith(QStringLiteral("List.txt を保存できませんでした")));
        QVERIFY(!RecycleCatalogFile(m_path, guard).ok);
        QVERIFY(!QFileInfo(m_path).isFile());
        QVERIFY(QFileInfo::exists(m_path));
    }

    void deviceInPlaceOfTheFileIsNotRead()
    {
        Catalog catalog;
        const CatalogLoadReport report = LoadCatalog(QStringLiteral("/dev/zero"), catalog);
        QVERIFY(report.fileFound);
        QVERIFY(!report.readable);
        QCOMPARE(catalog.size(), 0);
    }

    void undecodableBytesAreBackedUpOnce()
    {
        // 0x85 0x40 is an unassigned code, 0x82 a lead byte without a trail.
        const QByteArray damaged = "a\x85\x40z\x82##############\r\n";
        QVERIFY(writeBytes(m_path, damaged));
        Catalog catalog;
        const CatalogLoadReport report = LoadCatalog(m_path, catalog);
        QCOMPARE(report.undecodableChars, 2);
        QCOMPARE(catalog.at(0).text(CatalogItem::Name), QStringLiteral("a\uFFFDz\uFFFD"));
        QVERIFY(report.remark().contains(QStringLiteral("List.txt.bak")));
        CatalogFileGuard guard(report);
        QVERIFY(guard.backupPending());
        QVERIFY(SaveCatalog(m_path, catalog, guard).ok);
        QCOMPARE(fileBytes(m_path + QStringLiteral(".bak")), damaged);
        QVERIFY(!guard.backupPending());
        QVERIFY(writeBytes(m_path + QStringLiteral(".bak"), "marker"));
        QVERIFY(SaveCatalog(m_path, catalog, guard).ok);
        QCOMPARE(fileBytes(m_path + QStringLiteral(".bak")), QByteArray("marker"));
        // U+FFFD has no code in code page 932: the file is now UTF-8.
        Catalog again;
        const CatalogLoadReport second = LoadCatalog(m_path, again);
        QCOMPARE(second.encoding, TextEncoding::Utf8WithBom);
        QCOMPARE(second.undecodableChars, 0);
        QCOMPARE(storedFields(again.at(0)), storedFields(catalog.at(0)));
    }

    // Whatever reading changed, the first save keeps the file as it was.
    void changesOnReadingAreBackedUp_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("remark");
        const QByteArray good = "good.avi#1#AVI############\r\n";
        QTest::newRow("control character") << good + "a\tb##############\r\n"
                                           << QStringLiteral("制御文字が1個ありました。");
        QTest::newRow("blank line") << good + "\r\n" + good << QStringLiteral("形式に合わない行が1行ありました。");
        QTest::newRow("too few separators") << good + "x#1\r\n" << QStringLiteral("形式に合わない行が1行ありました。");
        QTest::newRow("undecodable byte") << good + "\x82##############\r\n"
                                          << QStringLiteral("読めない文字が1個ありました。");
        QByteArray utf16;
        TextCodec::encodeAppend(QString::fromLatin1(good), TextEncoding::Utf16LE, utf16);
        QTest::newRow("UTF-16 without mark") << utf16 << QStringLiteral("BOMのないUTF-16として読みました。");
        QTest::newRow("empty name, lone CR: nothing changed") << good + "#2#MP3############\r" + good << QString();
    }

    void changesOnReadingAreBackedUp()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, remark);
        QVERIFY(writeBytes(m_path, bytes));
        Catalog catalog;
        const CatalogLoadReport report = LoadCatalog(m_path, catalog);
        const QString bak = m_path + QStringLiteral(".bak");
        if (remark.isEmpty()) {
            QCOMPARE(report.remark(), QString());
        } else {
            QVERIFY2(report.remark().startsWith(remark), qPrintable(report.remark()));
            QVERIFY2(report.remark().endsWith(QStringLiteral("保存の前に List.txt.bak へ控えます。")),
                qPrintable(report.remark()));
        }
        CatalogFileGuard guard(report);
        QVERIFY(SaveCatalog(m_path, catalog, guard).ok);
        QCOMPARE(fileBytes(bak), remark.isEmpty() ? QByteArray("<unreadable>") : bytes);
    }

    // A sparse file of 100 GB: refused at once, never overwritten.
    // A file read a piece at a time gives what the same file read whole
    // gives: rows, keys and the report.
    void piecewiseReadMatchesWholeRead()
    {
        QRandomGenerator rng(20261207);
        for (int round = 0; round < 400; ++round) {
            const QByteArray bytes = randomListFile(rng);
            writeBytes(m_path, bytes);
            Catalog whole;
            const CatalogLoadReport expected = ReadCatalogBytes(bytes, whole);
            Catalog pieces(64);
            const qsizetype pieceBytes = 1 + rng.bounded(48);
            const CatalogLoadReport got = LoadCatalog(m_path, pieces, {}, pieceBytes);
            const QByteArray context = "round " + QByteArray::number(round) + ", pieces of "
                + QByteArray::number(pieceBytes) + ": " + bytes.toHex(' ');
            QVERIFY2(got.readable && got.fileFound, context);
            QVERIFY2(got.rows == expected.rows && got.malformedLines == expected.malformedLines
                    && got.controlChars == expected.controlChars && got.undecodableChars == expected.undecodableChars
                    && got.encoding == expected.encoding && got.guessedUtf16 == expected.guessedUtf16,
                context);
            QCOMPARE(pieces.size(), whole.size());
            for (qsizetype i = 0; i < whole.size(); ++i)
                QVERIFY2(pieces.at(i) == whole.at(i), context);
        }
    }

    // Lines of code page 932 and UTF-8 read as a plain reference reads
    // them: decoded, each control character made U+FFFD, the last fourteen
    // '#' taken as separators and those missing added at the end.
    void linesReadAsAPlainReferenceReadsThem()
    {
        QRandomGenerator rng(20261208);
        QMap<TextEncoding, int> compared;
        for (int round = 0; round < 600; ++round) {
            QByteArray bytes = randomListFile(rng, round % 2 == 1);
            Catalog catalog;
            const CatalogLoadReport report = ReadCatalogBytes(bytes, catalog);
            if (report.guessedUtf16)
                continue;
            if (report.encoding == TextEncoding::Utf8WithBom)
                bytes.remove(0, 3);
            QList<QByteArray> lines = QByteArray(bytes).replace("\r\n", "\n").replace('\r', '\n').split('\n');
            lines.removeAll(QByteArray());
            qint64 bad = 0;
            qint64 controls = 0;
            QCOMPARE(catalog.size(), lines.size());
            for (qsizetype i = 0; i < lines.size(); ++i) {
                QString text = TextCodec::decode(lines[i], report.encoding, bad);
                for (QChar &c : text) {
                    if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
                        c = QChar(0xFFFD);
                        ++controls;
                    }
                }
                int found = 0;
                for (qsizetype k = text.size() - 1; k >= 0 && found < CatalogItem::StoredFieldCount - 1; --k) {
                    if (text[k] == u'#') {
                        text[k] = CatalogItem::Separator;
                        ++found;
                    }
                }
                text += QString(CatalogItem::StoredFieldCount - 1 - found, CatalogItem::Separator);
                QVERIFY2(catalog.at(i).joinedText() == text, bytes.toHex(' '));
            }
            QCOMPARE(report.undecodableChars, bad);
            QCOMPARE(report.controlChars, controls);
            ++compared[report.encoding];
        }
        QVERIFY(compared[TextEncoding::Cp932] > 100);
        QVERIFY(compared[TextEncoding::Utf8] > 100);
        QVERIFY(compared[TextEncoding::Utf8WithBom] > 30);
    }

    // A damaged file without line ends is not gathered into one line
    // beyond what a file read whole may hold.
    void endlessLineIsRefused()
    {
        QBuffer device;
        device.setData(QByteArray(100, 'x') + "\r\nshort\r\n");
        device.open(QIODevice::ReadOnly);
        PieceReader pieces(device, 1 << 20, 8, 64);
        QByteArrayView piece;
        QVERIFY(!pieces.next(piece));
        QVERIFY(pieces.failed());
        QCOMPARE(pieces.error(), TextFile::tooLargeReason(64));
        QBuffer fits;
        fits.setData(QByteArray(60, 'x') + "\r\nshort");
        fits.open(QIODevice::ReadOnly);
        PieceReader fitting(fits, 1 << 20, 8, 64);
        QVERIFY(fitting.next(piece));
        QCOMPARE(piece.size(), 62);
        QVERIFY(fitting.next(piece));
        QCOMPARE(piece, QByteArrayView("short"));
        QVERIFY(!fitting.next(piece));
        QVERIFY(!fitting.failed());
    }

    void oversizedFileIsRefused()
    {
        const qint64 size = qint64(100) << 30;
        QVERIFY(TestFiles::makeSparse(m_path, size));
        Catalog catalog;
        const CatalogLoadReport report = LoadCatalog(m_path, catalog);
        QVERIFY(report.fileFound);
        QVERIFY(!report.readable);
        QCOMPARE(catalog.size(), 0);
        QVERIFY2(report.remark().contains(QStringLiteral("大きすぎる")), qPrintable(report.remark()));
        CatalogFileGuard guard(report);
        catalog.append(rowOf({ QStringLiteral("new.avi") }));
        QVERIFY(!SaveCatalog(m_path, catalog, guard).ok);
        QCOMPARE(QFileInfo(m_path).size(), size);
        // The same bound when read from a device.
        QBuffer tooLong;
        tooLong.setData(QByteArray(3 << 20, 'x'));
        tooLong.open(QIODevice::ReadOnly);
        QByteArray bytes;
        QString error;
        QVERIFY(!TextFile::readAll(tooLong, bytes, error, 1 << 20));
        QVERIFY(bytes.isEmpty());
        QCOMPARE(error, TextFile::tooLargeReason(1 << 20));
    }

    void encodingOfTheFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("bom");
        QTest::newRow("Japanese") << QStringLiteral("～①㈱∥－￢\\.avi") << false;
        QTest::newRow("emoji") << QStringLiteral("clip 🎬.mp4") << true;
        QTest::newRow("Korean") << QStringLiteral("영화.avi") << true;
        QTest::newRow("accented") << QStringLiteral("café.mp3") << true;
        QTest::newRow("Latin-1 not sign") << QStringLiteral("a¬b") << true;
    }

    void encodingOfTheFile()
    {
        QFETCH(QString, name);
        QFETCH(bool, bom);
        Catalog catalog;
        catalog.append(rowOf({ name, QStringLiteral("1") }));
        catalog.append(rowOf({ QStringLiteral("アニメ.avi") }));
        QVERIFY(SaveCatalog(m_path, catalog).ok);
        const QByteArray bytes = fileBytes(m_path);
        QCOMPARE(bytes.startsWith("\xEF\xBB\xBF"), bom);
        if (!bom)
            QCOMPARE(bytes, cp932Bytes(name + QStringLiteral("#1#############\r\nアニメ.avi##############\r\n")));
        Catalog loaded;
        const CatalogLoadReport report = LoadCatalog(m_path, loaded);
        QCOMPARE(report.undecodableChars, 0);
        QCOMPARE(loaded.at(0).text(CatalogItem::Name), name);
        QCOMPARE(loaded.at(1).text(CatalogItem::Name), QStringLiteral("アニメ.avi"));
    }

    // Half-width katakana often forms valid two-byte UTF-8; such a file is
    // code page 932 all the same, read and written back byte for byte. Only
    // code page 932 bytes that form a longer UTF-8 sequence ("縺｡" is
    // E3 81 A1, "ち" in UTF-8) make the file UTF-8 with its mark.
    void bytesThatLookLikeUtf8_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("bom");
        QTest::newRow("ﾊｲﾃｸ and ﾏｲﾅｰ") << QStringList { "ﾊｲﾃｸ", "ﾏｲﾅｰ.avi" } << false;
        QTest::newRow("ﾃｽﾄｶ") << QStringList { "ﾃｽﾄｶ.avi" } << false;
        QTest::newRow("with a row of kanji") << QStringList { "ﾃｽﾄｶ.avi", "映画.avi" } << false;
        QTest::newRow("Windows' single bytes") << QStringList { "\u0080\uF8F0\uF8F1\uF8F2\uF8F3.txt" } << false;
        QTest::newRow("three-byte UTF-8 look-alike") << QStringList { "縺｡.avi", "ﾊｲﾃｸ" } << true;
        QTest::newRow("ASCII only") << QStringList { "a.avi", "b.avi" } << false;
    }

    void bytesThatLookLikeUtf8()
    {
        QFETCH(QStringList, names);
        QFETCH(bool, bom);
        Catalog catalog;
        for (const QString &name : names)
            catalog.append(rowOf(
                { name, QStringLiteral("1"), QString(), QString(), QString(), QString(), QString(), QString(), name }));
        QVERIFY(SaveCatalog(m_path, catalog).ok);
        const QByteArray written = fileBytes(m_path);
        QCOMPARE(written.startsWith("\xEF\xBB\xBF"), bom);
        Catalog loaded;
        const CatalogLoadReport report = LoadCatalog(m_path, loaded);
        QVERIFY(!report.changedOnReading());
        QCOMPARE(loaded.size(), catalog.size());
        for (qsizetype i = 0; i < catalog.size(); ++i)
            QCOMPARE(storedFields(loaded.at(i)), storedFields(catalog.at(i)));
        CatalogFileGuard guard(report);
        QVERIFY(SaveCatalog(m_path, loaded, guard).ok);
        QCOMPARE(fileBytes(m_path), written);
        QVERIFY(!QFile::exists(m_path + QStringLiteral(".bak")));
    }

    // An old file made on Windows: kept byte for byte through a load and a
    // save, and never taken for UTF-8.
    void oldCodePage932FileKeepsItsBytes()
    {
        const QByteArray old = "\xCA\xB2\xC3\xB8.avi#1#AVI######\xCF\xB2\xC5\xB0######\r\n"
                               "\x80\xA0\xFD\xFE\xFF#2#TXT############\r\n";
        QVERIFY(writeBytes(m_path, old));
        Catalog catalog;
        const CatalogLoadReport report = LoadCatalog(m_path, catalog);
        QCOMPARE(report.encoding, TextEncoding::Cp932);
        QVERIFY(!report.changedOnReading());
        QCOMPARE(catalog.at(0).text(CatalogItem::Name), QStringLiteral("ﾊｲﾃｸ.avi"));
        QCOMPARE(catalog.at(0).text(CatalogItem::Genre1), QStringLiteral("ﾏｲﾅｰ"));
        QCOMPARE(catalog.at(1).text(CatalogItem::Name), QStringLiteral("\u0080\uF8F0\uF8F1\uF8F2\uF8F3"));
        QVERIFY(SaveCatalog(m_path, catalog).ok);
        QCOMPARE(fileBytes(m_path), old);
    }

    void utf8WithoutMarkIsReadAsUtf8()
    {
        Catalog catalog;
        const CatalogLoadReport report
            = ReadCatalogBytes(QStringLiteral("アニメ.avi##############\r\n").toUtf8(), catalog);
        QCOMPARE(report.encoding, TextEncoding::Utf8);
        QCOMPARE(catalog.at(0).text(CatalogItem::Name), QStringLiteral("アニメ.avi"));
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

QTEST_GUILESS_MAIN(TestListFile)
#include "tst_listfile.moc"
