// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "BytePairFinder.h"
#include "CatalogSearch.h"

#include <QRandomGenerator>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

struct Row
{
    QString name;
    QString genre1;
    int categoryField = CatalogItem::Genre1;
};

Catalog makeCatalog(const QList<Row> &rows)
{
    Catalog catalog;
    for (const Row &row : rows) {
        std::array<QString, CatalogItem::StoredFieldCount> fields;
        fields[CatalogItem::Name] = row.name;
        fields[CatalogItem::FileSize] = u"1,234"_s;
        fields[row.categoryField] = row.genre1;
        catalog.append(CatalogItem::fromStoredFields(fields));
    }
    return catalog;
}

// The catalogue that the table below searches; positions are 0-based.
Catalog sampleCatalog()
{
    return makeCatalog({
        { u"movie.avi"_s, u"アニメ"_s }, // 0
        { u"MOVIE2.AVI"_s, {} }, // 1
        { QString(), u"avi"_s }, // 2: no name
        { u"clip.mpg"_s, u"sunset"_s }, // 3
        { u"what*is?.txt"_s, {} }, // 4
        { u"whatXisY.txt"_s, {} }, // 5
        { u"song .mp3"_s, {} }, // 6
        { u"song.mp3"_s, {} }, // 7
        { u"アニメ第1話.avi"_s, {} }, // 8
        { u"ｱﾆﾒ.mkv"_s, {} }, // 9
        { u"あにめ.mp4"_s, {} }, // 10
        { u"ｶﾞﾝﾀﾞﾑ.avi"_s, {} }, // 11
        { u"ガンダム.mkv"_s, {} }, // 12
        { u"ＡＶＩ.txt"_s, {} }, // 13
        { u"カンタム.txt"_s, {} }, // 14
    });
}

} // namespace

class tst_Search : public QObject
{
    Q_OBJECT

private slots:
    void search_data();
    void search();
    void emptyCatalog();
    void everyCategoryIsSearched();
    void sameSearchTwice();
    void asciiMatchesCaseInsensitiveContains();
    void randomNamesMatchTheFoldedContains();
    void plainHitsAreFound_data();
    void plainHitsAreFound();
    void everyPlainHitIsFound();
    void partsSideBySideMatchTheFoldedContains();
    void namesAsTheyAreAfterEdits();
    void pairFinderMatchesAPlainScan();
    void statusText_data();
    void statusText();
};

void tst_Search::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<qsizetype>>("hits");

    using L = QList<qsizetype>;
    QTest::newRow("empty text: every non-empty name")
        << QString() << L { 0, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14 };
    QTest::newRow("case: AVI finds .avi") << u"AVI"_s << L { 0, 1, 8, 11, 13 };
    QTest::newRow("at the start") << u"movie"_s << L { 0, 1 };
    QTest::newRow("at the end") << u".mpg"_s << L { 3 };
    QTest::newRow("in the middle") << u"ie.a"_s << L { 0 };
    QTest::newRow("whole name") << u"clip.mpg"_s << L { 3 };
    QTest::newRow("longer than every name") << u"clip.mpg and more"_s << L {};
    QTest::newRow("not in one piece") << u"movieavi"_s << L {};
    QTest::newRow("star is literal") << u"*"_s << L { 4 };
    QTest::newRow("question mark is literal") << u"?"_s << L { 4 };
    QTest::newRow("star inside") << u"what*is"_s << L { 4 };
    QTest::newRow("trailing blank") << u"song "_s << L { 6 };
    QTest::newRow("leading blank") << u" .mp3"_s << L { 6 };
    QTest::newRow("without blank") << u"song"_s << L { 6, 7 };
    QTest::newRow("full-width blank is a blank") << u"song\u3000"_s << L { 6 };
    QTest::newRow("word only in a genre") << u"sunset"_s << L {};
    QTest::newRow("genre of the nameless row") << u"avi"_s << L { 0, 1, 8, 11, 13 };
    QTest::newRow("katakana") << u"アニメ"_s << L { 8, 9, 10 };
    QTest::newRow("half-width katakana") << u"ｱﾆﾒ"_s << L { 8, 9, 10 };
    QTest::newRow("hiragana") << u"あにめ"_s << L { 8, 9, 10 };
    QTest::newRow("voiced katakana") << u"ガンダム"_s << L { 11, 12 };
    QTest::newRow("half-width voiced") << u"ｶﾞﾝﾀﾞﾑ"_s << L { 11, 12 };
    QTest::newRow("hiragana voiced") << u"がんだむ"_s << L { 11, 12 };
    QTest::newRow("voicing counts") << u"カンタム"_s << L { 14 };
    QTest::newRow("a letter without its voiced mark") << u"ｶ"_s << L { 11, 12, 14 };
    QTest::newRow("a voiced mark alone") << u"ﾞ"_s << L { 11, 12 };
    QTest::newRow("full-width latin") << u"ＭＯＶＩＥ"_s << L { 0, 1 };
    QTest::newRow("full-width digit") << u"第１話"_s << L { 8 };
    QTest::newRow("nothing") << u"xyz"_s << L {};
}

