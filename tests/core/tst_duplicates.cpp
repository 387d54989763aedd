// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "CatalogSearch.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using Rows = QList<qsizetype>;

Catalog makeCatalog(const QStringList &names, const QStringList &sizes)
{
    Catalog catalog;
    for (qsizetype i = 0; i < names.size(); ++i) {
        std::array<QString, CatalogItem::StoredFieldCount> fields;
        fields[CatalogItem::Name] = names[i];
        fields[CatalogItem::FileSize] = sizes.value(i, u"1"_s);
        fields[CatalogItem::Kind] = u"AVI"_s;
        fields[CatalogItem::Genre1 + int(i % 5)] = u"genre"_s; // rows of every category
        catalog.append(CatalogItem::fromStoredFields(fields));
    }
    return catalog;
}

bool equalOnKey(const CatalogItem &a, const CatalogItem &b, DuplicateKey key)
{
    const bool sameName = a.field(CatalogItem::Name) == b.field(CatalogItem::Name);
    const bool sameSize = a.field(CatalogItem::FileSize) == b.field(CatalogItem::FileSize);
    switch (key) {
    case DuplicateKey::Name:
        return sameName;
    case DuplicateKey::Size:
        return sameSize;
    case DuplicateKey::NameAndSize:
        return sameName && sameSize;
    }
    return false;
}

// Every pair i < j compared in turn: the plain enumeration the fast finder
// must reproduce row for row.
DuplicateResult allPairs(const Catalog &catalog, DuplicateKey key, qsizetype rowLimit)
{
    DuplicateResult result;
    for (qsizetype i = 0; i < catalog.size(); ++i) {
        for (qsizetype j = i + 1; j < catalog.size(); ++j) {
            if (!equalOnKey(catalog.at(i), catalog.at(j), key))
                continue;
            ++result.pairCount;
            if (result.rows.size() + 2 <= rowLimit)
                result.rows << i << j;
            else
                result.truncated = true;
        }
    }
    return result;
}

QStringList repeated(const QString &text, int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list.append(text);
    return list;
}

} // namespace

Q_DECLARE_METATYPE(DuplicateKey)

class tst_Duplicates : public QObject
{
    Q_OBJECT

private slots:
    void pairs_data();
    void pairs();
    void sameRunTwice();
    void matchesAllPairsOnRandomCatalogs_data();
    void matchesAllPairsOnRandomCatalogs();
    void truncation_data();
    void truncation();
    void countBeyond32Bits();
    void statusText_data();
    void statusText();
    void truncatedStatusText();
};

