// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "CatalogFileGuard.h"
#include "ListFile.h"
#include "Trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

// The trash must take the file or leave it where it was: never a third place.
class TestTrash : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void movesIntoUserTrash_data();
    void movesIntoUserTrash();
    void missingFileIsAFailure();
    void catalogFileMustBeOrdinary();

private:
    QString write(const QString &name, const QByteArray &bytes);
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_oldCurrent;
};

void TestTrash::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QDir(m_dir->path()).mkpath(QStringLiteral("data"));
    QDir(m_dir->path()).mkpath(QStringLiteral("cwd"));
    // Qt's own move used to fall back to files/ below the current folder.
    m_oldCurrent = QDir::currentPath();
    QDir::setCurrent(m_dir->filePath(QStringLiteral("cwd")));
}

void TestTrash::cleanup()
{
    QDir::setCurrent(m_oldCurrent);
    qunsetenv("XDG_DATA_HOME");
}

QString TestTrash::write(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir->filePath(QStringLiteral("data/") + name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return {};
    return path;
}

void TestTrash::movesIntoUserTrash_data()
{
    QTest::addColumn<QString>("dataHome");
    QTest::addColumn<bool>("throughCatalog");
    QTest::newRow("data home exists") << "xdg" << false;
    QTest::newRow("data home missing") << "no/such/xdg" << false;
    QTest::newRow("catalogue file, data home missing") << "missing/xdg" << true;
}

void TestTrash::movesIntoUserTrash()
{
    QFETCH(QString, dataHome);
    QFETCH(bool, throughCatalog);
    const QString home = m_dir->filePath(dataHome);
    if (dataHome == QLatin1String("xdg"))
        QDir().mkpath(home);
    qputenv("XDG_DATA_HOME", QFile::encodeName(home));
    const QString path = write(QStringLiteral("List.txt"), "a#b\r\n");
    QVERIFY(!path.isEmpty());

    FileResult result;
    if (throughCatalog) {
        CatalogLoadReport report;
        report.fileFound = true;
        CatalogFileGuard guard(report);
        result = RecycleCatalogFile(path, guard);
    } else {
        result = MoveToTrash(path);
    }

    QVERIFY2(result.ok, qPrintable(result.statusText()));
    QVERIFY(!QFile::exists(path));
    QFile trashed(home + QStringLiteral("/Trash/files/List.txt"));
    QVERIFY(trashed.open(QIODevice::ReadOnly));
    QCOMPARE(trashed.readAll(), QByteArray("a#b\r\n"));
    QVERIFY(QFile::exists(home + QStringLiteral("/Trash/info/List.txt.trashinfo")));
    QVERIFY(!QDir(QStringLiteral("files")).exists());
    QVERIFY(!QDir(QStringLiteral("info")).exists());
}

void TestTrash::missingFileIsAFailure()
{
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("xdg"))));
    const FileResult result = MoveToTrash(m_dir->filePath(QStringLiteral("data/none.txt")));
    QVERIFY(!result.ok);
    QCOMPARE(result.fileName, QStringLiteral("none.txt"));
    QCOMPARE(result.statusText(), QStringLiteral("none.txt を保存できませんでした（ごみ箱へ移せませんでした）"));
}

void TestTrash::catalogFileMustBeOrdinary()
{
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("xdg"))));
    const QString folder = m_dir->filePath(QStringLiteral("data/List.txt"));
    QVERIFY(QDir().mkpath(folder));
    CatalogLoadReport report;
    CatalogFileGuard guard(report);
    QVERIFY(RecycleCatalogFile(folder, guard).ok);
    QVERIFY(QFileInfo(folder).isDir());
    QVERIFY(!QDir(m_dir->filePath(QStringLiteral("xdg/Trash/files/List.txt"))).exists());
}

QTEST_GUILESS_MAIN(TestTrash)
#include "tst_trash.moc"
