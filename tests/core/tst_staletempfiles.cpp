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
    QTest::newRow("list") << "List.txt.SeSxzh" << true;
    QTest::newRow("backup copy's temp") << "List.txt.bak.qPmnqj" << true;
    QTest::newRow("settings") << "test.ini.BMZESx" << true;
    QTest::newRow("category 1") << "List01.txt.aBcDeF" << true;
    QTest::newRow("category 5") << "List05.txt.Zzzzza" << true;
    QTest::newRow("the file itself") << "List.txt" << false;
    QTest::newRow("its backup") << "List.txt.bak" << false;
    QTest::newRow("user's copy, a word") << "List.txt.backup" << false;
    QTest::newRow("all upper case") << "test.ini.ABCDEF" << false;
    QTest::newRow("digits") << "List.txt.Ab1234" << false;
    QTest::newRow("five letters") << "List.txt.AbCdE" << false;
    QTest::newRow("seven letters") << "List.txt.AbCdEfG" << false;
    QTest::newRow("no dot") << "List.txtAbCdEf" << false;
    QTest::newRow("category 6") << "List06.txt.AbCdEf" << false;
    QTest::newRow("other file") << "notes.txt.AbCdEf" << false;
    QTest::newRow("other case of the name") << "list.txt.AbCdEf" << false;
    QTest::newRow("prefix in front") << "xList.txt.AbCdEf" << false;
    QTest::newRow("non-ASCII letters") << QString::fromUtf8("List.txt.ÄbCdEf") << false;
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
    const QStringList stale { "List.txt.SeSxzh", "List01.txt.AbCdEf", "test.ini.xYzXyZ" };
    const QStringList kept { "List.txt", "List01.txt", "test.ini", "List.txt.backup", "notes.txt.AbCdEf" };
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
    QCOMPARE(cleaner.statusText(), QString());

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
    QVERIFY(QFile::link(target, dir.filePath("List02.txt.AbCdEf")));
    QVERIFY(QDir(dir.path()).mkdir("List03.txt.AbCdEf"));
    QVERIFY(QDir(dir.path()).mkdir("sub"));
    write(dir.filePath("sub/List.txt.SeSxzh"), "not in the data folder");

    QCOMPARE(StaleTempFiles::find(dir.path()), QStringList());
    StaleTempFiles cleaner;
    QCOMPARE(cleaner.removeFrom(dir.path()), QStringList());
    QVERIFY(QFileInfo(dir.filePath("List02.txt.AbCdEf")).isSymLink());
    QVERIFY(QFileInfo(dir.filePath("List03.txt.AbCdEf")).isDir());
    QVERIFY(QFileInfo::exists(dir.filePath("sub/List.txt.SeSxzh")));
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
    QCOMPARE(cleaner.removeFrom(dir.filePath("missing")), QStringList());
    QVERIFY(cleaner.result().ok);
}

QTEST_GUILESS_MAIN(TestStaleTempFiles)
#include "tst_staletempfiles.moc"
