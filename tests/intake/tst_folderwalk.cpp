// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The walk behind "フォルダを追加…" and the disc name it offers.
#include "DiscName.h"
#include "FolderWalk.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

QStringList relative(const QString &root, const QStringList &paths)
{
    QStringList out;
    for (const QString &p : paths)
        out.append(QDir(root).relativeFilePath(p));
    return out;
}

// A walk whose listing fails for the folders named, and can raise the
// cancel flag once a given folder is listed.
class ScriptedWalk : public FolderWalk
{
public:
    QStringList unreadable;
    QString cancelAfter;
    std::atomic<bool> cancel { false };

protected:
    std::optional<QFileInfoList> listFolder(const QString &path) override
    {
        if (unreadable.contains(QFileInfo(path).fileName()))
            return std::nullopt;
        if (QFileInfo(path).fileName() == cancelAfter)
            cancel = true;
        return FolderWalk::listFolder(path);
    }
};

} // namespace

class TestFolderWalk : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void filesInPathOrder();
    void namesInFileManagerOrder_data();
    void namesInFileManagerOrder();
    void unlistableFoldersAreCounted();
    void unreadableFolderOnDisk();
    void cancelKeepsWhatWasFound();
    void discNameIsFolderName();
    void discNameIsVolumeLabelAtMountRoot();
};

// Nested folders, hidden files, a link to a file (taken), a link to a
// folder (not entered) and a link back up to the root (no circle).
void TestFolderWalk::filesInPathOrder()
{
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("disc"));
    for (const char *name : { "ep10.avi", "ep2.avi", ".hidden", "a/file", "b/x1.txt", "b/sub/deep.txt" })
        touch(root + '/' + QString::fromLatin1(name));
    QDir().mkpath(root + QStringLiteral("/empty"));
    QVERIFY(QFile::link(root + QStringLiteral("/ep2.avi"), root + QStringLiteral("/linkfile")));
    QVERIFY(QFile::link(root + QStringLiteral("/b"), root + QStringLiteral("/linkdir")));
    QVERIFY(QFile::link(root, root + QStringLiteral("/b/sub/up")));
    QVERIFY(QFile::link(root + QStringLiteral("/gone"), root + QStringLiteral("/broken")));

    FolderWalk walk;
    const FolderWalk::Result result = walk.run(root);
    QCOMPARE(relative(root, result.files),
        QStringList({ ".hidden", "a/file", "b/sub/deep.txt", "b/x1.txt", "ep2.avi", "ep10.avi", "linkfile" }));
    QCOMPARE(result.skippedFolders, 0);
    QVERIFY(!result.cancelled);
}

void TestFolderWalk::namesInFileManagerOrder_data()
{
    QTest::addColumn<QStringList>("names"); // in the expected order
    QTest::newRow("numbers by value") << QStringList { "ep1", "ep2", "ep9", "ep10", "ep100" };
    QTest::newRow("case does not split") << QStringList { "a", "B", "c" };
    QTest::newRow("number before letter") << QStringList { "track 2.mp3", "track 10.mp3", "track b.mp3" };
    QTest::newRow("japanese") << QStringList { "第2話.mp4", "第10話.mp4" };
}

void TestFolderWalk::namesInFileManagerOrder()
{
    QFETCH(QStringList, names);
    QTemporaryDir dir;
    // Made in reverse, so that creation order can't give the answer.
    for (qsizetype i = names.size() - 1; i >= 0; --i)
        touch(dir.filePath(names[i]));
    FolderWalk walk;
    QCOMPARE(relative(dir.path(), walk.run(dir.path()).files), names);
}

void TestFolderWalk::unlistableFoldersAreCounted()
{
    QTemporaryDir dir;
    for (const char *name : { "a/1", "locked/2", "z/locked/3", "z/4" })
        touch(dir.filePath(QString::fromLatin1(name)));
    ScriptedWalk walk;
    walk.unreadable = { QStringLiteral("locked") };
    const FolderWalk::Result result = walk.run(dir.path());
    QCOMPARE(relative(dir.path(), result.files), QStringList({ "a/1", "z/4" }));
    QCOMPARE(result.skippedFolders, 2);
}

void TestFolderWalk::unreadableFolderOnDisk()
{
    if (geteuid() == 0)
        QSKIP("permissions do not hold for root");
    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("locked/2")));
    touch(dir.filePath(QStringLiteral("open/1")));
    QFile::setPermissions(dir.filePath(QStringLiteral("locked")), QFileDevice::Permissions());
    const FolderWalk::Result result = FolderWalk().run(dir.path());
    QFile::setPermissions(dir.filePath(QStringLiteral("locked")),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(relative(dir.path(), result.files), QStringList({ "open/1" }));
    QCOMPARE(result.skippedFolders, 1);
}

void TestFolderWalk::cancelKeepsWhatWasFound()
{
    QTemporaryDir dir;
    for (const char *name : { "a/1", "b/2", "b/3", "c/4" })
        touch(dir.filePath(QString::fromLatin1(name)));
    ScriptedWalk walk;
    walk.cancelAfter = QStringLiteral("b");
    const FolderWalk::Result result = walk.run(dir.path(), &walk.cancel);
    QVERIFY(result.cancelled);
    QCOMPARE(relative(dir.path(), result.files), QStringList({ "a/1" }));
}

void TestFolderWalk::discNameIsFolderName()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Holiday 2003"));
    QDir().mkpath(folder);
    QCOMPARE(DefaultDiscName(folder), QStringLiteral("Holiday 2003"));
    QCOMPARE(DefaultDiscName(folder + '/'), QStringLiteral("Holiday 2003"));
}

// A small labelled volume, mounted where the machine lets us (root with
// loop devices); the label is offered for its root and not for a folder
// inside it.
void TestFolderWalk::discNameIsVolumeLabelAtMountRoot()
{
    QTemporaryDir dir;
    const QString image = dir.filePath(QStringLiteral("disc.img"));
    const QString mountPoint = dir.filePath(QStringLiteral("mnt"));
    QDir().mkpath(mountPoint);
    QFile file(image);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(2 * 1024 * 1024));
    file.close();
    if (geteuid() != 0 || QProcess::execute(QStringLiteral("mkfs.ext2"), { "-q", "-L", "MY_DISC_01", image }) != 0
        || QProcess::execute(QStringLiteral("mount"), { "-o", "loop", image, mountPoint }) != 0)
        QSKIP("no labelled volume can be mounted here");
    QDir().mkpath(mountPoint + QStringLiteral("/inner"));
    // Labels are found through the system's label index, which a machine
    // without a device manager (a container) does not keep.
    const bool labelKnown = !QStorageInfo(mountPoint).name().isEmpty();
    const QString atRoot = DefaultDiscName(mountPoint);
    const QString inside = DefaultDiscName(mountPoint + QStringLiteral("/inner"));
    QProcess::execute(QStringLiteral("umount"), { mountPoint });
    QCOMPARE(inside, QStringLiteral("inner"));
    if (!labelKnown) {
        QCOMPARE(atRoot, QStringLiteral("mnt"));
        QSKIP("the volume label is not visible on this machine");
    }
    QCOMPARE(atRoot, QStringLiteral("MY_DISC_01"));
}

QTEST_GUILESS_MAIN(TestFolderWalk)
#include "tst_folderwalk.moc"
