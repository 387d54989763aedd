// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// A write of any of the seven files (and of List.txt.bak) that fails part
// way leaves the old file as it was and is reported; so does a write the
// file system refuses. A failure of one file never skips the writes after
// it.
//
// The test runs itself again as a child ("--write-child ...") that saves into
// a prepared folder:
//  - under a file size limit (RLIMIT_FSIZE, with SIGXFSZ ignored so the
//    write fails with EFBIG): the file being tested gets more new content
//    than the limit, the other files less; through the save of that file
//    alone, through the File menu's "保存" and through the exit's sequence;
//    once with large files (64 KiB limit) and once with small ones (a 2 KiB
//    limit, every file under 16 KiB, the size a write buffer takes whole);
//  - as an unprivileged user (setpriv, when the test runs as root; as the
//    test's own user otherwise): a data folder that may not be written, and
//    a file that may not be written.
// The child prints the status texts of its saves and exits with 0 when a
// failure was reported, 1 when every save claimed success.
#include "CategoryLists.h"
#include "ListFile.h"
#include "ProfileFile.h"
#include "SaveSequence.h"
#include "SettingsFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr rlim_t LargeLimit = 64 * 1024;
constexpr rlim_t SmallLimit = 2 * 1024;
constexpr qsizetype WriteBufferSize = 16 * 1024;
constexpr uid_t Nobody = 65534;

const QString Backup = QStringLiteral("List.txt.bak");
const QStringList AllFiles { "List.txt", "test.ini", "List01.txt", "List02.txt", "List03.txt", "List04.txt",
    "List05.txt", Backup };

// Small files: the file under test is a few KiB instead of hundreds.
bool Small = false;

rlim_t SizeLimit()
{
    return Small ? SmallLimit : LargeLimit;
}

int CategoryNumber(const QString &file)
{
    return file.startsWith(u"List0") ? file.mid(5, 1).toInt() : 0;
}

// The new content of every file: big (several times the size limit) for
// the file under test, small for the others.
Catalog MakeCatalog(int rows, const QString &name)
{
    Catalog catalog;
    for (int i = 0; i < rows; ++i) {
        CatalogItem item;
        item.setField(CatalogItem::Name, name.arg(i));
        item.setField(CatalogItem::FileSize, QStringLiteral("%1.000").arg(i));
        item.setField(CatalogItem::Kind, QStringLiteral("AVI"));
        item.setField(CatalogItem::Genre1, QStringLiteral("アニメ"));
        catalog.append(item);
    }
    return catalog;
}

int BigCount(int large, int small)
{
    return Small ? small : large;
}

Catalog NewCatalog(const QString &big)
{
    return MakeCatalog(big == u"List.txt" ? BigCount(6000, 100) : 3, QStringLiteral("新しい映画%1.avi"));
}

QByteArray CatalogFileBytes(const Catalog &catalog)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    WriteCatalog(buffer, catalog);
    return buffer.data();
}

// A save of List.txt makes List.txt.bak first when the file held bytes
// that could not be read.
CatalogFileGuard GuardFor(const QString &big)
{
    CatalogLoadReport report;
    report.fileFound = true;
    report.undecodableChars = big == Backup ? 1 : 0;
    return CatalogFileGuard(report);
}

CategoryLists NewLists(const QString &big)
{
    CategoryLists lists;
    for (int k = 1; k <= CategoryLists::Count; ++k) {
        const int values = CategoryNumber(big) == k ? BigCount(12000, 300) : 3;
        for (int i = 0; i < values; ++i)
            lists.list(k).append(QStringLiteral("新しい値%1-%2").arg(k).arg(i));
    }
    return lists;
}

SettingsToSave NewSettings()
{
    SettingsToSave values;
    values.geometry = SettingsToSave::Geometry { 9100, 5100, 10, 20 };
    values.endSave = 1;
    for (int k = 0; k < Settings::ColumnCount; ++k)
        values.columnWidths[size_t(k)] = 1000 + k;
    for (int k = 0; k < 14; ++k)
        values.displayPositions[size_t(k)] = k + 1;
    return values;
}

