// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The one save routine every file goes through, its target (a temporary
// file of our own, synced and renamed) and the reasons it gives.
#include "CategoryLists.h"
#include "FailingDevice.h"
#include "FileErrorText.h"
#include "ListFile.h"
#include "SaveFile.h"
#include "SaveTarget.h"
#include "StaleTempFiles.h"
#include "TestFiles.h"
#include "TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>

using TestFiles::fileBytes;
using TestFiles::writeBytes;

namespace {

// A target whose device takes every write into a buffer and fails at the
// flush, as a file on a full disk does; commit() keeps what was flushed.
class BufferedTarget : public SaveTarget
{
public:
    explicit BufferedTarget(qint64 room)
        : m_device(room)
    {
        m_device.setBuffered(true);
    }

    bool open() override { return m_device.open(QIODevice::WriteOnly); }
    QIODevice &device() override { return m_device; }
    bool finish() override { return m_device.flush(); }
    bool commit() override
    {
        committed = m_device.data();
        return true;
    }
    void cancel() override { cancelled = true; }
    QString errorReason() const override { return m_device.errorString(); }

    QByteArray committed = "old content";
    bool cancelled = false;

private:
    FailingDevice m_device;
};

Catalog SmallCatalog()
{
    Catalog catalog;
    for (int i = 0; i < 20; ++i) {
        CatalogItem item;
        item.setField(CatalogItem::Name, QStringLiteral("映画%1.avi").arg(i));
        item.setField(CatalogItem::Kind, QStringLiteral("AVI"));
        catalog.append(item);
    }
    return catalog;
}

} // namespace

class TestSaveFile : public QObject
{
    Q_OBJECT

private slots:
    void failureAtTheFlushIsNeverCommitted_data();
    void failureAtTheFlushIsNeverCommitted();
    void temporaryFileIsOursAndGoesOnCancel();
    void linkIsFollowedAndPermissionsKept();
    void reasonsOfRealFailures_data();
    void reasonsOfRealFailures();
    void everyReasonIsJapanese_data();
    void everyReasonIsJapanese();
};

void TestSaveFile::failureAtTheFlushIsNeverCommitted_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<qint64>("room");
    QTest::addColumn<bool>("fits");
    for (const QString content : { "catalogue", "category list" }) {
        QTest::addRow("%s, no room", qPrintable(content)) << content << qint64(0) << false;
        QTest::addRow("%s, cut short", qPrintable(content)) << content << qint64(100) << false;
        QTest::addRow("%s, room enough", qPrintable(content)) << content << qint64(1 << 20) << true;
    }
}

void TestSaveFile::failureAtTheFlushIsNeverCommitted()
{
    QFETCH(QString, content);
    QFETCH(qint64, room);
    QFETCH(bool, fits);
    QByteArray expected;
    TextFile::ContentWriter write;
    if (content == u"catalogue") {
        QBuffer buffer(&expected);
        buffer.open(QIODevice::WriteOnly);
        WriteCatalog(buffer, SmallCatalog());
        write = [](QIODevice &device, QString &error) {
            const FileResult written = WriteCatalog(device, SmallCatalog());
            error = written.reason;
            return written.ok;
        };
    } else {
        expected = CategoryListBytes({ QStringLiteral("アニメ"), QString(), QStringLiteral("ドラマ") });
        expected = expected.repeated(20);
        write = [expected](QIODevice &device, QString &error) { return TextFile::writeAll(device, expected, error); };
    }
    QVERIFY(expected.size() > 100);

    BufferedTarget target(room);
    const FileResult result = TextFile::save(target, QStringLiteral("List.txt"), write);
    QCOMPARE(result.ok, fits);
    QCOMPARE(target.cancelled, !fits);
    QCOMPARE(target.committed, fits ? expected : QByteArray("old content"));
    if (!fits)
        QCOMPARE(result.statusText(), QStringLiteral("List.txt を保存できませんでした（No space left on device）"));
}

void TestSaveFile::temporaryFileIsOursAndGoesOnCancel()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("List03.txt"));
    QVERIFY(writeBytes(path, "old\r\n"));
    {
        SaveFile target(path);
        QVERIFY(target.open());
        const QString temporary = QFileInfo(target.temporaryPath()).fileName();
        QVERIFY2(temporary.startsWith(QStringLiteral("List03.txt.zarumi-")), qPrintable(temporary));
        QCOMPARE(StaleTempFiles::find(dir.path()), QStringList { temporary });
        QCOMPARE(target.device().write("new\r\n"), 5);
        target.cancel();
        QCOMPARE(StaleTempFiles::find(dir.path()), QStringList());
        QVERIFY(target.open());
        QCOMPARE(target.device().write("half"), 4);
        // Going out of scope without a commit cancels too.
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("List03.txt") });
    QCOMPARE(fileBytes(path), QByteArray("old\r\n"));
}

