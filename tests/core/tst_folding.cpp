// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "CatalogSearch.h"
#include "NameMatcher.h"
#include "SearchFolding.h"

#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_Folding : public QObject
{
    Q_OBJECT

private slots:
    void fold_data();
    void fold();
    void halfWidthKatakanaRow_data();
    void halfWidthKatakanaRow();
    void foldIsIdempotentForEveryUnit();
    void unitGrowsOnlyByItsMark();
    void fullWidthAsciiIsAscii();
    void foldIntoReusesTheBuffer();
    void utf8FoldsAsItsUtf16Form();
    void nothingBeyondTheBmpFoldsIntoIt();
    void byteScanMatchesTheFoldedContains();
};

void tst_Folding::fold_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("folded");

    QTest::newRow("upper ascii") << u"AVI"_s << u"avi"_s;
    QTest::newRow("mixed ascii") << u"Movie.Avi"_s << u"movie.avi"_s;
    QTest::newRow("full-width latin") << u"ＡＶＩ"_s << u"avi"_s;
    QTest::newRow("full-width small latin") << u"ａｖｉ"_s << u"avi"_s;
    QTest::newRow("full-width digits") << u"１２３"_s << u"123"_s;
    QTest::newRow("full-width hash") << u"＃"_s << u"#"_s;
    QTest::newRow("full-width yen") << u"￥"_s << u"¥"_s;
    QTest::newRow("ideographic space") << u"a\u3000b"_s << u"a b"_s;
    QTest::newRow("half-width katakana") << u"ｱﾆﾒ"_s << u"アニメ"_s;
    QTest::newRow("hiragana") << u"あにめ"_s << u"アニメ"_s;
    QTest::newRow("katakana stays") << u"アニメ"_s << u"アニメ"_s;
    QTest::newRow("half-width voiced") << u"ｶﾞ"_s << u"カ\u3099"_s;
    QTest::newRow("half-width semi-voiced") << u"ﾊﾟ"_s << u"ハ\u309A"_s;
    QTest::newRow("half-width vu") << u"ｳﾞ"_s << u"ウ\u3099"_s;
    QTest::newRow("half-width va") << u"ﾜﾞ"_s << u"ワ\u3099"_s;
    QTest::newRow("precomposed voiced") << u"ガ"_s << u"カ\u3099"_s;
    QTest::newRow("hiragana combining") << u"か\u3099"_s << u"カ\u3099"_s;
    QTest::newRow("hiragana voiced") << u"がんだむ"_s << u"カ\u3099ンタ\u3099ム"_s;
    QTest::newRow("hiragana vu") << u"ゔ"_s << u"ウ\u3099"_s;
    QTest::newRow("iteration marks") << u"ゝゞ"_s << u"ヽヽ\u3099"_s;
    QTest::newRow("voiced mark without base") << u"ﾞ"_s << u"\u3099"_s;
    QTest::newRow("voiced mark after a") << u"aﾞ"_s << u"a\u3099"_s;
    QTest::newRow("no voiced form") << u"ｱﾞ"_s << u"ア\u3099"_s;
    QTest::newRow("no semi-voiced form") << u"ｶﾟ"_s << u"カ\u309A"_s;
    QTest::newRow("spacing mark stays") << u"カ゛"_s << u"カ゛"_s;
    QTest::newRow("half-width long vowel") << u"ｰ"_s << u"ー"_s;
    QTest::newRow("half-width punctuation") << u"｡｢｣､･"_s << u"。「」、・"_s;
    QTest::newRow("latin-1 letters") << u"ÄÖÜÉ"_s << u"äöüé"_s;
    QTest::newRow("greek") << u"ΣΑΣ"_s << u"σασ"_s;
    QTest::newRow("cyrillic") << u"ФИЛЬМ"_s << u"фильм"_s;
    QTest::newRow("kanji stay") << u"漢字"_s << u"漢字"_s;
    QTest::newRow("wildcards stay") << u"*?"_s << u"*?"_s;
    QTest::newRow("blanks stay") << u" a "_s << u" a "_s;
    QTest::newRow("beyond the BMP") << u"\U00010400"_s << u"\U00010428"_s;
    QTest::newRow("lone high surrogate") << QString(QChar(0xD800)) + u'A' << QString(QChar(0xD800)) + u'a';
    QTest::newRow("lone low surrogate") << QString(QChar(0xDC00)) << QString(QChar(0xDC00));
    QTest::newRow("empty") << QString() << QString();
}

