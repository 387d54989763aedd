// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "Catalog.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <map>
#include <memory>

namespace {

CatalogItem named(const QString &name)
{
    CatalogItem item;
    item.setField(CatalogItem::Name, name);
    return item;
}

QStringList names(const Catalog &catalog)
{
    QStringList out;
    for (qsizetype i = 0; i < catalog.size(); ++i)
        out.append(catalog.at(i).text(CatalogItem::Name));
    return out;
}

// Arena blocks this small put many rows at block edges and some beyond.
constexpr qsizetype SmallBlock = 32;

CatalogItem randomRow(QRandomGenerator &rng)
{
    CatalogItem item;
    for (int f = 0; f < CatalogItem::StoredFieldCount; ++f) {
        if (rng.bounded(3) == 0)
            continue;
        // Lengths around the block size: the joined row ends up shorter,
        // as long as or longer than a block.
        QString text;
        // One, two, three and four bytes a character in UTF-8.
        for (int n = int(rng.bounded(f == 0 ? 40 : 6)); n > 0; --n) {
            switch (rng.bounded(5)) {
            case 0:
                text += QChar(char16_t(u'à' + rng.bounded(20)));
                break;
            case 1:
                text += QChar(char16_t(u'ア' + rng.bounded(80)));
                break;
            case 2:
                text += QStringView(u"🎬");
                break;
            default:
                text += QChar(char16_t(u'a' + rng.bounded(26)));
            }
        }
        item.setField(f, text);
    }
    return item;
}

// The plain reference: rows by key in master order.
using Reference = std::vector<CatalogItem>;

void expectSame(const Catalog &catalog, const Reference &reference, qint64 keysGiven)
{
    QCOMPARE(catalog.size(), qsizetype(reference.size()));
    std::map<qint64, qsizetype> position;
    for (size_t i = 0; i < reference.size(); ++i) {
        const CatalogItem row = catalog.at(qsizetype(i));
        QCOMPARE(row.joinedText(), reference[i].joinedText());
        QCOMPARE(row.rowKey(), reference[i].rowKey());
        QCOMPARE(catalog.keyAt(qsizetype(i)), reference[i].rowKey());
        for (int f = 0; f < CatalogItem::StoredFieldCount; ++f)
            QCOMPARE(catalog.text(qsizetype(i), f), reference[i].field(f).toString());
        position[reference[i].rowKey()] = qsizetype(i);
    }
    QCOMPARE(catalog.nextRowKey(), keysGiven);
    for (qint64 key = -1; key <= keysGiven; ++key) {
        const auto found = position.find(key);
        QCOMPARE(catalog.indexOfKey(key), found == position.end() ? -1 : found->second);
    }
}

QList<qsizetype> randomPositions(QRandomGenerator &rng, qsizetype size)
{
    QList<qsizetype> positions;
    switch (rng.bounded(4)) {
    case 0: // first, last
        if (size > 0)
            positions << 0 << size - 1;
        break;
    case 1: // all
        for (qsizetype i = 0; i < size; ++i)
            positions << i;
        break;
    default:
        for (qsizetype i = 0; i < size; ++i) {
            if (rng.bounded(4) == 0)
                positions << i;
        }
    }
    return positions;
}

} // namespace

class TestCatalog : public QObject
{
    Q_OBJECT

private slots:
    void newRowIsFifteenEmptyFields()
    {
        const CatalogItem item;
        for (int f = 0; f < CatalogItem::StoredFieldCount; ++f)
            QVERIFY(item.field(f).isEmpty());
        QCOMPARE(item.toListLine(), QString(14, u'#'));
        QVERIFY(item.field(CatalogItem::RowKey).isEmpty());
        QVERIFY(item.field(-1).isEmpty());
    }

    void fieldsAreIndependent_data()
    {
        QTest::addColumn<int>("field");
        for (int f = 0; f < CatalogItem::StoredFieldCount; ++f)
            QTest::addRow("field %d", f) << f;
    }

