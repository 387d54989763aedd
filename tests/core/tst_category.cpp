// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "CategoryLists.h"
#include "DataFolder.h"
#include "FailingDevice.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

using TestFiles::fileBytes;
using TestFiles::writeBytes;

} // namespace

class TestCategory : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
    }

    void fileNames()
    {
        QCOMPARE(DataFiles::categoryFile(1), QStringLiteral("List01.txt"));
        QCOMPARE(DataFiles::categoryFile(5), QStringLiteral("List05.txt"));
    }

    void firstStartWithoutFiles()
    {
        CategoryLists lists;
        QVERIFY(LoadCategoryLists(m_dir->path(), lists).ok);
        for (int k = 1; k <= 5; ++k)
            QVERIFY(lists.list(k).isEmpty());
        QCOMPARE(SaveCategoryLists(m_dir->path(), lists).size(), 0);
        for (int k = 1; k <= 5; ++k)
            QCOMPARE(fileBytes(path(k)), QByteArray());
    }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("values");
        QTest::newRow("A, empty, B") << QByteArray("A\r\n\r\nB\r\n") << QStringList { "A", "", "B" };
        QTest::newRow("duplicates stay") << QByteArray("x\r\nx\r\n") << QStringList { "x", "x" };
        QTest::newRow("last line without CR LF") << QByteArray("A\r\nB") << QStringList { "A", "B" };
        QTest::newRow("LF only") << QByteArray("A\n\nB\n") << QStringList { "A", "", "B" };
        QTest::newRow("one empty line") << QByteArray("\r\n") << QStringList { "" };
        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("code page 932") << QByteArray("\x83\x41\x83\x6a\x83\x81\r\n") << QStringList { "アニメ" };
        QTest::newRow("hash becomes full-width") << QByteArray("C#\r\n") << QStringList { "C＃" };
        QTest::newRow("tab becomes U+FFFD") << QByteArray("a\tb\r\n") << QStringList { "a\uFFFDb" };
        QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF\xF0\x9F\x8E\xAC\r\n") << QStringList { "🎬" };
        QTest::newRow("CR only") << QByteArray("A\r\rB\r") << QStringList { "A", "", "B" };
        QTest::newRow("UTF-16LE without mark")
            << QByteArrayLiteral("A\0\r\0\n\0\xA2\x30\r\0") << QStringList { "A", "ア" };
    }

    void reading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, values);
        QVERIFY(writeBytes(path(3), bytes));
        CategoryLists lists;
        QVERIFY(LoadCategoryLists(m_dir->path(), lists).ok);
        QCOMPARE(lists.list(3), values);
        QVERIFY(lists.list(1).isEmpty());
    }

    void writing_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("A, empty, B") << QStringList { "A", "", "B" } << QByteArray("A\r\n\r\nB\r\n");
        QTest::newRow("duplicates") << QStringList { "x", "x" } << QByteArray("x\r\nx\r\n");
        QTest::newRow("empty list") << QStringList() << QByteArray();
        QTest::newRow("code page 932") << QStringList { "～①" } << QByteArray("\x81\x60\x87\x40\r\n");
        QTest::newRow("UTF-8 fallback") << QStringList { "영화", "A" } << QByteArray("\xEF\xBB\xBF영화\r\nA\r\n");
        // In code page 932 these are C3 BD C4 B6, valid UTF-8 ("ýĶ"), and CA B2 C3 B8.
        QTest::newRow("kana that look like UTF-8")
            << QStringList { "ﾃｽﾄｶ", "ﾊｲﾃｸ" } << QByteArray("\xC3\xBD\xC4\xB6\r\n\xCA\xB2\xC3\xB8\r\n");
        // E3 81 A1 would be read as UTF-8 "ち".
        QTest::newRow("kanji and kana that look like UTF-8")
            << QStringList { "縺｡" } << QByteArray("\xEF\xBB\xBF縺｡\r\n");
        QTest::newRow("Windows' single bytes")
            << QStringList { "\u0080\uF8F0\uF8F1\uF8F2\uF8F3" } << QByteArray("\x80\xA0\xFD\xFE\xFF\r\n");
    }

    void writing()
    {
        QFETCH(QStringList, values);
        QFETCH(QByteArray, bytes);
        CategoryLists lists;
        lists.list(2) = values;
        QCOMPARE(SaveCategoryLists(m_dir->path(), lists).size(), 0);
        QCOMPARE(fileBytes(path(2)), bytes);
        CategoryLists reread;
        QVERIFY(LoadCategoryLists(m_dir->path(), reread).ok);
        QCOMPARE(reread.list(2), values);
    }

    void allFiveAreWrittenInOrder()
    {
        CategoryLists lists;
        for (int k = 1; k <= 5; ++k)
            lists.list(k) = QStringList { QStringLiteral("v%1").arg(k) };
        QCOMPARE(SaveCategoryLists(m_dir->path(), lists).size(), 0);
        for (int k = 1; k <= 5; ++k)
            QCOMPARE(fileBytes(path(k)), QStringLiteral("v%1\r\n").arg(k).toLatin1());
    }

    void failureDoesNotStopTheOthers()
    {
        QVERIFY(writeBytes(path(1), "old\r\n"));
        // Folders where List02.txt and List04.txt should be: the save can't
        // replace them, and writes the three others all the same.
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("List02.txt")));
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("List04.txt")));
        CategoryLists lists;
        for (int k = 1; k <= 5; ++k)
            lists.list(k) = QStringList { QStringLiteral("new%1").arg(k) };
        const QList<FileResult> failures = SaveCategoryLists(m_dir->path(), lists);
        QCOMPARE(failures.size(), 2);
        QCOMPARE(failures[0].fileName, QStringLiteral("List02.txt"));
        QCOMPARE(failures[1].fileName, QStringLiteral("List04.txt"));
        QCOMPARE(failures[0].statusText(),
            QStringLiteral("List02.txt を保存できませんでした（同じ名前のフォルダがあります）"));
        for (int k : { 1, 3, 5 })
            QCOMPARE(fileBytes(path(k)), QStringLiteral("new%1\r\n").arg(k).toLatin1());
        QVERIFY(QFileInfo(path(2)).isDir());
    }

    void unreadableFileIsLeftAlone()
    {
        // A pipe in place of List02.txt: found, not read, never replaced.
        QCOMPARE(::mkfifo(QFile::encodeName(path(2)).constData(), 0600), 0);
        QVERIFY(writeBytes(path(4), "D\r\n"));
        CategoryLists lists;
        const FileResult read = LoadCategoryLists(m_dir->path(), lists);
        QVERIFY(!read.ok);
        QCOMPARE(read.fileName, QStringLiteral("List02.txt"));
        QVERIFY(read.statusText().startsWith(QStringLiteral("List02.txt を読み込めませんでした")));
        QVERIFY(lists.isUnreadable(2));
        QVERIFY(!lists.isUnreadable(4));
        QCOMPARE(lists.list(4), QStringList { QStringLiteral("D") });
        lists.list(2) = QStringList { QStringLiteral("typed later") };
        lists.list(5) = QStringList { QStringLiteral("E") };
        const QList<FileResult> saved = SaveCategoryLists(m_dir->path(), lists);
        QCOMPARE(saved.size(), 1);
        QCOMPARE(saved[0].fileName, QStringLiteral("List02.txt"));
        QVERIFY(QFileInfo(path(2)).isFile() == false);
        QCOMPARE(fileBytes(path(5)), QByteArray("E\r\n"));
    }

    void oversizedFileIsRefused()
    {
        const qint64 size = qint64(100) << 30;
        QVERIFY(TestFiles::makeSparse(path(1), size));
        CategoryLists lists;
        const FileResult read = LoadCategoryLists(m_dir->path(), lists);
        QVERIFY(!read.ok);
        QVERIFY2(read.statusText().contains(QStringLiteral("大きすぎる")), qPrintable(read.statusText()));
        QVERIFY(lists.isUnreadable(1));
        const QList<FileResult> saved = SaveCategoryLists(m_dir->path(), lists);
        QCOMPARE(saved.size(), 1);
        QCOMPARE(saved.first().fileName, QStringLiteral("List01.txt"));
        QCOMPARE(QFileInfo(path(1)).size(), size);
    }

private:
    QString path(int k) const { return QDir(m_dir->path()).filePath(DataFiles::categoryFile(k)); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(TestCategory)
#include "tst_category.moc"
