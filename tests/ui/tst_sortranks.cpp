// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// Sorting the visible rows by the master rows' ranks gives the order that
// sorting their texts gives, also after the catalogue changed under kept
// ranks.
#include "Catalog.h"
#include "SortRanks.h"
#include "VisibleListModel.h"
#include "VisibleListSort.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

// Short alphabets and a long shared prefix make equal texts, texts equal
// but for case, and ties past the folded prefix kept in the sort entries.
QString randomText(QRandomGenerator &rng)
{
    static const QString letters = QStringLiteral("aAbBあア");
    QString text = rng.bounded(3) == 0 ? QStringLiteral("a_long_shared_prefix_") : QString();
    for (int n = int(rng.bounded(4)); n > 0; --n)
        text += letters[rng.bounded(int(letters.size()))];
    return text;
}

CatalogItem randomRow(QRandomGenerator &rng)
{
    CatalogItem item;
    for (int f : { int(CatalogItem::Name), int(CatalogItem::FileSize), int(CatalogItem::Genre1) })
        item.setField(f, randomText(rng));
    return item;
}

QList<qsizetype> randomRows(QRandomGenerator &rng, qsizetype size)
{
    QList<qsizetype> rows;
    for (qsizetype i = 0; i < size; ++i) {
        for (int copies = int(rng.bounded(3)); copies > 0; --copies)
            rows.append(i); // the duplicate finder lists a row more than once
    }
    return rows;
}

} // namespace

class TestSortRanks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ranksOrderAsTexts()
    {
        QRandomGenerator rng(7);
        Catalog catalog;
        SortRanks ranks(catalog);
        VisibleListModel model(catalog);
        for (int i = 0; i < 300; ++i)
            catalog.append(randomRow(rng));
        for (int round = 0; round < 60; ++round) {
            switch (rng.bounded(4)) {
            case 0:
                catalog.setFieldOfRows(randomRows(rng, catalog.size()).mid(0, 40),
                    rng.bounded(2) ? CatalogItem::Genre1 : CatalogItem::Name, randomText(rng));
                break;
            case 1:
                catalog.removeRows(randomRows(rng, catalog.size()).mid(0, 30));
                break;
            case 2:
                catalog.append(randomRow(rng));
                break;
            default:
                break;
            }
            model.setMasterRows(randomRows(rng, catalog.size()));
            for (int field : { int(CatalogItem::Name), int(CatalogItem::FileSize), int(CatalogItem::Genre1) }) {
                for (Qt::SortOrder order : { Qt::AscendingOrder, Qt::DescendingOrder }) {
                    const std::vector<int> byTexts = VisibleListSortOrder(model, field, order);
                    QCOMPARE(VisibleListSortOrder(model, field, order, &ranks), byTexts);
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestSortRanks)
#include "tst_sortranks.moc"