void tst_Search::search()
{
    QFETCH(QString, text);
    QFETCH(QList<qsizetype>, hits);
    QCOMPARE(SearchCatalog(sampleCatalog(), text), hits);
}

void tst_Search::emptyCatalog()
{
    QVERIFY(SearchCatalog(Catalog(), QString()).isEmpty());
    QVERIFY(SearchCatalog(Catalog(), u"a"_s).isEmpty());
}

void tst_Search::everyCategoryIsSearched()
{
    const QList<int> categoryFields { CatalogItem::Genre1, CatalogItem::Genre2, CatalogItem::Remarks,
        CatalogItem::Other1, CatalogItem::Other2 };
    QList<Row> rows;
    for (int field : categoryFields) {
        rows.append({ u"clip.avi"_s, u"value"_s, field });
        rows.append({ u"clip.avi"_s, QString(), field });
    }
    const Catalog catalog = makeCatalog(rows);
    QCOMPARE(SearchCatalog(catalog, u"clip"_s), (QList<qsizetype> { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 }));
    QVERIFY(SearchCatalog(catalog, u"value"_s).isEmpty());
}

void tst_Search::sameSearchTwice()
{
    const Catalog catalog = sampleCatalog();
    const QList<qsizetype> first = SearchCatalog(catalog, u"avi"_s);
    QCOMPARE(first.size(), 5);
    QCOMPARE(SearchCatalog(catalog, u"avi"_s), first);
}

// Random names of a few letters, so that hits are frequent, searched for
// random texts: the search must list exactly the rows that isHit accepts.
static void compareWithReference(quint32 seed, const QString &letters, int rounds, int maxTextLength,
    const std::function<bool(const QString &name, const QString &text)> &isHit)
{
    QRandomGenerator random(seed);
    auto randomText = [&](int maxLength) {
        QString text;
        const int length = random.bounded(maxLength + 1);
        for (int i = 0; i < length; ++i)
            text += letters.at(random.bounded(letters.size()));
        return text;
    };
    for (int round = 0; round < rounds; ++round) {
        QList<Row> rows;
        for (int i = random.bounded(30); i > 0; --i)
            rows.append({ randomText(8), {} });
        const Catalog catalog = makeCatalog(rows);
        const QString text = randomText(maxTextLength);
        QList<qsizetype> expected;
        for (qsizetype i = 0; i < rows.size(); ++i) {
            if (!rows[i].name.isEmpty() && isHit(rows[i].name, text))
                expected.append(i);
        }
        QCOMPARE(SearchCatalog(catalog, text), expected);
    }
}

// For ASCII the fold is exactly the case-insensitive comparison.
void tst_Search::asciiMatchesCaseInsensitiveContains()
{
    compareWithReference(7, u"aAbB*? ."_s, 200, 3,
        [](const QString &name, const QString &text) { return name.contains(text, Qt::CaseInsensitive); });
}

// Mixed scripts: the search gives the rows whose folded name contains the
// folded text, whatever the lengths (the search skips short names).
void tst_Search::randomNamesMatchTheFoldedContains()
{
    compareWithReference(11, u"aAａＡカｶが\u3099ﾞﾊﾟぱ\u3000 "_s, 300, 4,
        [](const QString &name, const QString &text) { return FoldForSearch(name).contains(FoldForSearch(text)); });
}

