// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "SniffHeader.h"

#include <QTest>

namespace {

constexpr qsizetype Size = 513;

// A zero-filled header with the given pieces of bytes at their offsets.
QByteArray headerWith(const QList<QPair<qsizetype, QByteArray>> &pieces)
{
    QByteArray header(Size, '\0');
    for (const auto &[offset, bytes] : pieces)
        header.replace(offset, bytes.size(), bytes);
    header.truncate(Size); // a piece that runs past the end is cut there
    return header;
}

using Pieces = QList<QPair<qsizetype, QByteArray>>;

} // namespace

class TestSniffHeader : public QObject
{
    Q_OBJECT

private slots:
    void codecSignature_data();
    void codecSignature();
    void codecSignatureAtEdges_data();
    void codecSignatureAtEdges();
    void formatSignature_data();
    void formatSignature();
    void formatSignatureMisplaced_data();
    void formatSignatureMisplaced();
    void stageOrder_data();
    void stageOrder();
};

// Every row of the codec table, alone in the header, found anywhere.
void TestSniffHeader::codecSignature_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("codec");
    QTest::newRow("1 ASF object id") << QByteArray("\x30\x26\xB2\x75") << "WMV";
    QTest::newRow("2 WMV") << QByteArray("WMV") << "WMV";
    QTest::newRow("3 MPG4") << QByteArray("MPG4") << "MPEG-4 V1";
    QTest::newRow("4 MP42") << QByteArray("MP42") << "MPEG-4 V2";
    QTest::newRow("5 MP43") << QByteArray("MP43") << "MPEG-4 V3";
    QTest::newRow("6 VP31") << QByteArray("VP31") << "VP3";
    QTest::newRow("7 MJPG") << QByteArray("MJPG") << "Motion Jpeg";
    QTest::newRow("8 HFYU") << QByteArray("HFYU") << "Huffyuv";
    QTest::newRow("9 MPEG-2 pack") << QByteArray("\xBA\x44") << "MPEG-2";
    QTest::newRow("10 MPEG-1 pack") << QByteArray("\xBA\x21") << "MPG";
    QTest::newRow("11 CDXAfmt") << QByteArray("CDXAfmt") << "MPG";
    QTest::newRow("12 MPEG-2") << QByteArray("MPEG-2") << "MPEG-2";
    QTest::newRow("13 DIV3") << QByteArray("DIV3") << "DivX3";
    QTest::newRow("14 DIV4") << QByteArray("DIV4") << "DivX";
    QTest::newRow("15 DIVX") << QByteArray("DIVX") << "DivX";
    QTest::newRow("16 VGM") << QByteArray("VGM") << "XVD";
    QTest::newRow("17 XVID") << QByteArray("XVID") << "XviD";
    QTest::newRow("18 DX50") << QByteArray("DX50") << "DivX";
}

void TestSniffHeader::codecSignature()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, codec);
    QCOMPARE(SniffHeader(headerWith({ { 0, bytes } })), codec);
    QCOMPARE(SniffHeader(headerWith({ { 217, bytes } })), codec);
}

void TestSniffHeader::codecSignatureAtEdges_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QString>("codec");
    QTest::newRow("last bytes") << headerWith({ { Size - 4, "XVID" } }) << "XviD";
    QTest::newRow("cut by the end") << headerWith({ { Size - 3, "XVID" } }) << QString();
    QTest::newRow("lower case") << headerWith({ { 40, "divx" } }) << QString();
    QTest::newRow("katakana as UTF-8") << headerWith({ { 3, "0&\xEF\xBD\xB2u" } }) << QString();
    QTest::newRow("all zero") << QByteArray(Size, '\0') << QString();
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("plain WAV") << headerWith({ { 0, QByteArray("RIFF\x24\x08\x00\x00WAVEfmt ", 16) } }) << QString();
}

void TestSniffHeader::codecSignatureAtEdges()
{
    QFETCH(QByteArray, header);
    QFETCH(QString, codec);
    QCOMPARE(SniffHeader(header), codec);
}

// Every row of the container and picture table, alone in the header.
void TestSniffHeader::formatSignature_data()
{
    QTest::addColumn<Pieces>("pieces");
    QTest::addColumn<QString>("codec");
    QTest::newRow("1 PK at 0") << Pieces { { 0, "PK\x03\x04" } } << "ZIP";
    QTest::newRow("2 -lh5-") << Pieces { { 2, "-lh5-" } } << "LZH";
    QTest::newRow("3 DOS stub") << Pieces { { 78, "This program cannot be run in DOS mode." } } << "EXE";
    QTest::newRow("4 Rar!") << Pieces { { 0, "Rar!\x1A\x07" } } << "RAR";
    QTest::newRow("5 JFIF") << Pieces { { 0, "\xFF\xD8\xFF\xE0" }, { 6, "JFIF" } } << "JPG";
    QTest::newRow("6 Exif") << Pieces { { 0, "\xFF\xD8\xFF\xE1" }, { 6, "Exif" } } << "JPG";
    QTest::newRow("7 BM at 0") << Pieces { { 0, "BM" } } << "BMP";
    QTest::newRow("8 PNG at 1") << Pieces { { 0, "\x89PNG\r\n\x1A\n" } } << "PNG";
    QTest::newRow("9 GIF87a") << Pieces { { 0, "GIF87a" } } << "GIF";
    QTest::newRow("10 GIF89a") << Pieces { { 0, "GIF89a" } } << "GIF";
    QTest::newRow("2 -lh5- far in") << Pieces { { 400, "-lh5-" } } << "LZH";
    QTest::newRow("4 Rar! far in") << Pieces { { 509, "Rar!" } } << "RAR";
}