// The old content of every file; test.ini is big when it is the file under
// test (its unknown lines are kept, so the new one is bigger still).
QByteArray OldBytes(const QString &file, const QString &big)
{
    if (file == u"test.ini") {
        QByteArray ini = "[Options]\r\nWidth=1234\r\n";
        const int comments = big == u"test.ini" ? BigCount(6000, 150) : 2;
        for (int i = 0; i < comments; ++i)
            ini += "; old comment line number " + QByteArray::number(i) + "\r\n";
        return ini;
    }
    if (file == u"List.txt" && big == Backup) // big enough that its copy fails
        return CatalogFileBytes(MakeCatalog(BigCount(6000, 100), QStringLiteral("古い映画%1.avi")));
    if (file == u"List.txt")
        return QByteArray("old.avi#1.000#AVI############\r\nold2.mpg#2.000#MPG############\r\n");
    if (file == Backup)
        return QByteArray("older.avi#1.000#AVI############\r\n");
    return CategoryListBytes({ QStringLiteral("古い値%1").arg(CategoryNumber(file)), QString() });
}

QByteArray NewBytes(const QString &file, const QString &big)
{
    if (file == u"List.txt")
        return CatalogFileBytes(NewCatalog(big));
    if (file == Backup)
        return OldBytes(QStringLiteral("List.txt"), big);
    if (file == u"test.ini") {
        ProfileFile profile;
        profile.setText(OldBytes(file, big));
        WriteSettingsTo(profile, NewSettings());
        return profile.toBytes();
    }
    return CategoryListBytes(NewLists(big).list(CategoryNumber(file)));
}

void Say(const QString &text)
{
    std::fputs(text.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The save named by how ("file", "menu" or "exit") with file as the big
// one; returns the child's exit code.
int WriteChild(const QString &how, const QString &file, const QString &folder, bool limited)
{
    if (limited) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit { SizeLimit(), SizeLimit() };
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            Say(QStringLiteral("setrlimit failed"));
            return 2;
        }
    }
    Say(QStringLiteral("uid=%1").arg(geteuid()));
    const QDir dir(folder);
    CatalogFileGuard guard = GuardFor(file);
    QList<FileResult> results;
    if (how == u"file") {
        if (file == u"List.txt" || file == Backup)
            results.append(SaveCatalog(dir.filePath("List.txt"), NewCatalog(file), guard));
        else if (file == u"test.ini")
            results.append(SaveSettings(dir.filePath(file), NewSettings()));
        else
            results.append(SaveCategoryLists(folder, NewLists(file)));
    } else {
        const SaveSequenceReport report = how == u"menu"
            ? SaveFromFileMenu(folder, NewCatalog(file), NewLists(file), guard)
            : SaveOnExit(folder, NewSettings(), true, NewCatalog(file), NewLists(file), guard);
        results = report.failures();
        Say(report.statusText());
    }
    bool failed = false;
    for (const FileResult &result : results) {
        failed = failed || !result.ok;
        if (!result.ok)
            Say(result.statusText());
    }
    return failed ? 0 : 1;
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable: ") + file.errorString().toUtf8() + '>';
    return file.readAll();
}

} // namespace

class TestFailingWrites : public QObject
{
    Q_OBJECT

private slots:
    void sizeLimit_data();
    void sizeLimit();
    void notPermitted_data();
    void notPermitted();

private:
    static void prepare(const QString &folder, const QString &big);
    // Runs the child, possibly as the unprivileged user; gives its exit
    // code and output.
    static int runChild(const QStringList &arguments, bool unprivileged, QString &output);
    static int finish(QProcess &child, QString &output);
    static QStringList written(const QString &big, const QString &how);
    static void checkOthers(const QString &folder, const QString &big, const QString &how);
};

