// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// Captions drawn whole and as typed: every value tab's text rectangle holds
// its caption, '&' is drawn as itself, and a very long text is drawn from its
// first characters while the row and the tab keep all of it. A recording
// style sees what the window really paints (offscreen).
#include "tst_mainwindow_fixture.h"

#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionViewItem>

namespace {

struct DrawnText
{
    QRect rect;
    int flags;
    QString text;
};

class RecordingStyle : public QProxyStyle
{
public:
    RecordingStyle()
        : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
    { }

    void drawItemText(QPainter *painter, const QRect &rect, int flags, const QPalette &palette, bool enabled,
        const QString &text, QPalette::ColorRole role) const override
    {
        drawn.append({ rect, flags, text });
        QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, role);
    }

    void drawControl(
        ControlElement element, const QStyleOption *option, QPainter *painter, const QWidget *widget) const override
    {
        if (element == CE_ItemViewItem)
            cells.append(static_cast<const QStyleOptionViewItem *>(option)->text);
        QProxyStyle::drawControl(element, option, painter, widget);
    }

    mutable QList<DrawnText> drawn;
    mutable QStringList cells;
};

// The text a reader sees for a text drawn with these flags.
QString visibleText(const QString &text, int flags)
{
    if (!(flags & (Qt::TextShowMnemonic | Qt::TextHideMnemonic)))
        return text;
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        shown += text[i];
    }
    return shown;
}

} // namespace

class TestCaptions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void valueTabsDrawCaptionsWhole_data();
    void valueTabsDrawCaptionsWhole();
    void longTextsDrawnFromTheirStart();
};

void TestCaptions::valueTabsDrawCaptionsWhole_data()
{
    QTest::addColumn<int>("pixelSize");
    QTest::newRow("12 px (1×)") << 12;
    QTest::newRow("24 px (2×)") << 24;
    QTest::newRow("odd 17 px") << 17;
}

void TestCaptions::valueTabsDrawCaptionsWhole()
{
    QFETCH(int, pixelSize);
    const QStringList values { "R&B", "Tom & Jerry", "J-POP", "ライブ", "A", "i", "W", "a&&b", "&" };
    WindowFixture f;
    f.writeList(1, values);
    f.start();
    ValueTabStrip *strip = f.tabStrip1();
    RecordingStyle style;
    strip->setStyle(&style);
    QFont font = strip->font();
    font.setPixelSize(pixelSize);
    strip->setFont(font);
    strip->setMultiRow(true); // every tab on screen
    strip->resize(4000, strip->height() * 4);

    style.drawn.clear();
    strip->grab();
    const QStringList captions = QStringList { "全て", "無し" } + values;
    QCOMPARE(strip->count(), captions.size());
    for (int i = 0; i < captions.size(); ++i) {
        const QString &caption = captions[i];
        QCOMPARE(strip->tabText(i), caption);
        const auto it = std::find_if(style.drawn.cbegin(), style.drawn.cend(),
            [&](const DrawnText &d) { return visibleText(d.text, d.flags) == caption; });
        QVERIFY2(it != style.drawn.cend(), qPrintable(caption + " is not drawn as stored"));
        const int advance = QFontMetrics(font).horizontalAdvance(caption);
        QVERIFY2(it->rect.width() >= advance,
            qPrintable(
                QStringLiteral("%1: text rectangle %2 px for %3 px").arg(caption).arg(it->rect.width()).arg(advance)));
        const QRect tab = strip->tabRect(i);
        QVERIFY(it->rect.left() >= tab.left() && it->rect.right() <= tab.right());
    }
    strip->setStyle(nullptr);
}

void TestCaptions::longTextsDrawnFromTheirStart()
{
    const QString longName = QString(200000, u'x') + QStringLiteral(".avi");
    WindowFixture f;
    f.writeCatalog({ catalogLine(longName) });
    f.writeList(1, { longName });
    f.start();
    RecordingStyle style;
    f.listView()->setStyle(&style);
    f.tabStrip1()->setStyle(&style);
    f.listView()->grab();
    f.tabStrip1()->grab();

    QVERIFY(!style.cells.isEmpty());
    for (const QString &cell : std::as_const(style.cells))
        QVERIFY2(cell.size() < 2000, qPrintable(QStringLiteral("a cell drawn with %1 characters").arg(cell.size())));
    QVERIFY(style.cells.contains(QString(1024, u'x') + QChar(0x2026)));
    for (const DrawnText &d : std::as_const(style.drawn))
        QVERIFY(d.text.size() < 2000);
    // The whole text stays in the row, the list and the tab.
    QCOMPARE(f.cell(0, CatalogItem::Name), longName);
    QCOMPARE(f.window->catalog().at(0).text(CatalogItem::Name), longName);
    QCOMPARE(f.tabStrip1()->tabText(2), longName);
    f.listView()->setStyle(nullptr);
    f.tabStrip1()->setStyle(nullptr);
}

QTEST_MAIN(TestCaptions)
#include "tst_captions.moc"
