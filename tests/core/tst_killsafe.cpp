// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// A save killed at any moment leaves the old file or the new one, complete.
//
// The test runs itself again as a child ("--save-child ...") that saves over
// an existing file, and kills that child with SIGKILL at spread moments:
//  - the catalogue: one save of 1,000,000 rows over a different catalogue of
//    the same size; the kill moments are spread over the measured length of
//    a save, the first right when the save starts and the last right after
//    it ended;
//  - test.ini and List01.txt..List05.txt: the child saves two sets of values
//    in turn, as fast as it can, and is killed after 0, 2, 4 .. 36 ms, and
//    once right after its first save ended.
// After every kill each file must equal, byte for byte, one of the contents
// a complete save can leave. ZARUMI_KILLSAFE_POINTS sets the number of kill
// moments (20 when unset).
#include "CategoryLists.h"
#include "ListFile.h"
#include "ProfileFile.h"
#include "SettingsFile.h"
#include "StaleTempFiles.h"
#include "TextCodec.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr qint64 CatalogRows = 1'000'000;

// A catalogue of n rows: names of varied length, about a third Japanese,
// category values on part of the rows. seed makes two catalogues differ.
Catalog MakeCatalog(qint64 n, int seed)
{
    QByteArray bytes;
    bytes.reserve(n * 110);
    QByteArray japanese;
    TextCodec::encodeAppend(u"映画の記録～第", TextEncoding::Cp932, japanese);
    QByteArray genre;
    TextCodec::encodeAppend(u"アニメ", TextEncoding::Cp932, genre);
    QByteArray times;
    TextCodec::encodeAppend(u"640×480", TextEncoding::Cp932, times);
    for (qint64 i = 0; i < n; ++i) {
        const qint64 v = i * 7919 + seed;
        if (i % 3 == 0)
            bytes += japanese + QByteArray::number(v) + "話.avi";
        else
            bytes += "movie_" + QByteArray(int(v % 23), 'x') + QByteArray::number(v) + ".mpg";
        bytes += '#' + QByteArray::number(v % 100000) + '.' + QByteArray::number(100 + v % 900) + "#AVI#" + times
            + "#01:02:03#XviD#2024/01/02#2024/03/04#";
        bytes += (i % 4 == 0 ? genre : QByteArray()) + "##" + QByteArray::number(seed) + "###sp1#\r\n";
    }
    Catalog catalog;
    ReadCatalogBytes(bytes, catalog);
    return catalog;
}

QByteArray CatalogBytes(const Catalog &catalog)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    WriteCatalog(buffer, catalog);
    return buffer.data();
}

SettingsToSave SettingsValues(int seed)
{
    SettingsToSave values;
    values.geometry = SettingsToSave::Geometry { 9000.0 + seed, 5000.5 + seed, 10.0 * seed, 20.0 * seed };
    values.tabLine = seed % 2;
    values.endSave = (seed + 1) % 2;
    for (int k = 0; k < Settings::ColumnCount; ++k)
        values.columnWidths[size_t(k)] = 1000 + 37 * k + seed + 0.969;
    for (int k = 0; k < 14; ++k)
        values.displayPositions[size_t(k)] = (k + seed) % 14 + 1;
    return values;
}

// Lists of a few hundred values each, so a save of the five files takes a
// moment.
CategoryLists ListsValues(int seed)
{
    CategoryLists lists;
    for (int k = 1; k <= CategoryLists::Count; ++k) {
        for (int i = 0; i < 300 + 50 * k; ++i)
            lists.list(k).append(QStringLiteral("ジャンル%1-%2-%3").arg(seed).arg(k).arg(i));
    }
    return lists;
}

const QByteArray OldIni = QByteArray("; a comment the program keeps\r\n[Other]\r\nkey=value\r\n[Options]\r\n"
                                     "Width=1234\r\nUnknown=kept\r\n");

QByteArray IniBytesAfter(const QByteArray &before, const SettingsToSave &values)
{
    ProfileFile profile;
    profile.setText(before);
    WriteSettingsTo(profile, values);
    return profile.toBytes();
}

