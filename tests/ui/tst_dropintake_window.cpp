// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// Files dropped on the main window and on its visible list.
#include "tst_mainwindow_fixture.h"

#include <QDropEvent>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QUrl>

class TestDropIntakeWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void threeFilesGetKeysAndSelection_data();
    void threeFilesGetKeysAndSelection();
    void smallFileHasTwoSizeTexts();
    void progressAndClosingText();
    void textDropIsInvalid();
    void folderAndSameFileTwice();
    void dropUnderValueTabAppends();
    void moreThan32767Paths();
    void proposedMoveIsAnsweredAsCopy_data();
    void proposedMoveIsAnsweredAsCopy();

private:
    static QString makeFile(const WindowFixture &f, const QString &name, qsizetype bytes);
    static void drop(QWidget *target, QMimeData *data);
    static QMimeData *filesData(const QStringList &paths);
    static QWidget *dropTargetAt(QWidget *window, QWidget *over);
};

QString TestDropIntakeWindow::makeFile(const WindowFixture &f, const QString &name, qsizetype bytes)
{
    const QString path = f.path(QStringLiteral("in/") + name);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(QByteArray(bytes, 'x'));
    return path;
}

QMimeData *TestDropIntakeWindow::filesData(const QStringList &paths)
{
    auto *data = new QMimeData;
    QList<QUrl> urls;
    for (const QString &p : paths)
        urls.append(QUrl::fromLocalFile(p));
    data->setUrls(urls);
    return data;
}

void TestDropIntakeWindow::drop(QWidget *target, QMimeData *data)
{
    // As a drag does: the enter makes the widget the drop's target.
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent event(QPointF(20, 20), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
    delete data;
}

void TestDropIntakeWindow::threeFilesGetKeysAndSelection_data()
{
    QTest::addColumn<bool>("onList");
    QTest::newRow("on the window") << false;
    QTest::newRow("on the list") << true;
}

void TestDropIntakeWindow::threeFilesGetKeysAndSelection()
{
    QFETCH(bool, onList);
    WindowFixture f;
    QStringList lines;
    for (int i = 0; i < 10; ++i)
        lines.append(catalogLine(QStringLiteral("old%1.avi").arg(i)));
    f.writeCatalog(lines);
    Form1 *w = f.start();
    f.selectRows({ 2 });
    const QStringList paths { makeFile(f, "a.txt", 2000), makeFile(f, "b.txt", 3000), makeFile(f, "c.txt", 4000) };
    drop(onList ? f.listView()->viewport() : static_cast<QWidget *>(w), filesData(paths));
    QTRY_COMPARE(f.status(), QStringLiteral("3個のアイテムをリストに追加しました。"));
    QCOMPARE(w->catalog().size(), 13);
    QCOMPARE(f.rows(), 13);
    QCOMPARE(f.column(15).mid(10), QStringList({ "10", "11", "12" }));
    QCOMPARE(w->catalog().at(12).rowKey(), 12);
    QCOMPARE(w->catalog().at(10).text(CatalogItem::Name), QStringLiteral("a.txt"));
    QCOMPARE(f.cell(11, CatalogItem::Kind), QStringLiteral("TXT"));
    QCOMPARE(f.cell(12, CatalogItem::FileSize), QStringLiteral("4.000"));
    QList<int> selected;
    for (const QModelIndex &index : f.listView()->selectionModel()->selectedRows())
        selected.append(index.row());
    std::sort(selected.begin(), selected.end());
    QCOMPARE(selected, QList<int>({ 10, 11, 12 }));
    f.tick(19);
    QVERIFY(!f.status().isEmpty());
    f.tick();
    QCOMPARE(f.status(), QString());
}

void TestDropIntakeWindow::smallFileHasTwoSizeTexts()
{
    WindowFixture f;
    Form1 *w = f.start();
    drop(w, filesData({ makeFile(f, "small.bin", 500) }));
    QTRY_VERIFY(!w->isDropRunning());
    QCOMPARE(w->catalog().at(0).text(CatalogItem::FileSize), QStringLiteral("0.500"));
    QCOMPARE(f.cell(0, CatalogItem::FileSize), QStringLiteral("500"));
    // A refill copies the master row's text.
    f.clickValueTab(0);
    QCOMPARE(f.cell(0, CatalogItem::FileSize), QStringLiteral("0.500"));
}

void TestDropIntakeWindow::progressAndClosingText()
{
    WindowFixture f;
    Form1 *w = f.start();
    QStringList paths;
    for (int i = 0; i < 5; ++i)
        paths.append(makeFile(f, QStringLiteral("f%1.dat").arg(i), 10));
    QSignalSpy messages(f.statusBar(), &QStatusBar::messageChanged);
    drop(w, filesData(paths));
    QTRY_VERIFY(!w->isDropRunning());
    QStringList texts;
    for (const QList<QVariant> &args : messages)
        texts.append(args.first().toString());
    QVERIFY(texts.size() >= 2);
    QCOMPARE(texts.first(), QStringLiteral("1/5"));
    QCOMPARE(texts.last(), QStringLiteral("5個のアイテムをリストに追加しました。"));
    int previous = 0;
    for (const QString &t : texts.mid(0, texts.size() - 1)) {
        QVERIFY2(t.endsWith(QStringLiteral("/5")), qPrintable(t));
        const int i = t.section(QLatin1Char('/'), 0, 0).toInt();
        QVERIFY(i > previous && i <= 5);
        previous = i;
    }
}

void TestDropIntakeWindow::textDropIsInvalid()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("a.avi"), catalogLine("b.avi") });
    Form1 *w = f.start();
    f.selectRows({ 1 });
    auto *data = new QMimeData;
    data->setText(QStringLiteral("dragged text"));
    drop(f.listView()->viewport(), data);
    QCOMPARE(f.status(), QStringLiteral("ドロップされたファイル形式が無効です"));
    QCOMPARE(f.rows(), 2);
    QCOMPARE(w->catalog().size(), 2);
    QVERIFY(!f.listView()->selectionModel()->hasSelection());
    QCOMPARE(w->statusTicks(), 0);
}