void tst_Folding::fold()
{
    QFETCH(QString, text);
    QFETCH(QString, folded);
    QCOMPARE(FoldForSearch(text), folded);
    QCOMPARE(FoldForSearch(folded), folded);
}

void tst_Folding::halfWidthKatakanaRow_data()
{
    QTest::addColumn<QString>("halfWidth");
    QTest::addColumn<QString>("hiragana");
    QTest::addColumn<QString>("katakana");

    QTest::newRow("plain")
        << u"ｦｧｨｩｪｫｬｭｮｯｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝ"_s
        << u"をぁぃぅぇぉゃゅょっあいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわん"_s
        << u"ヲァィゥェォャュョッアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン"_s;
    QTest::newRow("voiced") << u"ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞｳﾞ"_s
                            << u"がぎぐげござじずぜぞだぢづでどばびぶべぼゔ"_s
                            << u"ガギグゲゴザジズゼゾダヂヅデドバビブベボヴ"_s;
    QTest::newRow("semi-voiced") << u"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"_s << u"ぱぴぷぺぽ"_s << u"パピプペポ"_s;
}

void tst_Folding::halfWidthKatakanaRow()
{
    QFETCH(QString, halfWidth);
    QFETCH(QString, hiragana);
    QFETCH(QString, katakana);
    const QString decomposed = katakana.normalized(QString::NormalizationForm_D);
    QCOMPARE(FoldForSearch(halfWidth), decomposed);
    QCOMPARE(FoldForSearch(hiragana), decomposed);
    QCOMPARE(FoldForSearch(katakana), decomposed);
}

void tst_Folding::foldIsIdempotentForEveryUnit()
{
    for (char32_t c = 0; c < 0x10000; ++c) {
        const QChar ch { char16_t(c) };
        const QString once = FoldForSearch(QStringView(&ch, 1));
        if (FoldForSearch(once) != once)
            QFAIL(qPrintable(QString::asprintf("U+%04X folds to a text that folds on", uint(c))));
    }
}

void tst_Folding::unitGrowsOnlyByItsMark()
{
    // The search skips names too short to hold the folded text, counting two
    // units for each unit of a name; a unit grows only by a combining mark.
    for (char32_t c = 0; c < 0x10000; ++c) {
        const QChar ch { char16_t(c) };
        if (ch.isSurrogate())
            continue;
        const QString folded = FoldForSearch(QStringView(&ch, 1));
        const bool mark = folded.size() == 2 && (folded.at(1) == QChar(0x3099) || folded.at(1) == QChar(0x309A));
        if (folded.size() != 1 && !mark)
            QFAIL(qPrintable(QString::asprintf("U+%04X folds to %d units", uint(c), int(folded.size()))));
    }
}

void tst_Folding::fullWidthAsciiIsAscii()
{
    for (char16_t c = 0x21; c <= 0x7E; ++c) {
        const QChar ascii { c };
        const QChar wide { char16_t(0xFF01 + (c - 0x21)) };
        QCOMPARE(FoldForSearch(QStringView(&wide, 1)), FoldForSearch(QStringView(&ascii, 1)));
    }
}

void tst_Folding::foldIntoReusesTheBuffer()
{
    std::u16string out = u"left over from an earlier name";
    SearchFolding::instance().foldInto(u"ＡＢ", out);
    QCOMPARE(QString::fromStdU16String(out), u"ab"_s);
}

