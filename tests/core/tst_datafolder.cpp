// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
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
    QTest::addColumn<QString>("programFolder"); // under the test's folder, or "@build" for the build tree's bin
    QTest::addColumn<DataFolderRule>("rule");
    QTest::addColumn<QString>("expected");
    const auto linux = DataFolderRule::BesideWritableProgram;
    const auto windows = DataFolderRule::OnlyInBuildTree;
    const QString perUser = QStringLiteral("home/.local/share/Zarumi");
    QTest::newRow("a build's own folder") << "built/bin" << linux << "built/bin";
    QTest::newRow("installed beside share/") << "prefix/bin" << linux << perUser;
    QTest::newRow("no folder known") << "" << linux << perUser;
    QTest::newRow("Windows, macOS: a run from the build tree") << "@build" << windows << "@build";
    QTest::newRow("Windows, macOS: a writable folder elsewhere") << "built/bin" << windows << perUser;
    QTest::newRow("Windows, macOS: installed") << "prefix/bin" << windows << perUser;
}

void TestDataFolder::folderFor()
{
    QFETCH(QString, programFolder);
    QFETCH(DataFolderRule, rule);
    QFETCH(QString, expected);
    const auto place = [this](const QString &folder) {
        if (folder == u"@build")
            return QStringLiteral(ZARUMI_BIN_DIR);
        return folder.isEmpty() ? QString() : m_dir.filePath(folder);
    };
    const QString result = DataFolderFor(place(programFolder), rule);
    QCOMPARE(QDir(result).canonicalPath(), QDir(place(expected)).canonicalPath());
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
