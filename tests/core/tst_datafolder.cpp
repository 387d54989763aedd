#include "DataFolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// Where the seven files live: never in an installed program's folder.
class TestDataFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void folderFor_data();
    void folderFor();
    void environmentWins();

private:
    QTemporaryDir m_dir;
};

void TestDataFolder::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QCoreApplication::setApplicationName(QStringLiteral("Zarumi"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("home/.local/share"))));
    qunsetenv("ZARUMI_DATA_DIR");
    QDir root(m_dir.path());
    QVERIFY(root.mkpath(QStringLiteral("built/bin")));
    QVERIFY(root.mkpath(QStringLiteral("prefix/bin")));
    QVERIFY(root.mkpath(QStringLiteral("prefix/share/applications")));
    QFile entry(root.filePath(QStringLiteral("prefix/share/applications/zarumi.desktop")));
    QVERIFY(entry.open(QIODevice::WriteOnly));
}

void TestDataFolder::cleanup()
{
    qunsetenv("ZARUMI_DATA_DIR");
}

void TestDataFolder::folderFor_data()
{
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QString>("expected");
    QTest::newRow("a build's own folder") << "built/bin"
                                          << "built/bin";
    QTest::newRow("installed beside share/") << "prefix/bin"
                                             << "home/.local/share/Zarumi";
    QTest::newRow("no folder known") << ""
                                     << "home/.local/share/Zarumi";
}

void TestDataFolder::folderFor()
{
    QFETCH(QString, programFolder);
    QFETCH(QString, expected);
    const QString folder = programFolder.isEmpty() ? QString() : m_dir.filePath(programFolder);
    const QString result = DataFolderFor(folder);
    QCOMPARE(QDir(result).canonicalPath(), QDir(m_dir.filePath(expected)).canonicalPath());
    QVERIFY(QDir(result).exists());
}

void TestDataFolder::environmentWins()
{
    const QString chosen = m_dir.filePath(QStringLiteral("chosen"));
    qputenv("ZARUMI_DATA_DIR", QFile::encodeName(chosen));
    QCOMPARE(DataFolderFor(m_dir.filePath(QStringLiteral("built/bin"))), QDir(chosen).absolutePath());
    QCOMPARE(DataFolderFor(m_dir.filePath(QStringLiteral("prefix/bin"))), QDir(chosen).absolutePath());
}

QTEST_GUILESS_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