void TestDropIntakeWindow::folderAndSameFileTwice()
{
    WindowFixture f;
    Form1 *w = f.start();
    const QString file = makeFile(f, "twice.txt", 1500);
    const QString folder = f.path(QStringLiteral("photos"));
    QVERIFY(QDir().mkpath(folder));
    drop(w, filesData({ file, folder, file }));
    QTRY_VERIFY(!w->isDropRunning());
    QCOMPARE(f.rows(), 3);
    QCOMPARE(f.cell(1, CatalogItem::Name), QStringLiteral("photos"));
    QCOMPARE(f.cell(1, CatalogItem::Kind), QStringLiteral("不明"));
    QCOMPARE(f.cell(1, CatalogItem::FileSize), QStringLiteral("不明"));
    QCOMPARE(f.cell(1, CatalogItem::Modified), QStringLiteral("不明"));
    QCOMPARE(f.cell(1, CatalogItem::Codec), QString());
    for (int c = 0; c < CatalogItem::RowKey; ++c)
        QCOMPARE(f.cell(0, c), f.cell(2, c));
    QVERIFY(f.cell(0, CatalogItem::RowKey) != f.cell(2, CatalogItem::RowKey));
}

void TestDropIntakeWindow::dropUnderValueTabAppends()
{
    WindowFixture f;
    f.writeCatalog({ catalogLine("a.avi", "1", "アニメ"), catalogLine("b.avi", "1", "映画") });
    f.writeList(1, { "アニメ", "映画" });
    Form1 *w = f.start();
    f.clickValueTab(3);
    QCOMPARE(f.column(0), QStringList({ "b.avi" }));
    drop(w, filesData({ makeFile(f, "new.txt", 10) }));
    QTRY_VERIFY(!w->isDropRunning());
    QCOMPARE(f.column(0), QStringList({ "b.avi", "new.txt" }));
}