// Random byte strings of characters of one to four bytes, now and then an
// ill-formed sequence: the UTF-8 text folds as the decoded text does, no
// longer than one unit a byte, and a name matches a text as its decoded
// form does; the same bytes read as Latin-1 fold as their decoded form.
void tst_Folding::utf8FoldsAsItsUtf16Form()
{
    const QList<QByteArray> pieces { "a", "Z", " ", "*", "\xC3\x84", "\xC3\xA4", "\xCE\xA3", "\xE3\x81\x8C",
        "\xE3\x82\xAB", "\xE3\x82\x99", "\xEF\xBD\xB6", "\xEF\xBE\x9E", "\xEF\xBC\xA1", "\xE3\x80\x80", "\xEF\xBB\xBF",
        "\xEF\xBF\xBF", "\xF0\x90\x90\x80", "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF" };
    const QList<QByteArray> illFormed { "\x80", "\xBF", "\xC0\x80", "\xC1\xBF", "\xE0\x80\x80", "\xED\xA0\x80",
        "\xF4\x90\x80\x80", "\xF5", "\xFF", "\xE3\x82", "\xF0\x90\x90", "\xC3" };
    QRandomGenerator random(1207);
    auto randomBytes = [&](int maxPieces) {
        QByteArray bytes;
        for (int i = random.bounded(maxPieces + 1); i > 0; --i) {
            const bool bad = random.bounded(12) == 0;
            const QList<QByteArray> &from = bad ? illFormed : pieces;
            bytes += from.at(random.bounded(from.size()));
        }
        return bytes;
    };
    // QString::fromUtf8 would drop a byte order mark at the start.
    auto decode = [](const QByteArray &utf8) {
        return QString(QStringDecoder(
            QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless)(utf8));
    };
    const SearchFolding &folding = SearchFolding::instance();
    std::u16string out, scratch;
    int matched = 0;
    for (int round = 0; round < 3000; ++round) {
        const QByteArray bytes = randomBytes(8);
        const QString decoded = decode(bytes);
        if (!bytes.startsWith("\xEF\xBB\xBF"))
            QCOMPARE(decoded, QString::fromUtf8(bytes));
        folding.foldInto(QUtf8StringView(bytes), out);
        const QString folded(reinterpret_cast<const QChar *>(out.data()), qsizetype(out.size()));
        QCOMPARE(folded, folding.fold(decoded));
        QVERIFY(qsizetype(out.size()) <= SearchFolding::maxFoldedUnits(QUtf8StringView(bytes)));
        QCOMPARE(folding.fold(QLatin1StringView(bytes)), folding.fold(QString::fromLatin1(bytes)));

        const QByteArray text = random.bounded(2) && !bytes.isEmpty()
            ? bytes.mid(random.bounded(bytes.size()), random.bounded(1, 7))
            : randomBytes(2);
        if (text.isEmpty())
            continue;
        const bool expected = folded.contains(folding.fold(decode(text)));
        matched += expected;
        QCOMPARE(NameMatcher(QUtf8StringView(text)).matches(QUtf8StringView(bytes), scratch), expected);
    }
    QVERIFY(matched > 500);
}

// The byte scan looks for the characters whose fold begins with a unit of
// the text among the characters of the BMP only.
void tst_Folding::nothingBeyondTheBmpFoldsIntoIt()
{
    for (char32_t c = 0x10000; c <= 0x10FFFF; ++c) {
        if (QChar::toCaseFolded(c) <= 0xFFFF)
            QFAIL(qPrintable(u"U+%1 folds into the BMP"_s.arg(quint32(c), 0, 16)));
    }
}

