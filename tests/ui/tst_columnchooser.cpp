// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The list header's right-click menu of columns.
#include "tst_mainwindow_fixture.h"

#include "ColumnChooser.h"

#include <QMenu>
#include <QRegularExpression>

class TestColumnChooser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void menuListsColumnsWithTicks();
    void hiddenColumnIsStoredAsWidthZeroAndComesBack();

private:
    static QString iniValue(const WindowFixture &f, const QString &key);
};

QString TestColumnChooser::iniValue(const WindowFixture &f, const QString &key)
{
    const QString ini = QString::fromLatin1(f.read(QStringLiteral("test.ini")));
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("(?m)^%1=(\\d+)\\r?$").arg(key)).match(ini);
    return m.hasMatch() ? m.captured(1) : QStringLiteral("<none>");
}

void TestColumnChooser::menuListsColumnsWithTicks()
{
    WindowFixture f;
    Form1 *w = f.start();
    std::unique_ptr<QMenu> menu(w->columnChooser()->buildMenu(w));
    QStringList captions;
    QList<bool> ticks;
    for (QAction *a : menu->actions()) {
        captions.append(a->text());
        ticks.append(a->isChecked());
    }
    QCOMPARE(captions.size(), 16);
    QCOMPARE(captions.first(), QStringLiteral("名前"));
    QCOMPARE(captions.mid(13), QStringList({ "No.1", "No.2", "No.3" }));
    QCOMPARE(ticks.count(true), 13);
    QVERIFY(!ticks[13] && !ticks[14] && !ticks[15]);
}

// Unticking "名前" writes Item01=0 at exit; ticking "No.1" shows the spare
// column; ticking "名前" again gives back its width.
void TestColumnChooser::hiddenColumnIsStoredAsWidthZeroAndComesBack()
{
    WindowFixture f;
    f.write(QStringLiteral("test.ini"), "[Options]\r\nItem01=3000\r\n");
    Form1 *w = f.start();
    QHeaderView *header = f.listView()->horizontalHeader();
    const int nameWidth = header->sectionSize(0);
    QCOMPARE(nameWidth, Twips::toPixels(3000));
    {
        std::unique_ptr<QMenu> menu(w->columnChooser()->buildMenu(w));
        menu->actions().at(0)->trigger(); // 名前 off
        menu->actions().at(13)->trigger(); // No.1 on
    }
    QCOMPARE(header->sectionSize(0), 0);
    QVERIFY(header->sectionSize(13) > 0);
    w->SaveAndQuit();
    QCOMPARE(iniValue(f, QStringLiteral("Item01")), QStringLiteral("0"));
    QVERIFY(iniValue(f, QStringLiteral("Item14")).toInt() > 0);

    std::unique_ptr<QMenu> menu(w->columnChooser()->buildMenu(w));
    QVERIFY(!menu->actions().at(0)->isChecked());
    menu->actions().at(0)->trigger();
    QCOMPARE(header->sectionSize(0), nameWidth);
}

QTEST_MAIN(TestColumnChooser)
#include "tst_columnchooser.moc"
