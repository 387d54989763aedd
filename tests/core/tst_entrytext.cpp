// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "CatalogItem.h"
#include "EntryText.h"

#include <QTest>

class TestEntryText : public QObject
{
    Q_OBJECT

private slots:
    void normalise_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain") << "movie.avi"
                               << "movie.avi"
                               << "movie.avi";
        QTest::newRow("hash") << "a#b"
                              << "a#b"
                              << "a＃b";
        QTest::newRow("line breaks") << "a\r\nb"
                                     << "a\uFFFD\uFFFDb"
                                     << "a\uFFFD\uFFFDb";
        QTest::newRow("tab and DEL") << "a\tb\x7F"
                                     << "a\uFFFDb\uFFFD"
                                     << "a\uFFFDb\uFFFD";
        QTest::newRow("NUL") << QString(QChar(0)) << "\uFFFD"
                             << "\uFFFD";
        QTest::newRow("unit separator") << "x\x1Fy"
                                        << "x\uFFFDy"
                                        << "x\uFFFDy";
        QTest::newRow("full-width stays") << "＃～"
                                          << "＃～"
                                          << "＃～";
        QTest::newRow("space and tilde") << " ~ "
                                         << " ~ "
                                         << " ~ ";
    }

    void normalise()
    {
        QFETCH(QString, text);
        QFETCH(QString, name);
        QFETCH(QString, field);
        QCOMPARE(EntryText::normalizeName(text), name);
        QCOMPARE(EntryText::normalizeField(text), field);
        QCOMPARE(EntryText::isCleanName(text), name == text);
        QCOMPARE(EntryText::isCleanField(text), field == text);
    }

    void setFieldUsesTheRule()
    {
        CatalogItem item;
        item.setField(CatalogItem::Name, u"a#b\n");
        item.setField(CatalogItem::Kind, u"C#");
        item.setField(CatalogItem::Spare2, u"s\x1F");
        QCOMPARE(item.text(CatalogItem::Name), QStringLiteral("a#b\uFFFD"));
        QCOMPARE(item.text(CatalogItem::Kind), QStringLiteral("C＃"));
        QCOMPARE(item.text(CatalogItem::Spare2), QStringLiteral("s\uFFFD"));
        QCOMPARE(item.toListLine(), QStringLiteral("a#b\uFFFD##C＃############s\uFFFD"));
    }
};

QTEST_GUILESS_MAIN(TestEntryText)
#include "tst_entrytext.moc"