void tst_Duplicates::pairs_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("sizes");
    QTest::addColumn<DuplicateKey>("key");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<qint64>("pairCount");

    const auto Name = DuplicateKey::Name;
    const auto Size = DuplicateKey::Size;
    const auto Both = DuplicateKey::NameAndSize;
    const QStringList none;

    QTest::newRow("empty catalogue, name") << none << none << Name << Rows {} << qint64(0);
    QTest::newRow("empty catalogue, size") << none << none << Size << Rows {} << qint64(0);
    QTest::newRow("empty catalogue, both") << none << none << Both << Rows {} << qint64(0);
    QTest::newRow("one row, name") << QStringList { u"a"_s } << none << Name << Rows {} << qint64(0);
    QTest::newRow("one row, size") << QStringList { u"a"_s } << none << Size << Rows {} << qint64(0);
    QTest::newRow("one row, both") << QStringList { u"a"_s } << none << Both << Rows {} << qint64(0);
    QTest::newRow("case differs") << QStringList { u"movie.avi"_s, u"movie.AVI"_s } << none << Name << Rows {}
                                  << qint64(0);
    QTest::newRow("width differs") << QStringList { u"a.avi"_s, u"ａ.avi"_s } << none << Name << Rows {} << qint64(0);
    QTest::newRow("half-width kana differs")
        << QStringList { u"ｱﾆﾒ"_s, u"アニメ"_s } << none << Name << Rows {} << qint64(0);
    QTest::newRow("hiragana differs") << QStringList { u"あにめ"_s, u"アニメ"_s } << none << Name << Rows {}
                                      << qint64(0);
    QTest::newRow("trailing blank differs") << QStringList { u"a"_s, u"a "_s } << none << Name << Rows {} << qint64(0);
    QTest::newRow("three equal at 1, 2, 5") << QStringList { u"x"_s, u"x"_s, u"y"_s, u"z"_s, u"x"_s } << none << Name
                                            << Rows { 0, 1, 0, 4, 1, 4 } << qint64(3);
    QTest::newRow("A B A B") << QStringList { u"A"_s, u"B"_s, u"A"_s, u"B"_s } << none << Name << Rows { 0, 2, 1, 3 }
                             << qint64(2);
    QTest::newRow("empty names are equal")
        << QStringList { QString(), u"a"_s, QString() } << none << Name << Rows { 0, 2 } << qint64(1);
    QTest::newRow("both: same name, other size")
        << QStringList { u"a"_s, u"a"_s } << QStringList { u"1"_s, u"2"_s } << Both << Rows {} << qint64(0);
    QTest::newRow("both: same size, other name")
        << QStringList { u"a"_s, u"b"_s } << QStringList { u"1"_s, u"1"_s } << Both << Rows {} << qint64(0);
    QTest::newRow("both: both equal") << QStringList { u"a"_s, u"b"_s, u"a"_s }
                                      << QStringList { u"1"_s, u"1"_s, u"1"_s } << Both << Rows { 0, 2 } << qint64(1);
    QTest::newRow("mixed keys, name") << QStringList { u"a"_s, u"a"_s, u"a"_s, u"b"_s }
                                      << QStringList { u"1"_s, u"2"_s, u"1"_s, u"1"_s } << Name
                                      << Rows { 0, 1, 0, 2, 1, 2 } << qint64(3);
    QTest::newRow("mixed keys, size") << QStringList { u"a"_s, u"a"_s, u"a"_s, u"b"_s }
                                      << QStringList { u"1"_s, u"2"_s, u"1"_s, u"1"_s } << Size
                                      << Rows { 0, 2, 0, 3, 2, 3 } << qint64(3);
    QTest::newRow("mixed keys, both") << QStringList { u"a"_s, u"a"_s, u"a"_s, u"b"_s }
                                      << QStringList { u"1"_s, u"2"_s, u"1"_s, u"1"_s } << Both << Rows { 0, 2 }
                                      << qint64(1);
    QTest::newRow("all unknown sizes pair") << QStringList { u"a"_s, u"b"_s, u"c"_s, u"d"_s } << repeated(u"不明"_s, 4)
                                            << Size << Rows { 0, 1, 0, 2, 0, 3, 1, 2, 1, 3, 2, 3 } << qint64(6);
    QTest::newRow("equal bytes, other size texts")
        << QStringList { u"a"_s, u"b"_s } << QStringList { u"1,234"_s, u"1234"_s } << Size << Rows {} << qint64(0);
    QTest::newRow("size text by width") << QStringList { u"a"_s, u"b"_s } << QStringList { u"1"_s, u"１"_s } << Size
                                        << Rows {} << qint64(0);
}

void tst_Duplicates::pairs()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, sizes);
    QFETCH(DuplicateKey, key);
    QFETCH(Rows, rows);
    QFETCH(qint64, pairCount);

    const DuplicateResult result = FindDuplicatePairs(makeCatalog(names, sizes), key);
    QCOMPARE(result.rows, rows);
    QCOMPARE(result.pairCount, pairCount);
    QVERIFY(!result.truncated);
}

void tst_Duplicates::sameRunTwice()
{
    const Catalog catalog = makeCatalog({ u"x"_s, u"x"_s, u"y"_s, u"x"_s }, {});
    const DuplicateResult first = FindDuplicatePairs(catalog, DuplicateKey::Name);
    const DuplicateResult second = FindDuplicatePairs(catalog, DuplicateKey::Name);
    QCOMPARE(first.rows, (Rows { 0, 1, 0, 3, 1, 3 }));
    QCOMPARE(second.rows, first.rows);
    QCOMPARE(second.pairCount, first.pairCount);
}

void tst_Duplicates::matchesAllPairsOnRandomCatalogs_data()
{
    QTest::addColumn<DuplicateKey>("key");
    QTest::newRow("name") << DuplicateKey::Name;
    QTest::newRow("size") << DuplicateKey::Size;
    QTest::newRow("name and size") << DuplicateKey::NameAndSize;
}

// Small alphabets make many equal keys; case and width variants make
// near-misses that must not pair.
void tst_Duplicates::matchesAllPairsOnRandomCatalogs()
{
    QFETCH(DuplicateKey, key);
    QRandomGenerator random(quint32(key) + 3);
    const QStringList namePool { u"a"_s, u"A"_s, u"ａ"_s, u"b"_s, u"ab"_s, QString(), u"アニメ"_s, u"ｱﾆﾒ"_s };
    const QStringList sizePool { u"1"_s, u"2"_s, u"1,000"_s, u"不明"_s, u"１"_s };
    for (int round = 0; round < 300; ++round) {
        QStringList names, sizes;
        for (int i = random.bounded(40); i > 0; --i) {
            names.append(namePool.at(random.bounded(namePool.size())));
            sizes.append(sizePool.at(random.bounded(sizePool.size())));
        }
        const Catalog catalog = makeCatalog(names, sizes);
        const qsizetype limit = round % 3 == 0 ? random.bounded(60) : DuplicateRowLimit;
        const DuplicateResult expected = allPairs(catalog, key, limit);
        const DuplicateResult found = FindDuplicatePairs(catalog, key, limit);
        QCOMPARE(found.rows, expected.rows);
        QCOMPARE(found.pairCount, expected.pairCount);
        QCOMPARE(found.truncated, expected.truncated);
    }
}

