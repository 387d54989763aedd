// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "StaleTempFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestStaleTempFiles : public QObject
{
    Q_OBJECT

private slots:
    void isTempName_data();
    void isTempName();
    void removesOnlyOwnTempFilesInTheFolder();
    void leavesLinksFoldersAndOtherFolders();
    void emptyOrMissingFolder();

private:
    static void write(const QString &path, const QByteArray &bytes);
};

void TestStaleTempFiles::write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
    QCOMPARE(file.write(bytes), bytes.size());
}

void TestStaleTempFiles::isTempName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("temp");
    QTest::newRow("list") << "List.txt.zarumi-SeSxz1.tmp" << true;
    QTest::newRow("backup copy's temp") << "List.txt.bak.zarumi-qPmnqj.tmp" << true;
    QTest::newRow("settings") << "test.ini.zarumi-BMZESx.tmp" << true;
    QTest::newRow("category 1") << "List01.txt.zarumi-aBcDeF.tmp" << true;
    QTest::newRow("category 5, digits") << "List05.txt.zarumi-009123.tmp" << true;
    QTest::newRow("the file itself") << "List.txt" << false;
    QTest::newRow("its backup") << "List.txt.bak" << false;
    QTest::newRow("user's copy, a word") << "List.txt.backup" << false;
    QTest::newRow("user's copy, capitalised") << "List.txt.Backup" << false;
    QTest::newRow("settings copy") << "test.ini.Backup" << false;
    QTest::newRow("category copy") << "List01.txt.OldOne" << false;
    QTest::newRow("random letters without the marker") << "List.txt.QwErTy" << false;
    QTest::newRow("five characters") << "List.txt.zarumi-AbCdE.tmp" << false;
    QTest::newRow("seven characters") << "List.txt.zarumi-AbCdEfG.tmp" << false;
    QTest::newRow("no suffix") << "List.txt.zarumi-AbCdEf" << false;
    QTest::newRow("more after the suffix") << "List.txt.zarumi-AbCdEf.tmp.old" << false;
    QTest::newRow("punctuation") << "List.txt.zarumi-Ab-dEf.tmp" << false;
    QTest::newRow("category 6") << "List06.txt.zarumi-AbCdEf.tmp" << false;
    QTest::newRow("other file") << "notes.txt.zarumi-AbCdEf.tmp" << false;
    QTest::newRow("other case of the name") << "list.txt.zarumi-AbCdEf.tmp" << false;
    QTest::newRow("prefix in front") << "xList.txt.zarumi-AbCdEf.tmp" << false;
    QTest::newRow("non-ASCII letters") << QString::fromUtf8("List.txt.zarumi-ÄbCdEf.tmp") << false;
}

void TestStaleTempFiles::isTempName()
{
    QFETCH(QString, name);
    QFETCH(bool, temp);
    QCOMPARE(StaleTempFiles::isTempName(name), temp);
}

void TestStaleTempFiles::removesOnlyOwnTempFilesInTheFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QStringList stale { "List.txt.zarumi-SeSxzh.tmp", "List01.txt.zarumi-AbCdE1.tmp",
        "test.ini.zarumi-xYzXyZ.tmp" };
    const QStringList kept { "List.txt", "List01.txt", "test.ini", "List.txt.backup", "List.txt.Backup",
        "test.ini.Backup", "List01.txt.OldOne", "List.txt.QwErTy", "notes.txt.zarumi-AbCdEf.tmp" };
    for (const QString &name : stale + kept)
        write(dir.filePath(name), name.toUtf8());

    QStringList found = StaleTempFiles::find(dir.path());
    found.sort();
    QStringList expected = stale;
    expected.sort();
    QCOMPARE(found, expected);

    StaleTempFiles cleaner;
    QStringList removed = cleaner.removeFrom(dir.path());
    removed.sort();
    QCOMPARE(removed, expected);
    QVERIFY(cleaner.result().ok);
    const QString note = cleaner.statusText();
    QVERIFY2(note.startsWith(QStringLiteral("保存の途中で残った一時ファイル ")), qPrintable(note));
    for (const QString &name : stale)
        QVERIFY2(note.contains(name), qPrintable(note));

    QStringList left = QDir(dir.path()).entryList(QDir::Files);
    left.sort();
    QStringList keptSorted = kept;
    keptSorted.sort();
    QCOMPARE(left, keptSorted);
    for (const QString &name : kept) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), name.toUtf8());
    }
}

void TestStaleTempFiles::leavesLinksFoldersAndOtherFolders()
{
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    QVERIFY(dir.isValid() && elsewhere.isValid());
    const QString target = elsewhere.filePath("precious.txt");
    write(target, "keep me");
    QVERIFY(QFile::link(target, dir.filePath("List02.txt.zarumi-AbCdEf.tmp")));
    QVERIFY(QDir(dir.path()).mkdir("List03.txt.zarumi-AbCdEf.tmp"));
    QVERIFY(QDir(dir.path()).mkdir("sub"));
    write(dir.filePath("sub/List.txt.zarumi-SeSxzh.tmp"), "not in the data folder");

    QCOMPARE(StaleTempFiles::find(dir.path()), QStringList());
    StaleTempFiles cleaner;
    QCOMPARE(cleaner.removeFrom(dir.path()), QStringList());
    QVERIFY(QFileInfo(dir.filePath("List02.txt.zarumi-AbCdEf.tmp")).isSymLink());
    QVERIFY(QFileInfo(dir.filePath("List03.txt.zarumi-AbCdEf.tmp")).isDir());
    QVERIFY(QFileInfo::exists(dir.filePath("sub/List.txt.zarumi-SeSxzh.tmp")));
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("keep me"));
}

void TestStaleTempFiles::emptyOrMissingFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    StaleTempFiles cleaner;
    QCOMPARE(cleaner.removeFrom(dir.path()), QStringList());
    QVERIFY(cleaner.result().ok);
    QCOMPARE(cleaner.statusText(), QString());
    QCOMPARE(cleaner.removeFrom(dir.filePath("missing")), QStringList());
    QVERIFY(cleaner.result().ok);
}

QTEST_GUILESS_MAIN(TestStaleTempFiles)
#include "tst_staletempfiles.moc"