void Say(const char *text)
{
    std::fputs(text, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// "saved" after the first save of a loop, "failed" after any failure.
void Report(bool ok, int n)
{
    if (!ok)
        Say("failed");
    else if (n == 0)
        Say("saved");
}

// The child: saves and then waits to be killed.
int SaveChild(const QString &kind, const QString &folder)
{
    const QDir dir(folder);
    if (kind == u"catalog") {
        // The new catalogue, read from the file the parent made beside the
        // data folder (reading is quicker than making it again).
        Catalog catalog;
        if (!LoadCatalog(dir.filePath("../new-List.txt"), catalog).fileFound)
            Say("failed");
        Say("saving");
        const FileResult saved = SaveCatalog(dir.filePath("List.txt"), catalog);
        Say(saved.ok ? "saved" : "failed");
    } else if (kind == u"settings") {
        const SettingsToSave values[2] = { SettingsValues(1), SettingsValues(2) };
        Say("saving");
        for (int i = 0, n = 0;; i ^= 1, ++n)
            Report(SaveSettings(dir.filePath("test.ini"), values[i]).ok, n);
    } else if (kind == u"categories") {
        const CategoryLists lists[2] = { ListsValues(1), ListsValues(2) };
        Say("saving");
        for (int i = 0, n = 0;; i ^= 1, ++n)
            Report(SaveCategoryLists(folder, lists[i]).isEmpty(), n);
    }
    for (;;)
        pause();
}

int KillPoints()
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("ZARUMI_KILLSAFE_POINTS", &ok);
    return ok && n > 0 ? n : 20;
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing: ") + file.errorString().toUtf8() + '>';
    return file.readAll();
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(file.errorString()));
    QCOMPARE(file.write(bytes), bytes.size());
}

// What is in folder besides the named files once the stale temporary files
// are gone: every temporary file a kill left must be one the start-up
// removes.
QStringList Unexpected(const QString &folder, const QStringList &files)
{
    QStringList unexpected;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        if (!files.contains(name))
            unexpected.append(name);
    }
    return unexpected;
}

} // namespace

class TestKillSafe : public QObject
{
    Q_OBJECT

private slots:
    void catalogSurvivesKills();
    void smallFilesSurviveKills_data();
    void smallFilesSurviveKills();

private:
    // Starts the child and waits for its "saving"; returns the elapsed timer
    // started at that moment.
    static bool startChild(QProcess &child, const QString &kind, const QString &folder);
    static QString waitForLine(QProcess &child, int timeoutMs);
};

bool TestKillSafe::startChild(QProcess &child, const QString &kind, const QString &folder)
{
    child.setProgram(QCoreApplication::applicationFilePath());
    child.setArguments({ QStringLiteral("--save-child"), kind, folder });
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start();
    if (!child.waitForStarted(10000))
        return false;
    return waitForLine(child, 120000) == u"saving";
}

QString TestKillSafe::waitForLine(QProcess &child, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!child.canReadLine()) {
        const int left = int(timeoutMs - timer.elapsed());
        if (left <= 0 || !child.waitForReadyRead(left))
            return child.canReadLine() ? QString::fromUtf8(child.readLine()).trimmed() : QString();
    }
    return QString::fromUtf8(child.readLine()).trimmed();
}

void TestKillSafe::catalogSurvivesKills()
{
    QTemporaryDir top;
    QVERIFY(top.isValid());
    QVERIFY(QDir(top.path()).mkdir("data"));
    const QDir dir(top.filePath("data"));
    const QString path = dir.filePath("List.txt");
    const QByteArray oldBytes = CatalogBytes(MakeCatalog(CatalogRows, 1));
    const QByteArray newBytes = CatalogBytes(MakeCatalog(CatalogRows, 2));
    QVERIFY(oldBytes != newBytes);
    WriteFile(top.filePath("new-List.txt"), newBytes);

    // One complete save, to learn how long a save takes here.
    WriteFile(path, oldBytes);
    QProcess probe;
    QVERIFY(startChild(probe, "catalog", dir.path()));
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(waitForLine(probe, 300000), QStringLiteral("saved"));
    const qint64 saveNs = timer.nsecsElapsed();
    probe.kill();
    probe.waitForFinished();
    QVERIFY(ReadFile(path) == newBytes);

    const int points = KillPoints();
    int oldSeen = 0;
    int newSeen = 0;
    for (int i = 0; i < points; ++i) {
        WriteFile(path, oldBytes);
        QProcess child;
        QVERIFY(startChild(child, "catalog", dir.path()));
        if (i == points - 1) {
            QCOMPARE(waitForLine(child, 300000), QStringLiteral("saved"));
        } else if (i > 0) {
            QThread::usleep(quint64(saveNs * i / (points - 1) / 1000));
        }
        child.kill(); // SIGKILL
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        const QByteArray now = ReadFile(path);
        const bool isOld = now == oldBytes;
        const bool isNew = now == newBytes;
        QVERIFY2(isOld || isNew,
            qPrintable(QStringLiteral("kill %1: List.txt holds %2 bytes, neither old nor new").arg(i).arg(now.size())));
        oldSeen += isOld;
        newSeen += isNew;
    }
    const QStringList leftovers = StaleTempFiles::find(dir.path());
    qInfo("%d kills during a save of %lld rows (%.0f ms a save): old file %d times, new file %d times; "
          "%lld temporary files left",
        points, CatalogRows, saveNs / 1e6, oldSeen, newSeen, qint64(leftovers.size()));
    QVERIFY(oldSeen > 0);
    QVERIFY(newSeen > 0);
    StaleTempFiles cleaner;
    cleaner.removeFrom(dir.path());
    QVERIFY(cleaner.result().ok);
    QCOMPARE(Unexpected(dir.path(), { "List.txt" }), QStringList());
}