void TestSniffHeader::formatSignature()
{
    QFETCH(Pieces, pieces);
    QFETCH(QString, codec);
    QCOMPARE(SniffHeader(headerWith(pieces)), codec);
}

void TestSniffHeader::formatSignatureMisplaced_data()
{
    QTest::addColumn<Pieces>("pieces");
    QTest::newRow("PK at 1") << Pieces { { 1, "PK" } };
    QTest::newRow("BM at 2") << Pieces { { 2, "BM" } };
    QTest::newRow("PNG at 0") << Pieces { { 0, "PNG" } };
    QTest::newRow("GIF89a at 1") << Pieces { { 1, "GIF89a" } };
    QTest::newRow("GIF88a") << Pieces { { 0, "GIF88a" } };
    QTest::newRow("JFIF at 7") << Pieces { { 1, "\xD8" }, { 7, "JFIF" } };
    QTest::newRow("D8 at 2") << Pieces { { 2, "\xD8" }, { 6, "JFIF" } };
    QTest::newRow("JFIF without D8") << Pieces { { 6, "JFIF" } };
    QTest::newRow("Exif without D8") << Pieces { { 0, "\xFF\xD9" }, { 6, "Exif" } };
    QTest::newRow("rar! lower case") << Pieces { { 0, "rar!" } };
    QTest::newRow("-lh6-") << Pieces { { 2, "-lh6-" } };
    QTest::newRow("DOS stub cut") << Pieces { { 490, "This program cannot be run in DOS mode." } };
}

void TestSniffHeader::formatSignatureMisplaced()
{
    QFETCH(Pieces, pieces);
    QCOMPARE(SniffHeader(headerWith(pieces)), QString());
}

void TestSniffHeader::stageOrder_data()
{
    QTest::addColumn<Pieces>("pieces");
    QTest::addColumn<QString>("codec");
    const QByteArray dos = "This program cannot be run in DOS mode.";
    QTest::newRow("DIVX then XVID") << Pieces { { 100, "DIVX" }, { 300, "XVID" } } << "XviD";
    QTest::newRow("XVID then DIVX: table order") << Pieces { { 100, "XVID" }, { 300, "DIVX" } } << "XviD";
    QTest::newRow("DIVX with DX50") << Pieces { { 100, "DIVX" }, { 300, "DX50" } } << "DivX";
    QTest::newRow("XVID with DX50") << Pieces { { 100, "XVID" }, { 300, "DX50" } } << "DivX";
    QTest::newRow("DIV3 with DIVX") << Pieces { { 100, "DIV3" }, { 300, "DIVX" } } << "DivX";
    QTest::newRow("DIVX with OggS") << Pieces { { 100, "DIVX" }, { 300, "OggS" } } << "(DivX+Ogg)";
    QTest::newRow("XVID with OggS") << Pieces { { 100, "OggS" }, { 300, "XVID" } } << "(XviD+Ogg)";
    QTest::newRow("DIV3 with OggS") << Pieces { { 100, "DIV3" }, { 300, "OggS" } } << "DivX3";
    QTest::newRow("OggS alone") << Pieces { { 0, "OggS" } } << QString();
    QTest::newRow("DOS text with -lh5-") << Pieces { { 2, "-lh5-" }, { 78, dos } } << "EXE";
    QTest::newRow("-lh5- after DOS text") << Pieces { { 78, dos }, { 300, "-lh5-" } } << "EXE";
    QTest::newRow("DOS text with Rar!") << Pieces { { 0, "MZ" }, { 78, dos }, { 300, "Rar!" } } << "RAR";
    QTest::newRow("ZIP holding a DivX name") << Pieces { { 0, "PK\x03\x04" }, { 30, "DIVX" } } << "ZIP";
    QTest::newRow("GIF after PK row") << Pieces { { 0, "GIF89a" }, { 100, "Rar!" } } << "GIF";
    QTest::newRow("ASF with MP43") << Pieces { { 0, "\x30\x26\xB2\x75" }, { 200, "MP43" } } << "MPEG-4 V3";
    QTest::newRow("MPEG-1 pack and MPEG-2 pack") << Pieces { { 0, "\xBA\x21" }, { 100, "\xBA\x44" } } << "MPG";
}

void TestSniffHeader::stageOrder()
{
    QFETCH(Pieces, pieces);
    QFETCH(QString, codec);
    QCOMPARE(SniffHeader(headerWith(pieces)), codec);
}

QTEST_GUILESS_MAIN(TestSniffHeader)
#include "tst_sniffheader.moc"
