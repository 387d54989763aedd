#include "Cp932Codec.h"
#include "TextCodec.h"

#include <QTest>

#include <iconv.h>

namespace {

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
        QTest::newRow("0x80") << QByteArray("a\x80z") << QStringLiteral("a\uFFFDz") << qint64(1);
        QTest::newRow("0xA0 and 0xFD..0xFF")
            << QByteArray("\xA0\xFD\xFE\xFF") << QStringLiteral("\uFFFD\uFFFD\uFFFD\uFFFD") << qint64(4);
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
    }

    void detection()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(TextEncoding, encoding);
        QCOMPARE(TextCodec::detect(bytes), encoding);
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