    void fieldsAreIndependent()
    {
        QFETCH(int, field);
        CatalogItem item;
        for (int f = 0; f < CatalogItem::StoredFieldCount; ++f)
            item.setField(f, QStringLiteral("v%1").arg(f));
        item.setField(field, QStringLiteral("新しい値"));
        for (int f = 0; f < CatalogItem::StoredFieldCount; ++f) {
            const QString expected = f == field ? QStringLiteral("新しい値") : QStringLiteral("v%1").arg(f);
            QCOMPARE(item.text(f), expected);
        }
        item.setField(field, QString());
        QVERIFY(item.field(field).isEmpty());
        QCOMPARE(item.joinedText().count(CatalogItem::Separator), 14);
    }

    void storedFieldsBuildTheSameRow()
    {
        std::array<QString, CatalogItem::StoredFieldCount> fields;
        fields[CatalogItem::Name] = QStringLiteral("movie.avi");
        fields[CatalogItem::Spare2] = QStringLiteral("s2");
        const CatalogItem built = CatalogItem::fromStoredFields(fields);
        CatalogItem set;
        set.setField(CatalogItem::Name, u"movie.avi");
        set.setField(CatalogItem::Spare2, u"s2");
        QCOMPARE(built, set);
        QCOMPARE(built.toListLine(), QStringLiteral("movie.avi##############s2"));
    }

    void keysAreGivenInOrderAndNeverReused()
    {
        Catalog catalog;
        QCOMPARE(catalog.nextRowKey(), 0);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(catalog.append(named(QString::number(i))), qint64(i));
        QCOMPARE(catalog.at(4).text(CatalogItem::RowKey), QStringLiteral("4"));
        catalog.removeAt(4);
        QCOMPARE(catalog.append(named(QStringLiteral("new"))), qint64(5));
        QCOMPARE(catalog.indexOfKey(5), 4);
        QCOMPARE(catalog.indexOfKey(4), -1);
        QCOMPARE(catalog.indexOfKey(2), 2);
        QCOMPARE(catalog.indexOfKey(-1), -1);
    }

    void removeRows_data()
    {
        QTest::addColumn<QList<qsizetype>>("positions");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("none") << QList<qsizetype>() << QStringList { "0", "1", "2", "3", "4" };
        QTest::newRow("first and last") << QList<qsizetype> { 4, 0 } << QStringList { "1", "2", "3" };
        QTest::newRow("duplicates") << QList<qsizetype> { 2, 2, 1 } << QStringList { "0", "3", "4" };
        QTest::newRow("all") << QList<qsizetype> { 0, 1, 2, 3, 4 } << QStringList();
    }

    void removeRows()
    {
        QFETCH(QList<qsizetype>, positions);
        QFETCH(QStringList, left);
        Catalog catalog;
        for (int i = 0; i < 5; ++i)
            catalog.append(named(QString::number(i)));
        catalog.removeRows(positions);
        QCOMPARE(names(catalog), left);
        for (qsizetype i = 0; i < catalog.size(); ++i)
            QCOMPARE(catalog.indexOfKey(catalog.at(i).rowKey()), i);
    }

    void emptyCatalogue()
    {
        const Catalog catalog;
        QCOMPARE(catalog.size(), 0);
        QCOMPARE(catalog.indexOfKey(0), -1);
        Catalog copy = catalog;
        QVERIFY(copy.takeRows({ 0 }).empty());
        QVERIFY(copy.putBack({}));
        QCOMPARE(copy.append(named(QStringLiteral("a"))), 0);
    }

