// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// Qt's own texts in Japanese, and the program's icon.
#include "ProgramIcon.h"
#include "QtTranslation.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

class TestLanguage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void qtTextsAreJapanese();
    void iconIsDrawn();
};

namespace {

bool hasJapanese(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() >= 0x3000; });
}

} // namespace

void TestLanguage::qtTextsAreJapanese()
{
    QtTranslation translation;
    QVERIFY2(translation.install(qApp), qPrintable(translation.errorText()));

    // The search box's context menu.
    QLineEdit box;
    box.setText(QStringLiteral("abc"));
    std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
    int items = 0;
    for (QAction *action : menu->actions()) {
        if (action->isSeparator())
            continue;
        ++items;
        QVERIFY2(hasJapanese(action->text()), qPrintable(action->text()));
    }
    QVERIFY(items >= 6); // undo, redo, cut, copy, paste, delete, select all

    // A file error that ends up inside our own messages.
    QTemporaryDir dir;
    QSaveFile file(dir.path());
    QVERIFY(!file.open(QIODevice::WriteOnly));
    QVERIFY2(hasJapanese(file.errorString()), qPrintable(file.errorString()));
}

void TestLanguage::iconIsDrawn()
{
    const QIcon icon = ProgramIcon();
    QVERIFY(!icon.isNull());
    const QImage image = icon.pixmap(QSize(48, 48)).toImage();
    QCOMPARE(image.size(), QSize(48, 48));
    // Drawn, not blank: more than one colour.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            colours.insert(image.pixel(x, y));
    QVERIFY(colours.size() > 1);
}

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
