// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "DataFolder.h"
#include "SaveSequence.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

using TestFiles::fileBytes;
using TestFiles::writeBytes;

Catalog oneRow()
{
    Catalog catalog;
    CatalogItem item;
    item.setField(CatalogItem::Name, u"movie.avi");
    catalog.append(item);
    return catalog;
}

SettingsToSave someSettings()
{
    SettingsToSave values;
    values.geometry = SettingsToSave::Geometry { 9000, 5000, 0, 0 };
    for (int k = 0; k < 14; ++k)
        values.displayPositions[size_t(k)] = k + 1;
    return values;
}

} // namespace

class TestCatalogSave : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void fileMenuWithEmptyCatalogue()
    {
        const QByteArray old = "old#############\r\n";
        QVERIFY(writeBytes(path(DataFiles::CatalogFile), old));
        CategoryLists lists;
        lists.list(1) = QStringList { QStringLiteral("A") };
        CatalogFileGuard guard;
        const SaveSequenceReport report = SaveFromFileMenu(m_dir->path(), Catalog(), lists, guard);
        QVERIFY(report.ok());
        QCOMPARE(report.statusText(), QStringLiteral("0個のアイテムを保存しました。"));
        QCOMPARE(fileBytes(path(DataFiles::CatalogFile)), old);
        QCOMPARE(fileBytes(path(DataFiles::categoryFile(1))), QByteArray("A\r\n"));
        for (int k = 2; k <= 5; ++k)
            QCOMPARE(fileBytes(path(DataFiles::categoryFile(k))), QByteArray());
    }

    void fileMenuWritesRowsAndCounts()
    {
        CatalogFileGuard guard;
        QList<qint64> counts;
        const SaveSequenceReport report
            = SaveFromFileMenu(m_dir->path(), oneRow(), CategoryLists(), guard, [&](qint64 n) { counts.append(n); });
        QCOMPARE(report.statusText(), QStringLiteral("1個のアイテムを保存しました。"));
        QCOMPARE(counts, QList<qint64> { 0 });
        QCOMPARE(fileBytes(path(DataFiles::CatalogFile)), QByteArray("movie.avi##############\r\n"));
    }

    void fileMenuReportsARefusalAndStillWritesTheLists()
    {
        CatalogLoadReport unreadable;
        unreadable.fileFound = true;
        unreadable.readable = false;
        CatalogFileGuard guard(unreadable);
        QVERIFY(writeBytes(path(DataFiles::CatalogFile), "kept"));
        const SaveSequenceReport report = SaveFromFileMenu(m_dir->path(), oneRow(), CategoryLists(), guard);
        QVERIFY(!report.ok());
        QVERIFY(report.statusText().startsWith(QStringLiteral("List.txt を保存できませんでした")));
        QCOMPARE(fileBytes(path(DataFiles::CatalogFile)), QByteArray("kept"));
        QVERIFY(QFile::exists(path(DataFiles::categoryFile(5))));
    }

    void exitWithOptionOff()
    {
        QVERIFY(writeBytes(path(DataFiles::CatalogFile), "old#############\r\n"));
        CatalogFileGuard guard;
        const SaveSequenceReport report
            = SaveOnExit(m_dir->path(), someSettings(), false, oneRow(), CategoryLists(), guard);
        QVERIFY(report.ok());
        QCOMPARE(fileBytes(path(DataFiles::CatalogFile)), QByteArray("old#############\r\n"));
        QVERIFY(fileBytes(path(DataFiles::SettingsFile)).startsWith("[Options]\r\nWidth=9000\r\n"));
        QVERIFY(QFile::exists(path(DataFiles::categoryFile(1))));
    }

    void exitWithOptionOnWritesTheCatalogue()
    {
        CatalogFileGuard guard;
        const SaveSequenceReport report
            = SaveOnExit(m_dir->path(), someSettings(), true, oneRow(), CategoryLists(), guard);
        QVERIFY(report.ok());
        QCOMPARE(fileBytes(path(DataFiles::CatalogFile)), QByteArray("movie.avi##############\r\n"));
    }

    void exitWithEmptyCatalogueRecyclesTheFile()
    {
        QVERIFY(writeBytes(path(DataFiles::CatalogFile), "old#############\r\n"));
        CatalogFileGuard guard;
        const SaveSequenceReport report
            = SaveOnExit(m_dir->path(), someSettings(), true, Catalog(), CategoryLists(), guard);
        QVERIFY2(report.ok(), qPrintable(report.statusText()));
        QVERIFY(!QFile::exists(path(DataFiles::CatalogFile)));
    }

    void exitNeverRecyclesAnUnreadableFile()
    {
        QVERIFY(writeBytes(path(DataFiles::CatalogFile), "kept"));
        CatalogLoadReport unreadable;
        unreadable.fileFound = true;
        unreadable.readable = false;
        CatalogFileGuard guard(unreadable);
        const SaveSequenceReport report
            = SaveOnExit(m_dir->path(), someSettings(), true, Catalog(), CategoryLists(), guard);
        QVERIFY(!report.ok());
        QVERIFY(report.settings.ok);
        QCOMPARE(fileBytes(path(DataFiles::CatalogFile)), QByteArray("kept"));
    }

private:
    QString path(const QString &name) const { return QDir(m_dir->path()).filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(TestCatalogSave)
#include "tst_catalog_save.moc"