    // Appends, assignments, renames, removals, take and put back, and
    // copies, on a catalogue with tiny arena blocks, against a plain list.
    void matchesPlainRowsThroughChanges()
    {
        QRandomGenerator rng(20261207);
        Catalog catalog(SmallBlock);
        Reference reference;
        qint64 keysGiven = 0;
        std::vector<Catalog::TakenRow> taken;
        for (int step = 0; step < 600; ++step) {
            const qsizetype size = catalog.size();
            // Rows taken out go back before the rows change otherwise, as an
            // undo does; values may change in between.
            const int op = !taken.empty() ? (rng.bounded(2) ? 5 : 2) : int(rng.bounded(8));
            if (taken.empty() && (op <= 1 || size == 0)) {
                CatalogItem item = randomRow(rng);
                item.setRowKey(keysGiven);
                QCOMPARE(catalog.append(item), keysGiven++);
                reference.push_back(item);
            } else if (op == 2) { // a category value on several rows
                const int field = CatalogItem::Genre1 + int(rng.bounded(5));
                const QString value = rng.bounded(3) ? QStringLiteral("値%1#").arg(rng.bounded(4)) : QString();
                const QList<qsizetype> positions = randomPositions(rng, size);
                catalog.setFieldOfRows(positions, field, value);
                for (qsizetype p : positions)
                    reference[size_t(p)].setField(field, value);
            } else if (op == 3) { // any field of one row
                const qsizetype p = rng.bounded(size);
                const int field = int(rng.bounded(CatalogItem::StoredFieldCount));
                const QString value = randomRow(rng).text(CatalogItem::Name) + QStringLiteral("#\n");
                catalog.setField(p, field, value);
                reference[size_t(p)].setField(field, value);
            } else if (op == 4) {
                const QList<qsizetype> positions = randomPositions(rng, size);
                catalog.removeRows(positions);
                std::vector<bool> gone(reference.size(), false);
                for (qsizetype p : positions)
                    gone[size_t(p)] = true;
                Reference left;
                for (size_t i = 0; i < reference.size(); ++i) {
                    if (!gone[i])
                        left.push_back(reference[i]);
                }
                reference.swap(left);
            } else if (op == 5 && taken.empty()) {
                taken = catalog.takeRows(randomPositions(rng, size));
                for (auto it = taken.rbegin(); it != taken.rend(); ++it) {
                    QCOMPARE(it->item.joinedText(), reference[size_t(it->position)].joinedText());
                    reference.erase(reference.begin() + it->position);
                }
            } else if (op == 5) {
                QVERIFY(catalog.putBack(taken));
                for (const Catalog::TakenRow &row : taken)
                    reference.insert(reference.begin() + row.position, row.item);
                taken.clear();
            } else if (op == 6) {
                Catalog copy = catalog;
                catalog = Catalog(SmallBlock);
                catalog = copy;
            }
            expectSame(catalog, reference, keysGiven);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("after step %1, operation %2").arg(step).arg(op)));
        }
    }

    void rowsAtBlockEdges_data()
    {
        QTest::addColumn<QList<int>>("nameLengths");
        // A joined row is its name plus fourteen separators.
        const int fill = int(SmallBlock) - 14;
        QTest::newRow("exactly one block") << QList<int> { fill, 1, fill };
        QTest::newRow("one unit short") << QList<int> { fill - 1, 1, 0 };
        QTest::newRow("longer than a block") << QList<int> { 3, fill + 1, 3, 200, 0 };
        QTest::newRow("only long rows") << QList<int> { 500, 1000 };
        // A row's place holds lengths below 4 MiB - 1; a longer row is as
        // long as its block.
        const int longest = (4 << 20) - 1 - 15;
        QTest::newRow("rows around 4 MiB") << QList<int> { 3, longest - 1, longest, 2, longest + 1, 5 << 20, 0 };
    }

    void rowsAtBlockEdges()
    {
        QFETCH(QList<int>, nameLengths);
        Catalog catalog(SmallBlock);
        for (int length : nameLengths)
            catalog.append(named(QString(length, u'x') + QChar(char16_t(u'0' + catalog.size()))));
        const Catalog copy = catalog;
        for (qsizetype i = 0; i < catalog.size(); ++i) {
            const QString expected = QString(nameLengths[i], u'x') + QChar(char16_t(u'0' + i));
            QCOMPARE(catalog.text(i, CatalogItem::Name), expected);
            QCOMPARE(copy.text(i, CatalogItem::Name), expected);
            QVERIFY(catalog.field(i, CatalogItem::Spare2).isEmpty());
        }
    }

    void putBackRefusesWhatWasNotTaken_data()
    {
        QTest::addColumn<qsizetype>("position");
        QTest::addColumn<qint64>("key");
        QTest::newRow("key still present") << qsizetype(0) << qint64(1);
        QTest::newRow("key never given") << qsizetype(0) << qint64(9);
        QTest::newRow("place beyond the end") << qsizetype(3) << qint64(0);
        QTest::newRow("negative place") << qsizetype(-1) << qint64(0);
    }

    void putBackRefusesWhatWasNotTaken()
    {
        QFETCH(qsizetype, position);
        QFETCH(qint64, key);
        Catalog catalog;
        for (int i = 0; i < 3; ++i)
            catalog.append(named(QString::number(i)));
        catalog.removeAt(0);
        CatalogItem item = named(QStringLiteral("back"));
        item.setRowKey(key);
        QVERIFY(!catalog.putBack({ { position, item } }));
        QCOMPARE(names(catalog), QStringList({ "1", "2" }));
        QCOMPARE(catalog.indexOfKey(0), -1);
        // Two rows with one key are refused as a whole.
        item.setRowKey(0);
        QVERIFY(!catalog.putBack({ { 0, item }, { 1, item } }));
        QCOMPARE(names(catalog), QStringList({ "1", "2" }));
    }

    // Rows taken out in random batches come back at their places, with
    // their keys and their assigned category values, when put back newest
    // batch first (as undo does); putting back a row that is present adds
    // nothing.
    void takenRowsGoBackInPlace()
    {
        const auto rows = [](const Catalog &catalog) {
            QStringList out;
            for (qsizetype i = 0; i < catalog.size(); ++i)
                out.append(catalog.at(i).rowKeyText() + u'|' + catalog.at(i).toListLine());
            return out;
        };
        // More rows than two 64-bit words of marks hold.
        constexpr int Rows = 150;
        for (int round = 0; round < 50; ++round) {
            QRandomGenerator random(round);
            Catalog catalog(SmallBlock);
            for (int i = 0; i < Rows; ++i)
                catalog.append(named(QString::number(i)));
            std::vector<RowBatch> batches;
            std::vector<QStringList> before;
            for (int k = 0; k < 6; ++k) {
                catalog.setFieldOfRows({ random.bounded(catalog.size()), random.bounded(catalog.size()) },
                    CatalogItem::Genre1 + random.bounded(Catalog::CategoryCount), QStringLiteral("値%1").arg(k));
            }
            for (int step = 0; step < 6 && catalog.size() > 0; ++step) {
                before.push_back(rows(catalog));
                QList<qsizetype> positions;
                for (int n = random.bounded(1, 6); n > 0; --n)
                    positions.append(random.bounded(catalog.size()));
                const QStringList expectedTaken = [&] {
                    QList<qsizetype> sorted = positions;
                    std::sort(sorted.begin(), sorted.end());
                    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
                    QStringList out;
                    for (qsizetype p : sorted)
                        out.append(catalog.at(p).rowKeyText() + u'|' + catalog.at(p).toListLine());
                    return out;
                }();
                batches.push_back(catalog.takeBatch(positions));
                QStringList taken;
                for (qsizetype i = 0; i < batches.back().size(); ++i)
                    taken.append(batches.back().item(i).rowKeyText() + u'|' + batches.back().item(i).toListLine());
                QCOMPARE(taken, expectedTaken);
            }
            while (!batches.empty()) {
                QCOMPARE(catalog.insertBatch(batches.back()), batches.back().size());
                QCOMPARE(catalog.insertBatch(batches.back()), qsizetype(0));
                batches.pop_back();
                QCOMPARE(rows(catalog), before.back());
                before.pop_back();
            }
            for (qsizetype i = 0; i < catalog.size(); ++i) {
                QCOMPARE(catalog.at(i).text(CatalogItem::RowKey), catalog.at(i).text(CatalogItem::Name));
                QCOMPARE(catalog.indexOfKey(i), i);
            }
            QCOMPARE(catalog.append(named(QStringLiteral("new"))), qint64(Rows));

            // Taken rows stay readable once the catalogue they left is gone.
            auto leaving = std::make_unique<Catalog>(catalog);
            const QStringList expectedLast = rows(*leaving).mid(0, 3);
            const RowBatch last = leaving->takeBatch({ 2, 0, 1 });
            leaving.reset();
            QStringList lastRows;
            for (qsizetype i = 0; i < last.size(); ++i)
                lastRows.append(last.item(i).rowKeyText() + u'|' + last.item(i).toListLine());
            QCOMPARE(lastRows, expectedLast);
        }
    }
};

QTEST_GUILESS_MAIN(TestCatalog)
#include "tst_catalog.moc"