void TestFailingWrites::prepare(const QString &folder, const QString &big)
{
    for (const QString &file : AllFiles) {
        QFile out(QDir(folder).filePath(file));
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const QByteArray bytes = OldBytes(file, big);
        QCOMPARE(out.write(bytes), bytes.size());
    }
}

int TestFailingWrites::runChild(const QStringList &arguments, bool unprivileged, QString &output)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    const QStringList own = QStringList { "--write-child" } + arguments;
    if (unprivileged && geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable("setpriv");
        if (setpriv.isEmpty()) {
            output = QStringLiteral("setpriv is needed to run the case as an unprivileged user");
            return -1;
        }
        // The build folder may lie where the unprivileged user can't go
        // (under /root, say): run a copy of this program from a folder
        // anybody may enter. It links nothing from the build folder.
        QTemporaryDir copyDir;
        const QString copy = copyDir.filePath(QStringLiteral("tst_failingwrites"));
        if (!copyDir.isValid() || !QFile::copy(QCoreApplication::applicationFilePath(), copy)
            || ::chmod(QFile::encodeName(copyDir.path()).constData(), 0755) != 0
            || ::chmod(QFile::encodeName(copy).constData(), 0755) != 0) {
            output = QStringLiteral("could not copy the test program for the unprivileged user");
            return -1;
        }
        child.start(setpriv,
            QStringList { QStringLiteral("--reuid=%1").arg(Nobody), QStringLiteral("--regid=%1").arg(Nobody),
                "--clear-groups", copy }
                + own);
        return finish(child, output);
    }
    child.start(QCoreApplication::applicationFilePath(), own);
    return finish(child, output);
}

int TestFailingWrites::finish(QProcess &child, QString &output)
{
    if (!child.waitForFinished(120000)) {
        child.kill();
        child.waitForFinished();
        output = QStringLiteral("child did not finish");
        return -1;
    }
    output = QString::fromUtf8(child.readAll());
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
}

// The files a save writes: the one failing file aside, each of them is new,
// complete (a failure never skips the writes after it); every other file
// is as it was.
QStringList TestFailingWrites::written(const QString &big, const QString &how)
{
    QStringList files;
    const QStringList categories { "List01.txt", "List02.txt", "List03.txt", "List04.txt", "List05.txt" };
    if (how == u"file")
        files = CategoryNumber(big) > 0 ? categories : QStringList { big };
    else
        files = QStringList { "List.txt" } + categories;
    if (how == u"exit")
        files.append(QStringLiteral("test.ini"));
    files.removeAll(big);
    // A catalogue whose copy failed is not replaced.
    if (big == Backup)
        files.removeAll(QStringLiteral("List.txt"));
    return files;
}

void TestFailingWrites::checkOthers(const QString &folder, const QString &big, const QString &how)
{
    const QStringList newFiles = written(big, how);
    for (const QString &file : AllFiles) {
        if (file == big)
            continue;
        const QByteArray now = ReadFile(QDir(folder).filePath(file));
        const QByteArray expected = newFiles.contains(file) ? NewBytes(file, big) : OldBytes(file, big);
        QVERIFY2(now == expected,
            qPrintable(file
                + (newFiles.contains(file) ? QStringLiteral(" was not written")
                                           : QStringLiteral(" was written by another file's save"))));
    }
}

void TestFailingWrites::sizeLimit_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("small");
    for (const bool small : { false, true }) {
        const char *size = small ? "small" : "large";
        for (const QString &file : AllFiles) {
            QTest::addRow("%s alone, %s", qPrintable(file), size) << "file" << file << small;
            if (file != u"test.ini") // the File menu's save leaves test.ini alone
                QTest::addRow("%s at 保存, %s", qPrintable(file), size) << "menu" << file << small;
            QTest::addRow("%s at exit, %s", qPrintable(file), size) << "exit" << file << small;
        }
    }
}

