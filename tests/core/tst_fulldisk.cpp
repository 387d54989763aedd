// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// Saves on a disk that is full, or nearly full, and on a read-only file
// system: every file keeps its old content byte for byte, every failure is
// reported with its reason, and nothing of the saves is left behind.
//
// The disk is a small tmpfs mounted for the test, so it runs as root only
// (as CI does); elsewhere it is skipped.
#include "CategoryLists.h"
#include "ListFile.h"
#include "ProfileFile.h"
#include "SaveSequence.h"
#include "SettingsFile.h"
#include "TestFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using TestFiles::fileBytes;
using TestFiles::writeBytes;

namespace {

constexpr int PageSize = 4096;
const QString Filler = QStringLiteral("filler");

const QStringList DataFileNames { "List.txt", "List.txt.bak", "test.ini", "List01.txt", "List02.txt", "List03.txt",
    "List04.txt", "List05.txt" };

// New content of a few KiB for every file: more than one page, less than
// the 16 KiB a write buffer holds.
Catalog NewCatalog()
{
    Catalog catalog;
    for (int i = 0; i < 120; ++i) {
        CatalogItem item;
        item.setField(CatalogItem::Name, QStringLiteral("新しい映画%1.avi").arg(i));
        item.setField(CatalogItem::Kind, QStringLiteral("AVI"));
        catalog.append(item);
    }
    return catalog;
}

CategoryLists NewLists()
{
    CategoryLists lists;
    for (int k = 1; k <= CategoryLists::Count; ++k) {
        for (int i = 0; i < 400; ++i)
            lists.list(k).append(QStringLiteral("ジャンルの値%1-%2").arg(k).arg(i));
    }
    return lists;
}

SettingsToSave NewSettings()
{
    SettingsToSave values;
    values.geometry = SettingsToSave::Geometry { 9100, 5100, 10, 20 };
    for (int k = 0; k < 14; ++k)
        values.displayPositions[size_t(k)] = k + 1;
    return values;
}

QByteArray OldBytes(const QString &name)
{
    QByteArray bytes;
    // test.ini keeps its comment lines, so its new content is larger still.
    const QByteArray line = name == u"test.ini" ? "; a comment kept by every save\r\n" : "old#line########\r\n";
    for (int i = 0; i < 300; ++i) // more than a page, as a copy of List.txt is
        bytes += line;
    return bytes;
}

bool Run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// Writes the filler until the disk is full, then frees pages of it.
void FillLeaving(const QString &folder, int freePages)
{
    QFile filler(QDir(folder).filePath(Filler));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray page(PageSize, 'f');
    while (filler.write(page) == PageSize) { }
    filler.close();
    QVERIFY(filler.resize(qMax<qint64>(0, filler.size() / PageSize * PageSize - qint64(freePages) * PageSize)));
}

} // namespace

class TestFullDisk : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void fullDiskKeepsEveryFile_data();
    void fullDiskKeepsEveryFile();
    void readOnlyFileSystemKeepsEveryFile();

private:
    QString path(const QString &name) const { return QDir(m_mount.path()).filePath(name); }
    void checkUnchanged(const QList<FileResult> &failures, const QStringList &expected, const QString &reason);

    QTemporaryDir m_mount;
    bool m_mounted = false;
};

void TestFullDisk::initTestCase()
{
    if (geteuid() != 0)
        QSKIP("mounting a small tmpfs needs root");
    QVERIFY(m_mount.isValid());
}

void TestFullDisk::init()
{
    // 40 pages: room for the old files and a little more.
    m_mounted = Run(QStringLiteral("mount"), { "-t", "tmpfs", "-o", "size=160k", "tmpfs", m_mount.path() });
    if (!m_mounted)
        QSKIP("a tmpfs could not be mounted here");
    for (const QString &name : DataFileNames)
        QVERIFY(writeBytes(path(name), OldBytes(name)));
}

void TestFullDisk::cleanup()
{
    if (m_mounted)
        QVERIFY(Run(QStringLiteral("umount"), { m_mount.path() }));
    m_mounted = false;
}

void TestFullDisk::cleanupTestCase()
{
    if (m_mounted)
        Run(QStringLiteral("umount"), { m_mount.path() });
}

void TestFullDisk::checkUnchanged(const QList<FileResult> &failures, const QStringList &expected, const QString &reason)
{
    QStringList failed;
    for (const FileResult &failure : failures) {
        failed.append(failure.fileName);
        QCOMPARE(failure.reason, reason);
    }
    QCOMPARE(failed, expected);
    for (const QString &name : DataFileNames)
        QVERIFY2(fileBytes(path(name)) == OldBytes(name), qPrintable(name + QStringLiteral(" changed")));
    QStringList left = QDir(m_mount.path()).entryList(QDir::Files | QDir::Hidden);
    left.removeAll(Filler);
    left.sort();
    QStringList own = DataFileNames;
    own.sort();
    QCOMPARE(left, own);
}

void TestFullDisk::fullDiskKeepsEveryFile_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("freePages");
    QTest::addColumn<bool>("backup");
    for (const QString how : { "保存", "exit" }) {
        for (int freePages : { 0, 1 }) {
            for (bool backup : { false, true }) {
                QTest::addRow("%s, %d pages free%s", qPrintable(how), freePages, backup ? ", List.txt.bak first" : "")
                    << how << freePages << backup;
            }
        }
    }
}

void TestFullDisk::fullDiskKeepsEveryFile()
{
    QFETCH(QString, how);
    QFETCH(int, freePages);
    QFETCH(bool, backup);
    // Every new file is more than the free page and fits a write buffer.
    QBuffer catalogBytes;
    catalogBytes.open(QIODevice::WriteOnly);
    WriteCatalog(catalogBytes, NewCatalog());
    for (const qsizetype size : { catalogBytes.size(), qint64(CategoryListBytes(NewLists().list(5)).size()) })
        QVERIFY(size > PageSize && size < 16 * 1024);
    FillLeaving(m_mount.path(), freePages);
    CatalogLoadReport loaded;
    loaded.fileFound = true;
    loaded.undecodableChars = backup ? 1 : 0;
    CatalogFileGuard guard(loaded);
    const SaveSequenceReport report = how == u"exit"
        ? SaveOnExit(m_mount.path(), NewSettings(), true, NewCatalog(), NewLists(), guard)
        : SaveFromFileMenu(m_mount.path(), NewCatalog(), NewLists(), guard);
    QStringList expected { backup ? "List.txt.bak" : "List.txt", "List01.txt", "List02.txt", "List03.txt", "List04.txt",
        "List05.txt" };
    if (how == u"exit")
        expected.prepend(QStringLiteral("test.ini"));
    checkUnchanged(report.failures(), expected, QStringLiteral("ディスクの空き容量が足りません"));
}

void TestFullDisk::readOnlyFileSystemKeepsEveryFile()
{
    QVERIFY(Run(QStringLiteral("mount"), { "-o", "remount,ro", m_mount.path() }));
    CatalogFileGuard guard;
    const SaveSequenceReport report = SaveOnExit(m_mount.path(), NewSettings(), true, NewCatalog(), NewLists(), guard);
    checkUnchanged(report.failures(),
        { "test.ini", "List.txt", "List01.txt", "List02.txt", "List03.txt", "List04.txt", "List05.txt" },
        QStringLiteral("読み取り専用のファイルシステムです"));
}

QTEST_GUILESS_MAIN(TestFullDisk)
#include "tst_fulldisk.moc"
