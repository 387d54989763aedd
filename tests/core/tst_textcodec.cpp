// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "Cp932Codec.h"
#include "LineSplitter.h"
#include "TextCodec.h"
#include "TextFile.h"

#include <QRandomGenerator>
#include <QTest>

#include <iconv.h>

namespace {

QByteArray utf16(const QString &text, bool bigEndian)
{
    QByteArray out;
    TextCodec::encodeAppend(text, bigEndian ? TextEncoding::Utf16BE : TextEncoding::Utf16LE, out);
    return out;
}

// Lines as the line splitter must cut them, the plain way.
QList<QByteArray> referenceLines(QByteArray text)
{
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    QList<QByteArray> lines = text.split('\n');
    if (text.isEmpty() || text.endsWith('\n'))
        lines.removeLast();
    return lines;
}

QByteArray encodeCp932(const QString &text)
{
    QByteArray out;
    TextCodec::encodeAppend(text, TextEncoding::Cp932, out);
    return out;
}

// The C library's own answer, for comparison.
QByteArray iconvConvert(const char *to, const char *from, const QByteArray &in, bool &ok)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1)) {
        ok = false;
        return {};
    }
    QByteArray out(in.size() * 4 + 8, '\0');
    char *inPtr = const_cast<char *>(in.constData());
    char *outPtr = out.data();
    size_t inLeft = size_t(in.size());
    size_t outLeft = size_t(out.size());
    ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1) && inLeft == 0;
    iconv_close(cd);
    out.truncate(out.size() - qsizetype(outLeft));
    return out;
}

} // namespace