void TestDropIntakeWindow::moreThan32767Paths()
{
    WindowFixture f;
    Form1 *w = f.start();
    const QString file = makeFile(f, "many.txt", 10);
    drop(w, filesData(QStringList(33000, file)));
    QTRY_VERIFY_WITH_TIMEOUT(!w->isDropRunning(), 30000);
    QCOMPARE(f.status(), QStringLiteral("33000個のアイテムをリストに追加しました。"));
    QCOMPARE(w->catalog().size(), 33000);
    QCOMPARE(f.rows(), 33000);
    QCOMPARE(f.cell(32999, CatalogItem::RowKey), QStringLiteral("32999"));
}

// The widget that takes a drop over `over`, as the toolkit finds it: the
// first one up from the widget under the pointer that accepts drops.
QWidget *TestDropIntakeWindow::dropTargetAt(QWidget *window, QWidget *over)
{
    QWidget *target = window->childAt(over->mapTo(window, over->rect().center()));
    while (target && !target->acceptDrops())
        target = target->parentWidget();
    return target;
}

void TestDropIntakeWindow::proposedMoveIsAnsweredAsCopy_data()
{
    QTest::addColumn<QString>("over"); // the control under the pointer
    QTest::addColumn<bool>("files");
    for (const char *over : { "Form1", "TabStrip2", "TabStrip1", "ListView2", "Text3" }) {
        QTest::addRow("files on %s", over) << QString::fromLatin1(over) << true;
        QTest::addRow("text on %s", over) << QString::fromLatin1(over) << false;
    }
}

// A Qt or GTK drag source proposes a move when no key is held; answering
// it would make the source delete what it dragged.
void TestDropIntakeWindow::proposedMoveIsAnsweredAsCopy()
{
    QFETCH(QString, over);
    QFETCH(bool, files);
    WindowFixture f;
    f.writeCatalog({ catalogLine("a.avi") });
    Form1 *w = f.start();
    QWidget *control = over == QLatin1String("Form1") ? w->findChild<QWidget *>(QStringLiteral("clientArea"))
        : over == QLatin1String("ListView2")          ? f.listView()->viewport()
                                                      : w->findChild<QWidget *>(over);
    QVERIFY(control);
    QWidget *target = dropTargetAt(w, control);
    QVERIFY(target);
    QScopedPointer<QMimeData> data(files ? filesData({ makeFile(f, "dragged.txt", 10) }) : new QMimeData);
    // A file manager offers the files' addresses as text too.
    data->setText(files ? data->urls().constFirst().toString() : QStringLiteral("dragged text"));
    const QPoint at = target->rect().center();
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    QDragEnterEvent enter(at, offered, data.get(), Qt::LeftButton, Qt::ShiftModifier);
    enter.setDropAction(Qt::MoveAction);
    QCoreApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QCOMPARE(enter.dropAction(), Qt::CopyAction);
    QDragMoveEvent move(at, offered, data.get(), Qt::LeftButton, Qt::ShiftModifier);
    move.setDropAction(Qt::MoveAction);
    QCoreApplication::sendEvent(target, &move);
    QVERIFY(move.isAccepted());
    QCOMPARE(move.dropAction(), Qt::CopyAction);
    QDropEvent drop(at, offered, data.get(), Qt::LeftButton, Qt::ShiftModifier);
    drop.setDropAction(Qt::MoveAction);
    QCoreApplication::sendEvent(target, &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(drop.dropAction(), Qt::CopyAction);

    auto *text3 = w->findChild<QLineEdit *>(QStringLiteral("Text3"));
    if (files) {
        QTRY_COMPARE(f.status(), QStringLiteral("1個のアイテムをリストに追加しました。"));
        QCOMPARE(f.column(0), QStringList({ "a.avi", "dragged.txt" }));
        QCOMPARE(text3->text(), QString());
    } else if (over == QLatin1String("Text3")) {
        QCOMPARE(text3->text(), QStringLiteral("dragged text"));
        QCOMPARE(f.rows(), 1);
    } else {
        QCOMPARE(f.status(), QStringLiteral("ドロップされたファイル形式が無効です"));
        QCOMPARE(f.rows(), 1);
    }
}

QTEST_MAIN(TestDropIntakeWindow)
#include "tst_dropintake_window.moc"