void tst_Search::plainHitsAreFound_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("half-width text stops before the mark") << u"ﾑｰﾋﾞｰ.avi"_s << u"ﾑｰﾋ"_s;
    QTest::newRow("half-width semi-voiced") << u"ﾊﾟｿｺﾝ.txt"_s << u"ﾊ"_s;
    QTest::newRow("combining marks in the name") << u"カ\u3099ンタ\u3099ム"_s << u"ンタ"_s;
    QTest::newRow("combining mark in the text") << u"ガンダム"_s << u"カ\u3099ン"_s;
    QTest::newRow("precomposed name, base letter") << u"ガンダム"_s << u"カ"_s;
    QTest::newRow("text is the mark") << u"ｶﾞ"_s << u"ﾞ"_s;
}

void tst_Search::plainHitsAreFound()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QCOMPARE(SearchCatalog(makeCatalog({ { name, {} } }), text), QList<qsizetype>({ 0 }));
}

// Whatever the plain case-insensitive comparison finds, the search finds:
// names and texts from kana with and without marks (precomposed, combining,
// half-width), full-width and Latin letters in both cases.
void tst_Search::everyPlainHitIsFound()
{
    const QString letters = u"aAｂＢカガｶﾞﾞﾟかが\u3099\u309Aハパﾊﾟ ."_s;
    QRandomGenerator random(20261207);
    auto randomText = [&](int maxLength) {
        QString text;
        for (int i = random.bounded(maxLength + 1); i > 0; --i)
            text += letters.at(random.bounded(letters.size()));
        return text;
    };
    int hits = 0;
    for (int round = 0; round < 400; ++round) {
        QList<Row> rows;
        for (int i = random.bounded(1, 30); i > 0; --i)
            rows.append({ randomText(8), {} });
        QString text = randomText(3);
        if (random.bounded(2) && !rows.first().name.isEmpty()) {
            // A piece cut from a name, so that plain hits are frequent.
            const QString &name = rows.first().name;
            const int from = random.bounded(name.size());
            text = name.mid(from, random.bounded(1, 4));
        }
        const QList<qsizetype> found = SearchCatalog(makeCatalog(rows), text);
        for (qsizetype i = 0; i < rows.size(); ++i) {
            if (rows[i].name.isEmpty() || !rows[i].name.contains(text, Qt::CaseInsensitive))
                continue;
            ++hits;
            if (!found.contains(i))
                QFAIL(qPrintable(u"\"%1\" not found in \"%2\""_s.arg(text, rows[i].name)));
        }
    }
    QVERIFY(hits > 400);
}

// A catalogue searched in parts on several threads (the threshold lowered
// so that a small one is cut too) lists, in master order, exactly the rows
// whose folded name contains the folded text: names of mixed scripts and
// widths, voiced kana in every form, characters beyond the BMP, empty
// names; texts cut from names or made at random.
void tst_Search::partsSideBySideMatchTheFoldedContains()
{
    const QStringList letters { u"a"_s, u"A"_s, u"b"_s, u"ａ"_s, u"Ｂ"_s, u"ｶ"_s, u"カ"_s, u"か"_s, u"ガ"_s, u"が"_s,
        u"ｶﾞ"_s, u"\u3099"_s, u"ﾊﾟ"_s, u"ぱ"_s, u"\u3000"_s, u" "_s, u"."_s, u"\U00010400"_s, u"\U00010428"_s,
        u"\U0001F600"_s, u"Σ"_s, u"σ"_s, u"漢"_s };
    QRandomGenerator random(4242);
    auto randomText = [&](int maxLetters) {
        QString text;
        for (int i = random.bounded(maxLetters + 1); i > 0; --i)
            text += letters.at(random.bounded(letters.size()));
        return text;
    };
    qsizetype hits = 0;
    for (int round = 0; round < 150; ++round) {
        QList<Row> rows;
        for (int i = random.bounded(1, 400); i > 0; --i)
            rows.append({ randomText(9), {} });
        const QString &source = rows.at(random.bounded(rows.size())).name;
        QString text = randomText(4);
        if (random.bounded(2) && !source.isEmpty()) {
            const int from = random.bounded(source.size());
            text = source.mid(from, random.bounded(1, 6));
        }
        QList<qsizetype> expected;
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const QString &name = rows.at(i).name;
            if (!name.isEmpty() && FoldForSearch(name).contains(FoldForSearch(text)))
                expected.append(i);
        }
        hits += expected.size();
        const Catalog catalog = makeCatalog(rows);
        QCOMPARE(SearchCatalog(catalog, text, 0), expected);
        QCOMPARE(SearchCatalog(catalog, text, rows.size() + 1), expected);
    }
    QVERIFY(hits > 3000);
}