// Random UTF-8 names of letters in every form the fold joins (cases,
// widths, kana with and without marks), a character beyond the BMP and now
// and then an ill-formed piece; texts cut from a name or made at random;
// counts of bytes made at random, so that the scan looks for every unit of
// the text and every pair of bytes of its characters in turn. The name
// alone, the name as the first of several fields (the text itself behind
// the separator) and the name in UTF-16 all match exactly when the folded
// name contains the folded text.
void tst_Folding::byteScanMatchesTheFoldedContains()
{
    const QList<QByteArray> pieces { "a", "A", "v", "V", "_", " ", "1", "\xEF\xBD\x81" /* ａ */,
        "\xEF\xBC\xA1" /* Ａ */, "\xEF\xBC\xB6" /* Ｖ */, "\xEF\xBC\x91" /* １ */, "\xE3\x82\xAB" /* カ */,
        "\xE3\x81\x8B" /* か */, "\xEF\xBD\xB6" /* ｶ */, "\xE3\x82\xAC" /* ガ */, "\xE3\x81\x8C" /* が */,
        "\xE3\x82\x99" /* combining voiced mark */, "\xEF\xBE\x9E" /* ﾞ */, "\xE3\x83\x8B" /* ニ */,
        "\xE3\x80\x80" /* ideographic space */, "\xE6\xBC\xA2" /* 漢 */, "\xCE\xA3" /* Σ */, "\xCF\x83" /* σ */,
        "\xF0\x90\x90\x80", "\xEF\xBF\xBD" /* replacement character */ };
    const QList<QByteArray> illFormed { "\x80", "\xAB", "\xC0\x80", "\xE3\x82", "\xED\xA0\x80", "\xF5", "\xE3" };
    QRandomGenerator random(20261208);
    auto randomBytes = [&](int maxPieces) {
        QByteArray bytes;
        for (int i = random.bounded(maxPieces + 1); i > 0; --i) {
            const QList<QByteArray> &from = random.bounded(16) == 0 ? illFormed : pieces;
            bytes += from.at(random.bounded(from.size()));
        }
        return bytes;
    };
    auto decode = [](const QByteArray &utf8) {
        return QString(QStringDecoder(
            QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless)(utf8));
    };
    const char separator = char(CatalogItem::Separator.unicode());
    std::u16string scratch;
    int hits = 0, anchored = 0, anchoredLater = 0;
    for (int round = 0; round < 6000; ++round) {
        const QByteArray name = randomBytes(12);
        QByteArray text = random.bounded(3) && !name.isEmpty()
            ? name.mid(random.bounded(name.size()), random.bounded(1, 10))
            : randomBytes(3);
        if (text.isEmpty())
            text = "a";
        NameMatcher::ByteCounts counts;
        for (int i = random.bounded(40); i > 0; --i) {
            counts.bytes[random.bounded(256)] += random.bounded(1000);
            const QByteArray &source = random.bounded(2) ? name : text;
            if (source.size() >= 2) {
                const int at = random.bounded(source.size() - 1);
                counts.pairs[uchar(source[at]) * 256 + uchar(source[at + 1])] += random.bounded(1000);
            }
        }
        const NameMatcher matcher(QUtf8StringView(text), random.bounded(4) ? &counts : nullptr);
        anchored += matcher.anchor() >= 0;
        anchoredLater += matcher.anchor() > 0;
        const bool expected = FoldForSearch(decode(name)).contains(FoldForSearch(decode(text)));
        hits += expected;
        const QByteArray joined = name + separator + text + separator + text;
        const auto context = [&] { return qPrintable(u"name %1, text %2"_s.arg(name.toHex(' '), text.toHex(' '))); };
        QVERIFY2(matcher.matches(QUtf8StringView(name), scratch) == expected, context());
        QVERIFY2(matcher.matchesFirstField(QUtf8StringView(joined), scratch) == expected, context());
        QVERIFY2(matcher.matches(decode(name), scratch) == expected, context());
    }
    QVERIFY(hits > 1500);
    QVERIFY(anchored > 4000);
    QVERIFY(anchoredLater > 1500);
}

QTEST_APPLESS_MAIN(tst_Folding)
#include "tst_folding.moc"