void tst_Duplicates::truncation_data()
{
    QTest::addColumn<qsizetype>("limit");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<bool>("truncated");

    // Five rows of one size text: ten pairs, twenty rows.
    QTest::newRow("zero") << qsizetype(0) << Rows {} << true;
    QTest::newRow("negative") << qsizetype(-4) << Rows {} << true;
    QTest::newRow("one row is no pair") << qsizetype(1) << Rows {} << true;
    QTest::newRow("first pair") << qsizetype(2) << Rows { 0, 1 } << true;
    QTest::newRow("odd limit") << qsizetype(7) << Rows { 0, 1, 0, 2, 0, 3 } << true;
    QTest::newRow("into the second row's pairs")
        << qsizetype(12) << Rows { 0, 1, 0, 2, 0, 3, 0, 4, 1, 2, 1, 3 } << true;
    QTest::newRow("one short") << qsizetype(19) << Rows { 0, 1, 0, 2, 0, 3, 0, 4, 1, 2, 1, 3, 1, 4, 2, 3, 2, 4 }
                               << true;
    QTest::newRow("exactly all") << qsizetype(20) << Rows { 0, 1, 0, 2, 0, 3, 0, 4, 1, 2, 1, 3, 1, 4, 2, 3, 2, 4, 3, 4 }
                                 << false;
}

void tst_Duplicates::truncation()
{
    QFETCH(qsizetype, limit);
    QFETCH(Rows, rows);
    QFETCH(bool, truncated);

    const Catalog catalog = makeCatalog({ u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s }, repeated(u"不明"_s, 5));
    const DuplicateResult result = FindDuplicatePairs(catalog, DuplicateKey::Size, limit);
    QCOMPARE(result.rows, rows);
    QCOMPARE(result.truncated, truncated);
    QCOMPARE(result.pairCount, qint64(10));
}

// 70,000 rows of one size text give 2,449,965,000 pairs, beyond 32 bits.
void tst_Duplicates::countBeyond32Bits()
{
    const int n = 70000;
    QStringList names;
    for (int i = 0; i < n; ++i)
        names.append(QString::number(i));
    const Catalog catalog = makeCatalog(names, repeated(u"不明"_s, n));
    const DuplicateResult result = FindDuplicatePairs(catalog, DuplicateKey::Size, 6);
    QCOMPARE(result.pairCount, qint64(2449965000));
    QCOMPARE(result.rows, (Rows { 0, 1, 0, 2, 0, 3 }));
    QVERIFY(result.truncated);
    QCOMPARE(FindDuplicatePairs(catalog, DuplicateKey::Name, 6).pairCount, qint64(0));
}

void tst_Duplicates::statusText_data()
{
    QTest::addColumn<qint64>("pairCount");
    QTest::addColumn<QString>("text");

    QTest::newRow("none") << qint64(0) << u"0\u00D7\uFF12個のアイテムが見つかりました"_s;
    QTest::newRow("three") << qint64(3) << u"3\u00D7\uFF12個のアイテムが見つかりました"_s;
    QTest::newRow("beyond 32 bits") << qint64(499999500000)
                                    << u"499999500000\u00D7\uFF12個のアイテムが見つかりました"_s;
}

void tst_Duplicates::statusText()
{
    QFETCH(qint64, pairCount);
    QFETCH(QString, text);
    DuplicateResult result;
    result.pairCount = pairCount;
    for (qint64 i = 0; i < std::min<qint64>(pairCount, 3); ++i)
        result.rows << 0 << 1;
    QCOMPARE(DuplicateStatusText(result), text);
}

void tst_Duplicates::truncatedStatusText()
{
    const Catalog catalog = makeCatalog({ u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s }, repeated(u"不明"_s, 5));
    const DuplicateResult result = FindDuplicatePairs(catalog, DuplicateKey::Size, 6);
    const QString text = DuplicateStatusText(result);
    QVERIFY2(text.startsWith(u"10\u00D7\uFF12個のアイテムが見つかりました"_s), qPrintable(text));
    QVERIFY2(text.contains(u"3組"_s), qPrintable(text));
}

QTEST_APPLESS_MAIN(tst_Duplicates)
#include "tst_duplicates.moc"
