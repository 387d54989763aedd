// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "DropIntake.h"

#include <QFile>
#include <QMimeData>
#include <QTest>
#include <QUrl>

namespace {

QStringList texts(const QList<FilePath> &paths)
{
    QStringList list;
    for (const FilePath &path : paths)
        list.append(path.text());
    return list;
}

} // namespace

class TestDropIntake : public QObject
{
    Q_OBJECT

private slots:
    void droppedPathsKeepOrder();
    void droppedPathsRefuseNonFiles_data();
    void droppedPathsRefuseNonFiles();
    void droppedPathsNoLimit();
    void droppedPathsKeepBytes_data();
    void droppedPathsKeepBytes();
    void catalogDate_data();
    void catalogDate();
    void masterRow();
    void masterRowNotFound();
    void masterRowCleansTexts();
};

void TestDropIntake::droppedPathsKeepOrder()
{
    QMimeData data;
    data.setUrls({ QUrl::fromLocalFile("/media/cd/b.avi"), QUrl("https://example.org/x.avi"),
        QUrl::fromLocalFile("/media/cd/a dir/"), QUrl::fromLocalFile("/media/cd/ａ.mp3") });
    const auto paths = DroppedPaths(data);
    QVERIFY(paths.has_value());
    QCOMPARE(texts(*paths), QStringList({ "/media/cd/b.avi", "/media/cd/a dir/", "/media/cd/ａ.mp3" }));
}

void TestDropIntake::droppedPathsRefuseNonFiles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::newRow("plain text") << "movie.avi" << QList<QUrl>();
    QTest::newRow("web link only") << QString() << QList<QUrl>({ QUrl("https://example.org/movie.avi") });
    QTest::newRow("empty url list") << QString() << QList<QUrl>();
    QTest::newRow("file URL without a path") << QString() << QList<QUrl>({ QUrl("file:") });
}

void TestDropIntake::droppedPathsRefuseNonFiles()
{
    QFETCH(QString, text);
    QFETCH(QList<QUrl>, urls);
    QMimeData data;
    if (!text.isEmpty())
        data.setText(text);
    if (!urls.isEmpty())
        data.setUrls(urls);
    QVERIFY(!DroppedPaths(data).has_value());
}

void TestDropIntake::droppedPathsNoLimit()
{
    QList<QUrl> urls;
    // Past the old 16-bit count of 32,767 paths: every path is taken, in order.
    for (int i = 0; i < 40000; ++i)
        urls.append(QUrl::fromLocalFile(QStringLiteral("/f%1.txt").arg(i)));
    QMimeData data;
    data.setUrls(urls);
    const auto paths = DroppedPaths(data);
    QVERIFY(paths.has_value());
    QCOMPARE(paths->size(), 40000);
    QCOMPARE(paths->at(32767).text(), QStringLiteral("/f32767.txt"));
    QCOMPARE(paths->last().text(), QStringLiteral("/f39999.txt"));
}

void TestDropIntake::droppedPathsKeepBytes_data()
{
    QTest::addColumn<QByteArray>("uriList"); // as a file manager offers it
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("code page 932") << QByteArray("file:///cd/%83e%83X%83g.avi\r\n")
                                   << QByteArray("/cd/\x83\x65\x83\x58\x83\x67.avi");
    QTest::newRow("valid nowhere") << QByteArray("file:///cd/%FF%FE.avi\r\n") << QByteArray("/cd/\xFF\xFE.avi");
    QTest::newRow("UTF-8") << QByteArray("file:///cd/%E3%83%86%20x.avi\r\n") << QByteArray("/cd/\xE3\x83\x86 x.avi");
    QTest::newRow("an escaped percent sign") << QByteArray("file:///cd/100%25.avi\r\n") << QByteArray("/cd/100%.avi");
    QTest::newRow("on a host") << QByteArray("file://server/cd/%83e.avi\r\n") << QByteArray("//server/cd/\x83\x65.avi");
}

// The name's bytes reach the file system unchanged, whatever their encoding;
// where they are UTF-8 the path is the one QUrl::toLocalFile() gives.
void TestDropIntake::droppedPathsKeepBytes()
{
    QFETCH(QByteArray, uriList);
    QFETCH(QByteArray, bytes);
    QMimeData data;
    data.setData(QStringLiteral("text/uri-list"), uriList);
    const auto paths = DroppedPaths(data);
    QVERIFY(paths.has_value());
    QCOMPARE(paths->size(), 1);
    QCOMPARE(paths->front().native(), bytes);
    const QString local = data.urls().front().toLocalFile();
    if (QString::fromUtf8(bytes).toUtf8() == bytes)
        QCOMPARE(paths->front().native(), QFile::encodeName(local));
}

void TestDropIntake::catalogDate_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("text");
    QTest::newRow("padded") << QDate(2003, 5, 1) << "2003/05/01";
    QTest::newRow("december") << QDate(2026, 12, 31) << "2026/12/31";
    QTest::newRow("early year") << QDate(999, 1, 9) << "0999/01/09";
}

void TestDropIntake::catalogDate()
{
    QFETCH(QDate, date);
    QFETCH(QString, text);
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString got = CatalogDateText(date);
    QLocale::setDefault(previous);
    QCOMPARE(got, text);
}

void TestDropIntake::masterRow()
{
    ProbeResult probe;
    probe.name = "movie.avi";
    probe.kind = "AVI";
    probe.present = true;
    probe.length = 1234567;
    probe.catalogSize = "1,234.567";
    probe.viewSize = "1,234.567";
    probe.modified = "2003/05/01";
    probe.pictureSize = "640×480";
    probe.playTime = "00:01:40";
    probe.codec = "DivX";
    const CatalogItem row = MasterRowFor(probe, QDate(2003, 5, 20));
    QCOMPARE(
        row.toListLine(), QStringLiteral("movie.avi#1,234.567#AVI#640×480#00:01:40#DivX#2003/05/01#2003/05/20#######"));
}

void TestDropIntake::masterRowNotFound()
{
    ProbeResult probe;
    probe.name = "photos";
    probe.kind = "不明";
    probe.catalogSize = "不明";
    probe.viewSize = "不明";
    probe.modified = "不明";
    const CatalogItem row = MasterRowFor(probe, QDate(2026, 1, 2));
    QCOMPARE(row.toListLine(), QStringLiteral("photos#不明#不明####不明#2026/01/02#######"));
}

void TestDropIntake::masterRowCleansTexts()
{
    ProbeResult probe;
    probe.name = "a#b\tc.c#";
    probe.kind = "C#";
    probe.catalogSize = "0.500";
    probe.viewSize = "500";
    probe.modified = "2020/02/29";
    const CatalogItem row = MasterRowFor(probe, QDate(2020, 3, 1));
    QCOMPARE(row.text(CatalogItem::Name), QStringLiteral("a#b\uFFFDc.c#"));
    QCOMPARE(row.text(CatalogItem::Kind), QStringLiteral("C＃"));
    QCOMPARE(row.text(CatalogItem::FileSize), QStringLiteral("0.500"));
}

QTEST_GUILESS_MAIN(TestDropIntake)
#include "tst_dropintake.moc"