void TestKillSafe::smallFilesSurviveKills_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("test.ini") << "settings";
    QTest::newRow("List01..05.txt") << "categories";
}

void TestKillSafe::smallFilesSurviveKills()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());

    // name -> the contents a complete save may leave, the old one first.
    QList<QPair<QString, QList<QByteArray>>> files;
    if (kind == u"settings") {
        const QByteArray a = IniBytesAfter(OldIni, SettingsValues(1));
        const QByteArray b = IniBytesAfter(a, SettingsValues(2));
        QCOMPARE(IniBytesAfter(b, SettingsValues(1)), a); // a third save gives the first again
        files.append({ "test.ini", { OldIni, a, b } });
    } else {
        const CategoryLists a = ListsValues(1);
        const CategoryLists b = ListsValues(2);
        for (int k = 1; k <= CategoryLists::Count; ++k) {
            const QByteArray old = CategoryListBytes({ QStringLiteral("古い値%1").arg(k), QString() });
            files.append({ QStringLiteral("List0%1.txt").arg(k),
                { old, CategoryListBytes(a.list(k)), CategoryListBytes(b.list(k)) } });
        }
    }

    const int points = KillPoints();
    QList<int> seen(3, 0);
    for (int i = 0; i < points; ++i) {
        for (const auto &file : files)
            WriteFile(dir.filePath(file.first), file.second.first());
        QProcess child;
        QVERIFY(startChild(child, kind, dir.path()));
        if (i == points - 1)
            QCOMPARE(waitForLine(child, 60000), QStringLiteral("saved"));
        else
            QThread::usleep(quint64(i) * 2000);
        child.kill();
        QVERIFY(child.waitForFinished(30000));
        QVERIFY2(!child.readAll().contains("failed"), "a save in the child failed");
        for (const auto &file : files) {
            const QByteArray now = ReadFile(dir.filePath(file.first));
            const qsizetype which = file.second.indexOf(now);
            QVERIFY2(which >= 0,
                qPrintable(QStringLiteral("kill %1 after %2 ms: %3 holds %4 bytes, not a complete save")
                               .arg(i)
                               .arg(i)
                               .arg(file.first)
                               .arg(now.size())));
            ++seen[which];
        }
    }
    const QStringList leftovers = StaleTempFiles::find(dir.path());
    qInfo("%d kills while saving %s: old content %d times, first values %d, second values %d; "
          "%lld temporary files left",
        points, qPrintable(kind), seen[0], seen[1], seen[2], qint64(leftovers.size()));
    QVERIFY(seen[1] + seen[2] > 0);
    StaleTempFiles cleaner;
    cleaner.removeFrom(dir.path());
    QVERIFY(cleaner.result().ok);
    QStringList names;
    for (const auto &file : files)
        names.append(file.first);
    QCOMPARE(Unexpected(dir.path(), names), QStringList());
}

int main(int argc, char **argv)
{
    if (argc == 4 && qstrcmp(argv[1], "--save-child") == 0)
        return SaveChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    // Twenty-odd saves of a million rows take longer than Qt Test's default
    // five minutes per function on a loaded machine (CTest's limit still holds).
    if (qEnvironmentVariableIsEmpty("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT", "1200000");
    QCoreApplication app(argc, argv);
    TestKillSafe test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_killsafe.moc"
