// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

// Shared by the main-window tests: a data folder of its own for each test,
// the window started on it, and helpers that drive its controls by name.

#include "CatalogItem.h"
#include "Form1.h"
#include "Twips.h"
#include "ValueTabStrip.h"
#include "VisibleListModel.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

class WindowFixture
{
public:
    WindowFixture()
    {
        qputenv("ZARUMI_DATA_DIR", dir.path().toUtf8());
        Twips::setTwipsPerPixel(15);
    }

    QString path(const QString &name) const { return QDir(dir.path()).filePath(name); }

    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    QByteArray read(const QString &name) const
    {
        QFile file(path(name));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return file.readAll();
    }

    // List.txt lines (UTF-8, CR LF).
    void writeCatalog(const QStringList &lines) const
    {
        QByteArray bytes;
        for (const QString &line : lines)
            bytes += line.toUtf8() + "\r\n";
        write(QStringLiteral("List.txt"), bytes);
    }

    void writeList(int n, const QStringList &values) const
    {
        QByteArray bytes;
        for (const QString &value : values)
            bytes += value.toUtf8() + "\r\n";
        write(QStringLiteral("List0%1.txt").arg(n), bytes);
    }

    Form1 *start()
    {
        window = std::make_unique<Form1>(dir.path());
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qWarning("window not exposed");
        timer()->stop(); // the tests tick it themselves
        return window.get();
    }

    // Resizes the outer window (frame included) to pixels.
    void resizeOuter(int width, int height) const
    {
        const QSize frame = window->frameGeometry().size() - window->size();
        window->resize(width - frame.width(), height - frame.height());
    }

    template<class T> T *child(const char *name) const
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        if (!found)
            qWarning("no child %s", name);
        return found;
    }

    QTabBar *tabStrip2() const { return child<QTabBar>("TabStrip2"); }
    ValueTabStrip *tabStrip1() const { return child<ValueTabStrip>("TabStrip1"); }
    QTableView *listView() const { return child<QTableView>("ListView2"); }
    QStatusBar *statusBar() const { return child<QStatusBar>("StatusBar1"); }
    QTimer *timer() const { return child<QTimer>("Timer1"); }
    QString status() const { return statusBar()->currentMessage(); }

    void tick(int times = 1) const
    {
        for (int i = 0; i < times; ++i)
            QMetaObject::invokeMethod(timer(), "timeout");
    }

    int rows() const { return listView()->model()->rowCount(); }
    QString cell(int row, int column) const { return listView()->model()->index(row, column).data().toString(); }
    QStringList column(int column) const
    {
        QStringList texts;
        for (int row = 0; row < rows(); ++row)
            texts.append(cell(row, column));
        return texts;
    }

    void clickValueTab(int index) const
    {
        QTest::mouseClick(tabStrip1(), Qt::LeftButton, {}, tabStrip1()->tabRect(index).center());
    }
    void clickCategoryTab(int index) const
    {
        QTest::mouseClick(tabStrip2(), Qt::LeftButton, {}, tabStrip2()->tabRect(index).center());
    }
    void selectRows(const QList<int> &rowsToSelect) const
    {
        QItemSelection selection;
        for (int row : rowsToSelect)
            selection.select(
                listView()->model()->index(row, 0), listView()->model()->index(row, VisibleListModel::ColumnCount - 1));
        listView()->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    }

    QTemporaryDir dir;
    std::unique_ptr<Form1> window;
};

// A List.txt line: name, size and genre 1, the other fields empty.
inline QString catalogLine(const QString &name, const QString &size = QStringLiteral("1.000"),
    const QString &genre1 = {}, const QString &genre2 = {})
{
    QStringList fields(15);
    fields[0] = name;
    fields[1] = size;
    fields[2] = QStringLiteral("AVI");
    fields[6] = QStringLiteral("2003/05/01");
    fields[7] = QStringLiteral("2003/05/20");
    fields[8] = genre1;
    fields[9] = genre2;
    return fields.join(QLatin1Char('#'));
}