void TestFailingWrites::sizeLimit()
{
    QFETCH(QString, how);
    QFETCH(QString, file);
    QFETCH(bool, small);
    Small = small;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    prepare(dir.path(), file);
    const qsizetype newSize = NewBytes(file, file).size();
    QVERIFY(newSize > qsizetype(SizeLimit()) * 2);
    if (small)
        QVERIFY(newSize < WriteBufferSize);
    for (const QString &other : AllFiles) {
        if (other != file)
            QVERIFY(NewBytes(other, file).size() < qsizetype(SizeLimit()));
    }

    QString output;
    const int code = runChild({ how, file, dir.path(), small ? "small" : "large" }, false, output);
    QVERIFY2(code == 0, qPrintable(QStringLiteral("exit %1, the failure was not reported: %2").arg(code).arg(output)));
    QVERIFY2(output.contains(file + QStringLiteral(" を保存できませんでした（ファイルの大きさの上限を超えました）")),
        qPrintable(output));
    QCOMPARE(ReadFile(dir.filePath(file)), OldBytes(file, file));
    checkOthers(dir.path(), file, how);
    QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    left.sort();
    QStringList expected = AllFiles;
    expected.sort();
    QCOMPARE(left, expected);
}

void TestFailingWrites::notPermitted_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("lockedFolder"); // else the file itself is read-only
    for (const QString &file : AllFiles) {
        QTest::addRow("%s, folder not writable", qPrintable(file)) << file << true;
        QTest::addRow("%s, file read-only", qPrintable(file)) << file << false;
    }
}

void TestFailingWrites::notPermitted()
{
    QFETCH(QString, file);
    QFETCH(bool, lockedFolder);
    Small = false;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    prepare(dir.path(), file);
    const QByteArray path = QFile::encodeName(dir.filePath(file));
    // Anybody enters the folder and reads and writes the files. Locked
    // folder: nobody writes in it, so no temporary file can be made there.
    // Read-only file: the folder is open to anybody, the file is read-only
    // for everybody.
    QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), lockedFolder ? 0555 : 0777), 0);
    for (const QString &name : AllFiles)
        QCOMPARE(::chmod(QFile::encodeName(dir.filePath(name)).constData(), 0666), 0);
    if (!lockedFolder)
        QCOMPARE(::chmod(path.constData(), 0444), 0);
    // In a locked folder every category file fails, each one reported.
    const QStringList reported = lockedFolder && CategoryNumber(file) > 0
        ? QStringList { "List01.txt", "List02.txt", "List03.txt", "List04.txt", "List05.txt" }
        : QStringList { file };

    QString output;
    const int code = runChild({ "file", file, dir.path(), "unlimited" }, true, output);
    ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    if (geteuid() == 0) // root passes every permission check: the case must not run as root
        QVERIFY2(output.startsWith(QStringLiteral("uid=%1\n").arg(Nobody)), qPrintable(output));
    QVERIFY2(code == 0, qPrintable(QStringLiteral("exit %1, the failure was not reported: %2").arg(code).arg(output)));
    for (const QString &name : reported) {
        QVERIFY2(output.contains(name + QStringLiteral(" を保存できませんでした（アクセスが許可されていません）")),
            qPrintable(output));
    }
    QCOMPARE(ReadFile(dir.filePath(file)), OldBytes(file, file));
    if (lockedFolder) {
        for (const QString &name : AllFiles)
            QCOMPARE(ReadFile(dir.filePath(name)), OldBytes(name, file));
    } else {
        checkOthers(dir.path(), file, QStringLiteral("file"));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), AllFiles.size());
}

int main(int argc, char **argv)
{
    if (argc == 6 && qstrcmp(argv[1], "--write-child") == 0) {
        Small = qstrcmp(argv[5], "small") == 0;
        return WriteChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
            QString::fromLocal8Bit(argv[4]), qstrcmp(argv[5], "unlimited") != 0);
    }
    QCoreApplication app(argc, argv);
    TestFailingWrites test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_failingwrites.moc"