class TestTextCodec : public QObject
{
    Q_OBJECT

private slots:
    void windowsCodes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("wave dash ～") << QStringLiteral("～") << QByteArray("\x81\x60");
        QTest::newRow("circled one ①") << QStringLiteral("①") << QByteArray("\x87\x40");
        QTest::newRow("㈱") << QStringLiteral("㈱") << QByteArray("\x87\x8A");
        QTest::newRow("parallel ∥") << QStringLiteral("∥") << QByteArray("\x81\x61");
        QTest::newRow("full-width minus －") << QStringLiteral("－") << QByteArray("\x81\x7C");
        QTest::newRow("not sign ￢") << QStringLiteral("￢") << QByteArray("\x81\xCA");
        QTest::newRow("backslash") << QStringLiteral("\\") << QByteArray("\x5C");
        QTest::newRow("tilde") << QStringLiteral("~") << QByteArray("\x7E");
        QTest::newRow("half-width katakana") << QStringLiteral("ｱﾝ") << QByteArray("\xB1\xDD");
        QTest::newRow("small roman ⅰ (IBM code)") << QStringLiteral("ⅰ") << QByteArray("\xFA\x40");
        QTest::newRow("roman Ⅰ (NEC code)") << QStringLiteral("Ⅰ") << QByteArray("\x87\x54");
        QTest::newRow("because ∵ (JIS code)") << QStringLiteral("∵") << QByteArray("\x81\xE6");
        QTest::newRow("髙") << QStringLiteral("髙") << QByteArray("\xFB\xFC");
        QTest::newRow("full-width backslash") << QStringLiteral("＼") << QByteArray("\x81\x5F");
        QTest::newRow("sentence") << QStringLiteral("アニメ#1,234.567")
                                  << QByteArray("\x83\x41\x83\x6A\x83\x81#1,234.567");
        QTest::newRow("single bytes 0x80, 0xA0, 0xFD..0xFF")
            << QStringLiteral("\u0080\uF8F0\uF8F1\uF8F2\uF8F3") << QByteArray("\x80\xA0\xFD\xFE\xFF");
    }

    void windowsCodes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QVERIFY(TextCodec::fitsCp932(text));
        QCOMPARE(encodeCp932(text), bytes);
        qint64 bad = 0;
        QCOMPARE(TextCodec::decode(bytes, TextEncoding::Cp932, bad), text);
        QCOMPARE(bad, 0);
    }

    void nonWindowsCodesAreReadToo()
    {
        // NEC-selected IBM extensions read as the same characters as the IBM
        // codes, which are the ones written.
        qint64 bad = 0;
        const QString fromNec = TextCodec::decode("\xED\x40\xEE\xEF", TextEncoding::Cp932, bad);
        QCOMPARE(bad, 0);
        QCOMPARE(encodeCp932(fromNec), QByteArray("\xFA\x5C\xFA\x40"));
    }

    void tableAgreesWithTheCLibrary()
    {
        const Cp932Codec &codec = Cp932Codec::instance();
        int mapped = 0;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (lead > 0x9F && lead < 0xE0)
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (trail == 0x7F)
                    continue;
                QByteArray code;
                code.append(char(lead)).append(char(trail));
                bool ok = false;
                const QByteArray expected = iconvConvert("UTF-16LE", "CP932", code, ok);
                char16_t unit = 0;
                qint64 bad = 0;
                QCOMPARE(codec.decode(code, &unit, bad), 1);
                if (!ok || expected.size() != 2) {
                    QCOMPARE(bad, 1);
                    continue;
                }
                ++mapped;
                QCOMPARE(unit, char16_t(quint8(expected[0]) | quint8(expected[1]) << 8));
                // Writing takes the code the C library would write, and it
                // reads back as the same character.
                const QString character { QChar(unit) };
                const QByteArray written = encodeCp932(character);
                const QByteArray libraryWrites = iconvConvert("CP932", "UTF-16LE", expected, ok);
                QVERIFY(ok);
                QCOMPARE(written, libraryWrites);
                QCOMPARE(TextCodec::decode(written, TextEncoding::Cp932, bad), character);
            }
        }
        QVERIFY(mapped > 7000);
    }

    void undecodableBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("bad");
        QTest::newRow("lead before a byte that is no trail")
            << QByteArray("a\x81\x7Fz") << QStringLiteral("a\uFFFD\x7Fz") << qint64(1);
        QTest::newRow("lead at the end") << QByteArray("a\x82") << QStringLiteral("a\uFFFD") << qint64(1);
        QTest::newRow("lead before a separator keeps it")
            << QByteArray("\x82#b") << QStringLiteral("\uFFFD#b") << qint64(1);
        QTest::newRow("unassigned code") << QByteArray("\x85\x40") << QStringLiteral("\uFFFD") << qint64(1);
    }

    void undecodableBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(qint64, bad);
        qint64 counted = 0;
        QCOMPARE(TextCodec::decode(bytes, TextEncoding::Cp932, counted), text);
        QCOMPARE(counted, bad);
    }

    // Decoding straight to UTF-8 gives the characters decoding to UTF-16
    // gives, with the same count of undecodable bytes: random bytes, with
    // lead and trail bytes, stray bytes and single bytes made likely.
    void decodingToUtf8MatchesUtf16()
    {
        static const quint8 Likely[] = { 0x81, 0x82, 0x83, 0x88, 0x9F, 0xE0, 0xEA, 0xFC, 0x40, 0x7E, 0x80, 0xA0, 0xA1,
            0xDF, 0xFD, 0xFF, 0x85, 0x7F, 0x0A, '#' };
        const Cp932Codec &codec = Cp932Codec::instance();
        QRandomGenerator rng(20261208);
        for (int round = 0; round < 3000; ++round) {
            QByteArray bytes;
            for (int n = int(rng.bounded(40)); n > 0; --n) {
                const quint32 pick = rng.bounded(4);
                bytes += char(pick == 0 ? Likely[rng.bounded(int(std::size(Likely)))]
                        : pick == 1     ? 'a' + rng.bounded(26)
                                        : rng.bounded(256));
            }
            qint64 badUtf16 = 0;
            std::vector<char16_t> units(size_t(bytes.size()));
            const qsizetype length = codec.decode(bytes, units.data(), badUtf16);
            qint64 badUtf8 = 0;
            QByteArray utf8(bytes.size() * 3, Qt::Uninitialized);
            utf8.resize(codec.decodeToUtf8(bytes, utf8.data(), badUtf8));
            QVERIFY2(utf8 == QStringView(units.data(), length).toUtf8() && badUtf8 == badUtf16, bytes.toHex(' '));
        }
    }

    void detection_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TextEncoding>("encoding");
        QTest::newRow("mark") << QByteArray("\xEF\xBB\xBF"
                                            "abc")
                              << TextEncoding::Utf8WithBom;
        QTest::newRow("mark only") << QByteArray("\xEF\xBB\xBF") << TextEncoding::Utf8WithBom;
        QTest::newRow("UTF-8 Japanese") << QStringLiteral("アニメ\r\n").toUtf8() << TextEncoding::Utf8;
        QTest::newRow("code page 932 Japanese") << QByteArray("\x83\x41\x83\x6A\x83\x81\r\n") << TextEncoding::Cp932;
        QTest::newRow("ASCII only") << QByteArray("abc#def\r\n") << TextEncoding::Cp932;
        QTest::newRow("empty") << QByteArray() << TextEncoding::Cp932;
        QTest::newRow("UTF-8 then a stray byte") << (QStringLiteral("é").toUtf8() + "\x83") << TextEncoding::Cp932;
        QTest::newRow("overlong") << QByteArray("\xC0\xAF") << TextEncoding::Cp932;
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << TextEncoding::Cp932;
        QTest::newRow("emoji") << QStringLiteral("🎬").toUtf8() << TextEncoding::Utf8;
        // Two-byte UTF-8 only: code page 932 when that reads the bytes too.
        QTest::newRow("ﾊｲﾃｸ, valid UTF-8 by accident") << QByteArray("\xCA\xB2\xC3\xB8\r\n") << TextEncoding::Cp932;
        QTest::newRow("ﾏｲﾅｰ, valid UTF-8 by accident") << QByteArray("\xCF\xB2\xC5\xB0") << TextEncoding::Cp932;
        QTest::newRow("é, also ﾃｩ in code page 932") << QStringLiteral("café").toUtf8() << TextEncoding::Cp932;
        QTest::newRow("Á, not code page 932") << QStringLiteral("Á\r\n").toUtf8() << TextEncoding::Utf8;
        QTest::newRow("UTF-16LE, no mark") << utf16(QStringLiteral("a#b\r\n"), false) << TextEncoding::Utf16LE;
        QTest::newRow("UTF-16BE, no mark") << utf16(QStringLiteral("a#b\r\n"), true) << TextEncoding::Utf16BE;
        QTest::newRow("UTF-16LE Japanese with mark")
            << QByteArray("\xFF\xFE") + utf16(QStringLiteral("一覧\r\nアニメ\r\n"), false) << TextEncoding::Utf16LE;
        QTest::newRow("UTF-16BE, odd length")
            << utf16(QStringLiteral("abc"), true) + QByteArray(1, '\0') << TextEncoding::Utf16BE;
        QTest::newRow("one NUL in a code page 932 line")
            << QByteArray("\x83\x41\x83\x6A\x00\x83\x81 and more text\r\n") << TextEncoding::Cp932;
    }

    void detection()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(TextEncoding, encoding);
        QCOMPARE(TextCodec::detect(bytes), encoding);
    }

    void utf16Decoding()
    {
        // The mark goes, an unpaired surrogate and an odd last byte become
        // U+FFFD, a pair stays.
        const QByteArray file = QByteArray("\xFF\xFE") + utf16(QStringLiteral("a🎬"), false)
            + QByteArrayLiteral("\x00\xD8") + utf16(QStringLiteral("b"), false) + QByteArray("c");
        const TextEncoding encoding = TextCodec::detect(file);
        QCOMPARE(encoding, TextEncoding::Utf16LE);
        qint64 bad = 0;
        QCOMPARE(TextCodec::decode(TextCodec::body(file, encoding), encoding, bad), QStringLiteral("a🎬\uFFFDb\uFFFD"));
        QCOMPARE(bad, 2);
        bad = 0;
        QCOMPARE(TextCodec::utf16ToUtf8(TextCodec::body(file, encoding), encoding, bad),
            QStringLiteral("a🎬\uFFFDb\uFFFD").toUtf8());
        QCOMPARE(bad, 2);
    }

    void utf16FilesAreReadLineByLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TextEncoding>("encoding");
        const QString text = QStringLiteral("ジャンル\r\nanime\nｱﾆﾒ\r");
        QTest::newRow("LE") << utf16(text, false) << TextEncoding::Utf16LE;
        QTest::newRow("BE") << utf16(text, true) << TextEncoding::Utf16BE;
        QTest::newRow("LE with mark") << QByteArray("\xFF\xFE") + utf16(text, false) << TextEncoding::Utf16LE;
        QTest::newRow("BE with mark") << QByteArray("\xFE\xFF") + utf16(text, true) << TextEncoding::Utf16BE;
    }

    void utf16FilesAreReadLineByLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(TextEncoding, encoding);
        const TextFile::Lines read = TextFile::decodeLines(bytes);
        QCOMPARE(read.encoding, encoding);
        QCOMPARE(read.undecodable, 0);
        QCOMPARE(read.lines, (QStringList { "ジャンル", "anime", "ｱﾆﾒ" }));
    }

    // Every written file reads back as the same lines: the encoding chosen
    // for writing is always the one detected on reading.
    void writtenLinesReadBack()
    {
        const QStringList pieces { "a", "#", " ", "ﾊ", "ｲ", "ﾃ", "ｸ", "ｰ", "ﾏ", "ｱ", "縺", "あ", "映", "～", "①",
            "\u0080", "\uF8F0", "\uF8F1", "\uF8F2", "\uF8F3", "é", "🎬", "한", QString(QChar(0)), "\t" };
        QRandomGenerator random(932);
        for (int round = 0; round < 3000; ++round) {
            QStringList lines;
            const int lineCount = random.bounded(1, 4);
            for (int l = 0; l < lineCount; ++l) {
                QString line;
                const int length = random.bounded(0, 7);
                for (int i = 0; i < length; ++i)
                    line += pieces[random.bounded(pieces.size())];
                lines.append(line);
            }
            const QByteArray bytes = TextFile::encodeLines(lines);
            const TextFile::Lines read = TextFile::decodeLines(bytes);
            QVERIFY2(read.lines == lines && read.undecodable == 0,
                qPrintable(lines.join(u'|') + QStringLiteral(" became ") + read.lines.join(u'|')));
        }
    }

    void lineSplitting()
    {
        // Random texts of letters, CRs and LFs against the plain reference.
        QRandomGenerator random(13);
        const char alphabet[] = { 'a', 'b', '\r', '\n' };
        for (int round = 0; round < 5000; ++round) {
            QByteArray text;
            const int length = random.bounded(0, 12);
            for (int i = 0; i < length; ++i)
                text += alphabet[random.bounded(4)];
            QList<QByteArray> lines;
            LineSplitter splitter(text);
            QByteArrayView line;
            while (splitter.next(line))
                lines.append(line.toByteArray());
            QCOMPARE(lines, referenceLines(text));
            QCOMPARE(LineSplitter::count(text), lines.size());
        }
    }

    void utf8WithMarkCountsInvalidBytes()
    {
        qint64 bad = 0;
        const QString text = TextCodec::decode("a\xFF"
                                               "b\xC3",
            TextEncoding::Utf8WithBom, bad);
        QCOMPARE(bad, 2);
        QCOMPARE(text, QStringLiteral("a\uFFFDb\uFFFD"));
    }

    // The catalogue hands its texts over as UTF-8: fitting, encoding and the
    // choice of the file's encoding must be what the same texts give as
    // UTF-16.
    void utf8TextsEncodeAsUtf16Texts()
    {
        const QStringList pieces = { "movie", "アニメ", "ﾊｲﾃｸ", "縺｡", "～①㈱", "영화", "🎬", "café", "¬", "\\",
            QString(QChar(0)), "#", "\u0080\uF8F0" };
        QRandomGenerator rng(7);
        for (int round = 0; round < 2000; ++round) {
            EncodingChooser fromUtf16;
            EncodingChooser fromUtf8;
            for (int t = int(rng.bounded(6)); t > 0; --t) {
                QString text;
                for (int n = int(rng.bounded(4)); n > 0; --n)
                    text += pieces[rng.bounded(int(pieces.size()))];
                const QByteArray utf8 = text.toUtf8();
                const QUtf8StringView view(utf8.constData(), utf8.size());
                const bool fits = Cp932Codec::instance().fits(QStringView(text));
                QCOMPARE(Cp932Codec::instance().fits(view), fits);
                if (fits) {
                    QByteArray a, b;
                    TextCodec::encodeAppend(QStringView(text), TextEncoding::Cp932, a);
                    TextCodec::encodeAppend(view, TextEncoding::Cp932, b);
                    QCOMPARE(b, a);
                }
                fromUtf16.add(QStringView(text));
                fromUtf8.add(view);
            }
            QCOMPARE(fromUtf8.encoding(), fromUtf16.encoding());
        }
    }

    void fitting_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fits");
        QTest::newRow("ASCII") << QStringLiteral("abc") << true;
        QTest::newRow("Japanese") << QStringLiteral("日本語ｶﾅ～") << true;
        QTest::newRow("user-defined area") << QStringLiteral("\uE000") << true;
        QTest::newRow("Latin-1 not sign has no round trip") << QStringLiteral("¬") << false;
        QTest::newRow("accented") << QStringLiteral("é") << false;
        QTest::newRow("emoji") << QStringLiteral("🎬") << false;
        QTest::newRow("Korean") << QStringLiteral("한") << false;
        QTest::newRow("replacement character") << QStringLiteral("\uFFFD") << false;
    }

    void fitting()
    {
        QFETCH(QString, text);
        QFETCH(bool, fits);
        QCOMPARE(TextCodec::fitsCp932(text), fits);
    }
};

QTEST_GUILESS_MAIN(TestTextCodec)
#include "tst_textcodec.moc"
