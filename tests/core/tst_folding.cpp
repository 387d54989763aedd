// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "CatalogSearch.h"
#include "SearchFolding.h"

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

QTEST_APPLESS_MAIN(tst_Folding)
#include "tst_folding.moc"
