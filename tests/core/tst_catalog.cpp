#include "Catalog.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

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

    // Rows taken out in random batches come
    // back at their places with their keys when put back newest batch first
    // (as undo does); putting back a row that is present adds nothing.
    void takenRowsGoBackInPlace()
    {
        for (int round = 0; round < 50; ++round) {
            QRandomGenerator random(round);
            Catalog catalog;
            for (int i = 0; i < 30; ++i)
                catalog.append(named(QString::number(i)));
            std::vector<std::vector<CatalogItem>> batches;
            std::vector<QStringList> before;
            for (int step = 0; step < 6 && catalog.size() > 0; ++step) {
                before.push_back(names(catalog));
                QList<qsizetype> positions;
                for (int n = random.bounded(1, 6); n > 0; --n)
                    positions.append(random.bounded(catalog.size()));
                const QStringList expectedTaken = [&] {
                    QList<qsizetype> sorted = positions;
                    std::sort(sorted.begin(), sorted.end());
                    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
                    QStringList out;
                    for (qsizetype p : sorted)
                        out.append(catalog.at(p).text(CatalogItem::Name));
                    return out;
                }();
                batches.push_back(catalog.takeRows(positions));
                QStringList taken;
                for (const CatalogItem &row : batches.back())
                    taken.append(row.text(CatalogItem::Name));
                QCOMPARE(taken, expectedTaken);
            }
            while (!batches.empty()) {
                QCOMPARE(catalog.insertRows(batches.back()), qsizetype(batches.back().size()));
                QCOMPARE(catalog.insertRows(batches.back()), qsizetype(0));
                batches.pop_back();
                QCOMPARE(names(catalog), before.back());
                before.pop_back();
            }
            for (qsizetype i = 0; i < catalog.size(); ++i) {
                QCOMPARE(catalog.at(i).text(CatalogItem::RowKey), catalog.at(i).text(CatalogItem::Name));
                QCOMPARE(catalog.indexOfKey(i), i);
            }
            QCOMPARE(catalog.append(named(QStringLiteral("new"))), qint64(30));
        }
    }
};

QTEST_GUILESS_MAIN(TestCatalog)
#include "tst_catalog.moc"
