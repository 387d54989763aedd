// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "ProfileFile.h"
#include "SettingsFile.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

using TestFiles::fileBytes;
using TestFiles::writeBytes;

using Order = std::array<int, Settings::ColumnCount>;

Order designOrder()
{
    Order order;
    for (int i = 0; i < Settings::ColumnCount; ++i)
        order[size_t(i)] = i;
    return order;
}

SettingsToSave defaultsToSave()
{
    SettingsToSave values;
    values.geometry = SettingsToSave::Geometry { 9000, 5000, 0, 0 };
    const Settings defaults;
    for (int k = 0; k < Settings::ColumnCount; ++k)
        values.columnWidths[size_t(k)] = double(defaults.columnWidths[size_t(k)]);
    for (int k = 0; k < 14; ++k)
        values.displayPositions[size_t(k)] = k + 1;
    return values;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("test.ini"));
        QFile::remove(m_path);
    }

    void defaultsWithoutFile()
    {
        FileResult result;
        const Settings s = LoadSettings(m_path, result);
        QVERIFY(result.ok);
        QCOMPARE(s.width, 5000);
        QCOMPARE(s.height, 5000);
        QCOMPARE(s.left, 0);
        QCOMPARE(s.top, 0);
        QCOMPARE(s.tabLine, 0);
        QCOMPARE(s.endSave, 1);
        const std::array<qint64, 16> widths { 7290, 1300, 800, 1300, 1350, 1440, 1440, 1440, 1000, 1000, 1000, 1000,
            1000, 0, 0, 0 };
        QCOMPARE(s.columnWidths, widths);
        QCOMPARE(s.itemPosition, QStringLiteral("01020304050607080910111213"));
        QCOMPARE(ColumnOrderFromItemPosition(s.itemPosition), designOrder());
    }

    void firstExitWritesAllKeys()
    {
        QVERIFY(SaveSettings(m_path, defaultsToSave()).ok);
        const QByteArray bytes = fileBytes(m_path);
        QVERIFY(bytes.startsWith("[Options]\r\nWidth=9000\r\nHeight=5000\r\nX_WindowPosition=0\r\n"));
        QVERIFY(bytes.endsWith("ItemPosition=0102030405060708091011121314\r\n"));
        QCOMPARE(bytes.count("\r\n"), 24);
        QCOMPARE(bytes.count('='), 23);
        QVERIFY(!QByteArray(bytes).replace("\r\n", "").contains('\n'));
        const Settings s = LoadSettings(m_path);
        QCOMPARE(s.width, 9000);
        QCOMPARE(s.columnWidths[0], 7290);
        QCOMPARE(s.columnWidths[15], 0);
    }

    void integers_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("fraction dropped") << QByteArray("1299.969") << qint64(1299);
        QTest::newRow("negative") << QByteArray("-1200") << qint64(-1200);
        QTest::newRow("blanks and sign") << QByteArray("  +42 twips") << qint64(42);
        QTest::newRow("not a number") << QByteArray("abc") << qint64(0);
        QTest::newRow("empty value gives the default") << QByteArray("") << qint64(1300);
        QTest::newRow("quoted") << QByteArray("\"77\"") << qint64(77);
        QTest::newRow("huge saturates") << QByteArray("99999999999999999999999") << qint64(9223372036854775807LL);
    }

    void integers()
    {
        QFETCH(QByteArray, value);
        QFETCH(qint64, expected);
        QVERIFY(writeBytes(m_path, "[Options]\r\nItem02=" + value + "\r\n"));
        QCOMPARE(LoadSettings(m_path).columnWidths[1], expected);
    }

    void decimalsWrittenShortest()
    {
        SettingsToSave values = defaultsToSave();
        values.columnWidths[1] = 1299.969;
        values.geometry->width = 12345.5;
        values.geometry->left = -75;
        QVERIFY(SaveSettings(m_path, values).ok);
        const QByteArray bytes = fileBytes(m_path);
        QVERIFY(bytes.contains("\r\nItem02=1299.969\r\n"));
        QVERIFY(bytes.contains("\r\nWidth=12345.5\r\n"));
        QVERIFY(bytes.contains("\r\nX_WindowPosition=-75\r\n"));
        const Settings s = LoadSettings(m_path);
        QCOMPARE(s.columnWidths[1], 1299);
        QCOMPARE(s.width, 12345);
        QCOMPARE(s.left, -75);
    }

    void shortestText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 5000.0 << "5000";
        QTest::newRow("million without exponent") << 1e6 << "1000000";
        QTest::newRow("decimal") << 1299.969 << "1299.969";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative zero") << -0.0 << "0";
    }

    void shortestText()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(ShortestDecimalText(value), text);
    }

    void shortestTextOfSinglePrecision()
    {
        QCOMPARE(ShortestDecimalText(1299.969f), QStringLiteral("1299.969"));
        QCOMPARE(ShortestDecimalText(9000.0f), QStringLiteral("9000"));
    }

    void minimizedKeepsGeometry()
    {
        QVERIFY(writeBytes(m_path, "[Options]\r\nWidth=7777\r\nHeight=6666\r\n"));
        SettingsToSave values = defaultsToSave();
        values.geometry.reset();
        values.endSave = 0;
        QVERIFY(SaveSettings(m_path, values).ok);
        const Settings s = LoadSettings(m_path);
        QCOMPARE(s.width, 7777);
        QCOMPARE(s.height, 6666);
        QCOMPARE(s.left, 0);
        QCOMPARE(s.endSave, 0);
        QVERIFY(!fileBytes(m_path).contains("X_WindowPosition"));
    }

    void unknownContentIsKept()
    {
        const QByteArray before = "; my comment\r\n[Other]\r\nfoo=bar\r\n\r\n[options]\r\n  width = 100 \r\n"
                                  "Custom=keep me\r\n; inside\r\n\r\n[Last]\r\nx=1\r\n";
        QVERIFY(writeBytes(m_path, before));
        QCOMPARE(LoadSettings(m_path).width, 100);
        QVERIFY(SaveSettings(m_path, defaultsToSave()).ok);
        const QByteArray after = fileBytes(m_path);
        QVERIFY(after.startsWith("; my comment\r\n[Other]\r\nfoo=bar\r\n\r\n[options]\r\nWidth=9000\r\n"
                                 "Custom=keep me\r\nHeight=5000\r\n"));
        QVERIFY(after.contains("ItemPosition=0102030405060708091011121314\r\n; inside\r\n\r\n[Last]\r\nx=1\r\n"));
        QCOMPARE(after.count("Width="), 1);
    }

    void createsTheSectionWhenMissing()
    {
        QVERIFY(writeBytes(m_path, "[Other]\r\na=1"));
        QVERIFY(SaveSettings(m_path, defaultsToSave()).ok);
        QVERIFY(fileBytes(m_path).startsWith("[Other]\r\na=1\r\n[Options]\r\nWidth=9000\r\n"));
    }

    void stringReaderCutsAt254()
    {
        ProfileFile profile;
        profile.setText("[Options]\r\nItemPosition=" + QByteArray(300, '7') + "\r\nK=ab\r\n");
        QCOMPARE(profile.string("Options", "ItemPosition", "d").size(), 254);
        QCOMPARE(profile.string("Options", "K", "d"), QStringLiteral("ab"));
        QCOMPARE(profile.string("Options", "Missing", "dflt"), QStringLiteral("dflt"));
        QCOMPARE(profile.string("Options", "Missing", QString(400, u'x')).size(), 254);
        QCOMPARE(profile.string("Nope", "K", "d"), QStringLiteral("d"));
    }

    void japaneseValuesUseCodePage932()
    {
        ProfileFile profile;
        profile.setString("Options", "Memo", QStringLiteral("メモ"));
        QCOMPARE(profile.toBytes(), QByteArray("[Options]\r\nMemo=\x83\x81\x83\x82\r\n"));
        profile.setString("Options", "Memo", QStringLiteral("🎬"));
        QVERIFY(profile.toBytes().startsWith("\xEF\xBB\xBF[Options]"));
        ProfileFile reread;
        reread.setText(profile.toBytes());
        QCOMPARE(reread.string("Options", "Memo", ""), QStringLiteral("🎬"));
    }

    void itemPositionOrder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("firstColumns");
        QTest::newRow("design") << "01020304050607080910111213"
                                << QList<int> { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13 };
        QTest::newRow("その他２ dragged to the front")
            << "0203040506070809101112130114" << QList<int> { 12, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13 };
        QTest::newRow("empty text moves nothing") << "" << QList<int> { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13 };
        QTest::newRow("swap of the first two")
            << "02010304050607080910111213" << QList<int> { 1, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13 };
        QTest::newRow("13 and 14 are never applied")
            << "13010203040506070809101112" << QList<int> { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0, 13 };
        QTest::newRow("non-numeric pair reads 0")
            << "xx01" << QList<int> { 1, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13 };
    }

    void itemPositionOrder()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, firstColumns);
        const Order order = ColumnOrderFromItemPosition(text);
        for (int i = 0; i < 14; ++i)
            QCOMPARE(order[size_t(i)], firstColumns[i]);
        QCOMPARE(order[14], 14);
        QCOMPARE(order[15], 15);
    }

    void itemPositionWrittenAndReadBack()
    {
        // The user drags "その他２" (column 13) to the front.
        std::array<int, 14> positions;
        for (int c = 1; c <= 12; ++c)
            positions[size_t(c - 1)] = c + 1;
        positions[12] = 1;
        positions[13] = 14;
        QCOMPARE(ItemPositionText(positions), QStringLiteral("0203040506070809101112130114"));
        SettingsToSave values = defaultsToSave();
        values.displayPositions = positions;
        QVERIFY(SaveSettings(m_path, values).ok);
        QVERIFY(fileBytes(m_path).contains("\r\nItemPosition=0203040506070809101112130114\r\n"));
        const Order order = ColumnOrderFromItemPosition(LoadSettings(m_path).itemPosition);
        QCOMPARE(order[0], 12);
        for (int i = 1; i <= 12; ++i)
            QCOMPARE(order[size_t(i)], i - 1);
    }

    void oversizedFileGivesDefaultsAndIsKept()
    {
        const qint64 size = qint64(100) << 30;
        QVERIFY(TestFiles::makeSparse(m_path, size));
        FileResult read;
        const Settings settings = LoadSettings(m_path, read);
        QVERIFY(!read.ok);
        QVERIFY2(read.statusText().contains(QStringLiteral("大きすぎる")), qPrintable(read.statusText()));
        QCOMPARE(settings.width, Settings().width);
        QCOMPARE(settings.itemPosition, Settings().itemPosition);
        QVERIFY(!SaveSettings(m_path, defaultsToSave()).ok);
        QCOMPARE(QFileInfo(m_path).size(), size);
    }

    void halfWidthKanaValuesKeepTheirBytes()
    {
        // ﾊｲﾃｸ in code page 932 is valid UTF-8 by accident.
        const QByteArray old = "[Options]\r\nMemo=\xCA\xB2\xC3\xB8\r\n";
        ProfileFile profile;
        profile.setText(old);
        QCOMPARE(profile.string("Options", "Memo", ""), QStringLiteral("ﾊｲﾃｸ"));
        QCOMPARE(profile.toBytes(), old);
    }

    void unreadableFileIsNotReplaced()
    {
        const QString folderAsFile = m_dir.filePath(QStringLiteral("sub"));
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("sub")));
        // A folder in the file's place can't be replaced: the save says so.
        const FileResult result = SaveSettings(folderAsFile, defaultsToSave());
        QVERIFY(!result.ok);
        QVERIFY(!result.statusText().isEmpty());
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