// The search reads each name where the row keeps it: after names were
// changed, values assigned to a category (kept beside the row's text) and
// rows removed, it lists exactly the rows whose name as read back contains
// the text, and never one whose text is only in a category or an old name.
void tst_Search::namesAsTheyAreAfterEdits()
{
    const QStringList words { u"final"_s, u"FINAL"_s, u"ｆｉｎａｌ"_s, u"アニメ"_s, u"あにめ"_s, u"clip"_s, u"_"_s };
    QRandomGenerator random(808);
    auto randomName = [&] {
        QString name;
        for (int i = random.bounded(4); i > 0; --i)
            name += words.at(random.bounded(words.size()));
        return name;
    };
    QList<Row> rows;
    for (int i = 0; i < 300; ++i)
        rows.append({ randomName(), randomName(), CatalogItem::Genre1 + random.bounded(5) });
    Catalog catalog = makeCatalog(rows);
    for (int round = 0; round < 40; ++round) {
        const qsizetype i = random.bounded(catalog.size());
        switch (random.bounded(3)) {
        case 0:
            catalog.setField(i, CatalogItem::Name, randomName());
            break;
        case 1:
            catalog.setFieldOfRows(
                { i, random.bounded(catalog.size()) }, CatalogItem::Genre1 + random.bounded(5), randomName());
            break;
        default:
            catalog.removeRows({ i });
        }
        for (const QString &text : { u"final"_s, u"アニメ"_s, u"clip"_s, u"l_a"_s }) {
            QList<qsizetype> expected;
            for (qsizetype row = 0; row < catalog.size(); ++row) {
                const QString name = catalog.text(row, CatalogItem::Name);
                if (!name.isEmpty() && FoldForSearch(name).contains(FoldForSearch(text)))
                    expected.append(row);
            }
            QCOMPARE(SearchCatalog(catalog, text, 0), expected);
        }
    }
}

// The first place where one of the patterns begins, found sixteen places at
// a time, is the one a byte-by-byte scan finds: patterns of one byte and of
// two, texts of every length around the width of a chunk, starting
// anywhere.
void tst_Search::pairFinderMatchesAPlainScan()
{
    const QByteArray alphabet("ab\x1F\xE3\x82\xA2\xEF\xBD", 8);
    QRandomGenerator random(1616);
    int found = 0;
    for (int round = 0; round < 4000; ++round) {
        std::vector<BytePairFinder::Pattern> patterns;
        for (int i = random.bounded(1, BytePairFinder::MaxPatterns + 1); i > 0; --i) {
            patterns.push_back({ alphabet.at(random.bounded(alphabet.size())),
                alphabet.at(random.bounded(alphabet.size())), random.bounded(3) == 0 });
        }
        QByteArray text;
        for (int i = random.bounded(60); i > 0; --i)
            text += alphabet.at(random.bounded(random.bounded(2) ? 2 : alphabet.size()));
        const int from = random.bounded(text.size() + 1);
        const char *const begin = text.constData();
        const char *const end = begin + text.size();
        const char *expected = begin + from;
        const auto beginsAt = [&](const char *p) {
            return std::any_of(patterns.begin(), patterns.end(), [&](const BytePairFinder::Pattern &pattern) {
                return *p == pattern.first && (pattern.open || (end - p >= 2 && p[1] == pattern.second));
            });
        };
        while (expected != end && !beginsAt(expected))
            ++expected;
        found += expected != end;
        QCOMPARE(BytePairFinder(patterns).find(begin + from, end) - begin, expected - begin);
    }
    QVERIFY(found > 1000);
}

void tst_Search::statusText_data()
{
    QTest::addColumn<qsizetype>("hits");
    QTest::addColumn<QString>("text");

    QTest::newRow("none") << qsizetype(0) << u"0個のアイテムが見つかりました"_s;
    QTest::newRow("one") << qsizetype(1) << u"1個のアイテムが見つかりました"_s;
    QTest::newRow("plain digits") << qsizetype(1234567) << u"1234567個のアイテムが見つかりました"_s;
}

void tst_Search::statusText()
{
    QFETCH(qsizetype, hits);
    QFETCH(QString, text);
    QCOMPARE(SearchStatusText(hits), text);
}

QTEST_APPLESS_MAIN(tst_Search)
#include "tst_search.moc"
