// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "FileKind.h"
#include "PlayTime.h"
#include "SizeText.h"

#include <QTest>

class TestProbeText : public QObject
{
    Q_OBJECT

private slots:
    void playSeconds_data();
    void playSeconds();
    void formatPlayTime_data();
    void formatPlayTime();
    void sizeTexts_data();
    void sizeTexts();
    void fileName_data();
    void fileName();
    void kind_data();
    void kind();
    void kindLists_data();
    void kindLists();
};

void TestProbeText::playSeconds_data()
{
    QTest::addColumn<qint64>("microseconds");
    QTest::addColumn<qint64>("seconds");
    QTest::newRow("3,725.4 s") << Q_INT64_C(3'725'400'000) << Q_INT64_C(3725);
    QTest::newRow("59.996 s rounds up") << Q_INT64_C(59'996'000) << Q_INT64_C(60);
    QTest::newRow("59.995 s tie to even 60.00") << Q_INT64_C(59'995'000) << Q_INT64_C(60);
    QTest::newRow("59.994999 s") << Q_INT64_C(59'994'999) << Q_INT64_C(59);
    QTest::newRow("1.985 s tie to even 1.98") << Q_INT64_C(1'985'000) << Q_INT64_C(1);
    QTest::newRow("1.995 s tie to even 2.00") << Q_INT64_C(1'995'000) << Q_INT64_C(2);
    QTest::newRow("1.995001 s") << Q_INT64_C(1'995'001) << Q_INT64_C(2);
    QTest::newRow("0.004 s") << Q_INT64_C(4'000) << Q_INT64_C(0);
    QTest::newRow("0.005 s tie to even 0.00") << Q_INT64_C(5'000) << Q_INT64_C(0);
    QTest::newRow("0.999 s rounds to 1.00") << Q_INT64_C(999'000) << Q_INT64_C(1);
    QTest::newRow("0.994999 s") << Q_INT64_C(994'999) << Q_INT64_C(0);
    QTest::newRow("0.995 s tie to even 1.00") << Q_INT64_C(995'000) << Q_INT64_C(1);
    QTest::newRow("zero") << Q_INT64_C(0) << Q_INT64_C(0);
    QTest::newRow("negative") << Q_INT64_C(-5'000'000) << Q_INT64_C(0);
    QTest::newRow("100 hours") << Q_INT64_C(360'000'000'000) << Q_INT64_C(360'000);
    QTest::newRow("huge") << Q_INT64_C(9'223'372'036'854'775'807) << Q_INT64_C(9'223'372'036'854);
}

void TestProbeText::playSeconds()
{
    QFETCH(qint64, microseconds);
    QFETCH(qint64, seconds);
    QCOMPARE(PlaySeconds(microseconds), seconds);
}

void TestProbeText::formatPlayTime_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("3,725 s") << Q_INT64_C(3725) << "01:02:05";
    QTest::newRow("60 s") << Q_INT64_C(60) << "00:01:00";
    QTest::newRow("1 s") << Q_INT64_C(1) << "00:00:01";
    QTest::newRow("59 min 59 s") << Q_INT64_C(3599) << "00:59:59";
    QTest::newRow("one day, not wrapped") << Q_INT64_C(86400) << "24:00:00";
    QTest::newRow("100 hours") << Q_INT64_C(360000) << "100:00:00";
    QTest::newRow("hours of three digits and more") << Q_INT64_C(3'600'000 + 61) << "1000:01:01";
}

void TestProbeText::formatPlayTime()
{
    QFETCH(qint64, seconds);
    QFETCH(QString, text);
    QCOMPARE(FormatPlayTime(seconds), text);
}

void TestProbeText::sizeTexts_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("catalogSize");
    QTest::addColumn<QString>("viewSize");
    QTest::newRow("0") << Q_INT64_C(0) << "0.000"
                       << "000";
    QTest::newRow("12") << Q_INT64_C(12) << "0.012"
                        << "012";
    QTest::newRow("500") << Q_INT64_C(500) << "0.500"
                         << "500";
    QTest::newRow("999") << Q_INT64_C(999) << "0.999"
                         << "999";
    QTest::newRow("1,000") << Q_INT64_C(1000) << "1.000"
                           << "1.000";
    QTest::newRow("1,001") << Q_INT64_C(1001) << "1.001"
                           << "1.001";
    QTest::newRow("999,999") << Q_INT64_C(999'999) << "999.999"
                             << "999.999";
    QTest::newRow("1,000,000") << Q_INT64_C(1'000'000) << "1,000.000"
                               << "1,000.000";
    QTest::newRow("1,234,567") << Q_INT64_C(1'234'567) << "1,234.567"
                               << "1,234.567";
    QTest::newRow("2 GiB") << Q_INT64_C(2'147'483'648) << "2,147,483.648"
                           << "2,147,483.648";
    QTest::newRow("DVD image") << Q_INT64_C(4'700'000'000) << "4,700,000.000"
                               << "4,700,000.000";
    QTest::newRow("largest") << Q_INT64_C(9'223'372'036'854'775'807) << "9,223,372,036,854,775.807"
                             << "9,223,372,036,854,775.807";
}

void TestProbeText::sizeTexts()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, catalogSize);
    QFETCH(QString, viewSize);
    QCOMPARE(CatalogSizeText(bytes), catalogSize);
    QCOMPARE(ViewSizeText(bytes), viewSize);
}

void TestProbeText::fileName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("file") << "/media/cd/movie.avi"
                          << "movie.avi";
    QTest::newRow("no folder") << "movie.avi"
                               << "movie.avi";
    QTest::newRow("folder with trailing /") << "/home/u/photos/"
                                            << "photos";
    QTest::newRow("several trailing /") << "/home/u/photos//"
                                        << "photos";
    QTest::newRow("hidden") << "/home/u/.profile"
                            << ".profile";
    QTest::newRow("root") << "/"
                          << "/";
    QTest::newRow("dot in folder") << "/a.b/README"
                                   << "README";
#ifndef Q_OS_WIN
    QTest::newRow("backslash is a name character") << "/tmp/a\\b.txt"
                                                   << "a\\b.txt";
#endif
}

void TestProbeText::fileName()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(FileNameOf(path), name);
}

void TestProbeText::kind_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::newRow("avi") << "movie.avi"
                         << "AVI";
    QTest::newRow("last dot") << "archive.tar.gz"
                              << "GZ";
    QTest::newRow("no dot") << "README"
                            << "不明";
    QTest::newRow("ends in dot") << "notes."
                                 << "";
    QTest::newRow("hidden") << ".profile"
                            << "PROFILE";
    QTest::newRow("unicode upper case") << "chanson.été"
                                        << "ÉTÉ";
    QTest::newRow("full-width") << "x.ａｖｉ"
                                << "ＡＶＩ";
    QTest::newRow("sharp stays here") << "x.c#"
                                      << "C#";
    QTest::newRow("mixed case") << "photo.JpG"
                                << "JPG";
}

void TestProbeText::kind()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QCOMPARE(KindOf(name), kind);
}

void TestProbeText::kindLists_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("media");
    QTest::addColumn<bool>("header");
    for (const char *k : { "MPG", "AVI", "MOV", "WAV", "MP2", "MP3", "MPEG", "WMV" })
        QTest::newRow(k) << QString::fromLatin1(k) << true << true;
    for (const char *k : { "LZH", "ZIP", "EXE", "RAR", "JPG", "JPEG", "GIF", "PNG", "BMP" })
        QTest::newRow(k) << QString::fromLatin1(k) << false << true;
    for (const char *k : { "avi", "TXT", "MP4", "M4A", "TIF", "不明", "", "ＡＶＩ" })
        QTest::newRow(k) << QString::fromUtf8(k) << false << false;
}

void TestProbeText::kindLists()
{
    QFETCH(QString, kind);
    QFETCH(bool, media);
    QFETCH(bool, header);
    QCOMPARE(IsMediaKind(kind), media);
    QCOMPARE(IsHeaderKind(kind), header);
}

QTEST_GUILESS_MAIN(TestProbeText)
#include "tst_probetext.moc"