void TestSaveFile::linkIsFollowedAndPermissionsKept()
{
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    QVERIFY(dir.isValid() && elsewhere.isValid());
    const QString real = elsewhere.filePath(QStringLiteral("catalogue.txt"));
    QVERIFY(writeBytes(real, "old\r\n"));
    QCOMPARE(::chmod(QFile::encodeName(real).constData(), 0640), 0);
    const QString link = dir.filePath(QStringLiteral("List.txt"));
    QVERIFY(QFile::link(real, link));

    const FileResult result = TextFile::replace(link, QByteArrayView("new\r\n"));
    QVERIFY2(result.ok, qPrintable(result.statusText()));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(fileBytes(real), QByteArray("new\r\n"));
    struct stat status
    { };
    QCOMPARE(::stat(QFile::encodeName(real).constData(), &status), 0);
    QCOMPARE(status.st_mode & 07777, mode_t(0640));
    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files), QStringList { QStringLiteral("catalogue.txt") });
}

void TestSaveFile::reasonsOfRealFailures_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no space") << "no space"
                              << "ディスクの空き容量が足りません";
    QTest::newRow("no permission") << "no permission"
                                   << "アクセスが許可されていません";
    QTest::newRow("is a directory") << "is a directory"
                                    << "同じ名前のフォルダがあります";
    QTest::newRow("I/O error") << "I/O error"
                               << "読み書きの途中で入出力エラーが起きました";
    QTest::newRow("not a regular file") << "not a regular file"
                                        << "通常のファイルではありません";
    QTest::newRow("missing folder") << "missing folder"
                                    << "ファイルかフォルダが見つかりません";
}

void TestSaveFile::reasonsOfRealFailures()
{
    QFETCH(QString, failure);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString got;
    if (failure == u"no space") {
        // Every write to /dev/full fails as on a full disk.
        QFile full(QStringLiteral("/dev/full"));
        QVERIFY(full.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        QVERIFY(!TextFile::writeAll(full, QByteArrayView("x"), got));
    } else if (failure == u"no permission") {
        // sysfs lets nobody, root included, make a file in its top folder.
        got = TextFile::replace(QStringLiteral("/sys/List.txt"), QByteArrayView("x")).reason;
    } else if (failure == u"is a directory") {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("test.ini")));
        got = TextFile::replace(dir.filePath(QStringLiteral("test.ini")), QByteArrayView("x")).reason;
    } else if (failure == u"I/O error") {
        got = TextFile::read(QStringLiteral("/proc/self/mem"), TextFile::MaxSmallFileBytes).error;
    } else if (failure == u"not a regular file") {
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("List01.txt"))).constData(), 0600), 0);
        got = TextFile::read(dir.filePath(QStringLiteral("List01.txt")), TextFile::MaxSmallFileBytes).error;
    } else if (failure == u"missing folder") {
        got = TextFile::replace(dir.filePath(QStringLiteral("no/List.txt")), QByteArrayView("x")).reason;
    }
    QCOMPARE(got, reason);
}

void TestSaveFile::everyReasonIsJapanese_data()
{
    QTest::addColumn<int>("errorNumber");
    QTest::addColumn<int>("kind");
    const int numbers[] = { 0, ENOSPC, EDQUOT, EFBIG, EACCES, EPERM, EROFS, EISDIR, EIO, ENOENT, ENOTDIR, ENAMETOOLONG,
        EMFILE, ENFILE, ENOMEM, EBUSY, ELOOP, EXDEV, EINVAL };
    const QFileDevice::FileError kinds[] = { QFileDevice::ReadError, QFileDevice::WriteError, QFileDevice::OpenError,
        QFileDevice::RenameError, QFileDevice::RemoveError, QFileDevice::UnspecifiedError };
    for (int number : numbers) {
        for (QFileDevice::FileError kind : kinds)
            QTest::addRow("errno %d, kind %d", number, int(kind)) << number << int(kind);
    }
}

void TestSaveFile::everyReasonIsJapanese()
{
    QFETCH(int, errorNumber);
    QFETCH(int, kind);
    const QString text = FileErrorText::reason(errorNumber, QFileDevice::FileError(kind));
    QVERIFY(!text.isEmpty());
    for (QChar c : text)
        QVERIFY2(!c.isLetter() || c.unicode() > 0x7F, qPrintable(text));
    // A number without a text of its own is still named, to be looked up.
    if (FileErrorText::forErrorNumber(errorNumber).isEmpty() && errorNumber != 0)
        QVERIFY2(text.endsWith(QString::number(errorNumber)), qPrintable(text));
}

QTEST_GUILESS_MAIN(TestSaveFile)
#include "tst_savefile.moc"
