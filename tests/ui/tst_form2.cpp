// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "CategoryLists.h"
#include "Form2.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

namespace {

const QString Added = QStringLiteral("をリストに追加しました");
const QString Deleted = QStringLiteral("をリストから削除しました");
const QStringList PageCaptions = { QStringLiteral("ジャンル１"), QStringLiteral("ジャンル２"), QStringLiteral("備考"),
    QStringLiteral("その他１"), QStringLiteral("その他２") };

} // namespace

class TestForm2 : public QObject
{
    Q_OBJECT

private:
    CategoryLists *m_lists = nullptr;
    Form2 *m_form = nullptr;

    template<typename T> T *control(const QString &name) const
    {
        T *widget = m_form->findChild<T *>(name);
        if (!widget)
            qFatal("no control %s", qPrintable(name));
        return widget;
    }
    template<typename T> T *control(const char *prefix, int page) const
    {
        return control<T>(QLatin1String(prefix) + QLatin1Char('_') + QString::number(page));
    }

    QLineEdit *text1(int i) const { return control<QLineEdit>("Text1", i); }
    QListView *list1(int i) const { return control<QListView>("List1", i); }
    QPushButton *command(int n, int i) const
    {
        return control<QPushButton>(qPrintable(QStringLiteral("Command%1").arg(n)), i);
    }
    QString status() const { return control<QStatusBar>(QStringLiteral("StatusBar1"))->currentMessage(); }

    // The lines of a list box as the user sees them.
    QStringList lines(int i) const
    {
        QStringList shown;
        const QAbstractItemModel *model = list1(i)->model();
        for (int row = 0; row < model->rowCount(); ++row)
            shown << model->index(row, 0).data().toString();
        return shown;
    }

    int selectedLine(int i) const
    {
        const QModelIndexList rows = list1(i)->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.first().row() : (rows.isEmpty() ? -1 : -2);
    }

    void showPage(int i)
    {
        control<QTabWidget>(QStringLiteral("SSTab1"))->setCurrentIndex(i);
        QCoreApplication::processEvents();
    }

    void clickLine(int i, int row)
    {
        QListView *view = list1(i);
        const QModelIndex index = view->model()->index(row, 0);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    }

    void typeAndAdd(int i, const QString &text)
    {
        text1(i)->setText(text);
        QTest::mouseClick(command(1, i), Qt::LeftButton);
    }

    // A check box reacts to clicks on its box and caption, not on the empty
    // stretch of the row to their right.
    void clickCheck(const QString &name)
    {
        auto *box = control<QCheckBox>(name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->height() / 2, box->height() / 2));
    }

    void fill(int i, const QStringList &values)
    {
        m_lists->list(i + 1) = values;
        m_form->reloadLists();
    }

private Q_SLOTS:
    void init()
    {
        m_lists = new CategoryLists;
        m_form = new Form2(*m_lists);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form));
    }

    void cleanup()
    {
        delete m_form;
        delete m_lists;
    }

    void captionsAndControls_data();
    void captionsAndControls();
    void windowCaptions();
    void addValue_data();
    void addValue();
    void addSameValueTwice();
    void blanksLeaveStatusAlone();
    void enterInTextBoxAdds();
    void deleteValue_data();
    void deleteValue();
    void deleteTwiceDoesNothingMore();
    void moveValue_data();
    void moveValue();
    void moveAtEndsKeepsListUntouched();
    void closeAndShowKeepsState();
    void check1_data();
    void check1();
    void checkValues_data();
    void checkValues();
    void reloadShowsLoadedLists();
    void everyControlTakesKeyboardFocus();
};

void TestForm2::windowCaptions()
{
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Zarumi"));
    auto *tabs = control<QTabWidget>(QStringLiteral("SSTab1"));
    QCOMPARE(tabs->count(), 5);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(tabs->tabText(i), PageCaptions.at(i));
    QCOMPARE(control<QCheckBox>(QStringLiteral("Check1"))->text(), QStringLiteral("タブを複数行表示する"));
    QCOMPARE(control<QCheckBox>(QStringLiteral("Check2"))->text(), QStringLiteral("終了時にリストを自動保存する"));
    QVERIFY(status().isEmpty());
}

void TestForm2::captionsAndControls_data()
{
    QTest::addColumn<int>("page");
    for (int i = 0; i < 5; ++i)
        QTest::addRow("%s", qPrintable(PageCaptions.at(i))) << i;
}

void TestForm2::captionsAndControls()
{
    QFETCH(int, page);
    showPage(page);
    QCOMPARE(command(1, page)->text(), QStringLiteral("追加"));
    QCOMPARE(command(2, page)->text(), QStringLiteral("削除"));
    QCOMPARE(command(3, page)->text(), QStringLiteral("↑"));
    QCOMPARE(command(4, page)->text(), QStringLiteral("↓"));
    QCOMPARE(list1(page)->selectionMode(), QAbstractItemView::SingleSelection);

    // Text box on top with 追加 and 削除 to its right, the list below them,
    // ↑ above ↓ right of the list and narrower than 追加.
    const auto geometry = [](QWidget *w) { return QRect(w->mapTo(w->window(), QPoint()), w->size()); };
    const QRect text = geometry(text1(page)), add = geometry(command(1, page)), del = geometry(command(2, page));
    const QRect list = geometry(list1(page)), up = geometry(command(3, page)), down = geometry(command(4, page));
    QVERIFY(add.left() >= text.right() && del.left() >= add.right());
    QVERIFY(list.top() >= text.bottom() && list.top() >= add.bottom());
    QVERIFY(up.left() >= list.right() && down.left() >= list.right());
    QVERIFY(up.bottom() <= down.top());
    QVERIFY(up.width() < add.width());
}

void TestForm2::addValue_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("expectedLines");
    QTest::addColumn<QString>("expectedStatus");

    QTest::newRow("three blanks and Drama") << 0 << "   Drama" << QStringList { "Drama" } << "Drama" + Added;
    QTest::newRow("ideographic blanks") << 1 << u"\u3000 \u3000Drama"_qs << QStringList { "Drama" } << "Drama" + Added;
    QTest::newRow("trailing blanks stay") << 2 << " Drama  " << QStringList { "Drama  " } << "Drama  " + Added;
    QTest::newRow("inner blanks stay") << 3 << u"a b\u3000c"_qs << QStringList { u"a b\u3000c"_qs }
                                       << u"a b\u3000c"_qs + Added;
    QTest::newRow("blanks only") << 0 << u"  \u3000 "_qs << QStringList {} << QString();
    QTest::newRow("empty") << 4 << QString() << QStringList {} << QString();
    QTest::newRow("hash becomes full-width") << 2 << "R#B" << QStringList { u"R\uFF03B"_qs } << u"R\uFF03B"_qs + Added;
    QTest::newRow("control character replaced")
        << 4 << "A\tB" << QStringList { u"A\uFFFDB"_qs } << u"A\uFFFDB"_qs + Added;
    QTest::newRow("tab is not a leading blank") << 0 << "\tX" << QStringList { u"\uFFFDX"_qs } << u"\uFFFDX"_qs + Added;
}

void TestForm2::addValue()
{
    QFETCH(int, page);
    QFETCH(QString, typed);
    QFETCH(QStringList, expectedLines);
    QFETCH(QString, expectedStatus);
    showPage(page);
    QSignalSpy added(m_form, &Form2::valueAdded);

    typeAndAdd(page, typed);

    QCOMPARE(lines(page), expectedLines);
    QCOMPARE(m_lists->list(page + 1), expectedLines);
    QCOMPARE(status(), expectedStatus);
    QVERIFY(text1(page)->text().isEmpty());
    QCOMPARE(added.count(), int(expectedLines.size()));
    if (!added.isEmpty()) {
        QCOMPARE(added.first().at(0).toInt(), page + 1);
        QCOMPARE(added.first().at(1).toString(), expectedLines.first());
    }
    for (int other = 0; other < 5; ++other) {
        if (other != page)
            QVERIFY(m_lists->list(other + 1).isEmpty());
    }
}

void TestForm2::addSameValueTwice()
{
    QSignalSpy added(m_form, &Form2::valueAdded);
    typeAndAdd(0, QStringLiteral("Drama"));
    typeAndAdd(0, QStringLiteral("Drama"));
    QCOMPARE(lines(0), QStringList({ "Drama", "Drama" }));
    QCOMPARE(added.count(), 2);
    QCOMPARE(added.at(1), QVariantList({ 1, QStringLiteral("Drama") }));
}

void TestForm2::blanksLeaveStatusAlone()
{
    showPage(3);
    typeAndAdd(3, QStringLiteral("Jazz"));
    typeAndAdd(3, QStringLiteral("   "));
    QCOMPARE(status(), "Jazz" + Added);
    QCOMPARE(lines(3), QStringList { "Jazz" });
    QVERIFY(text1(3)->text().isEmpty());
}

void TestForm2::enterInTextBoxAdds()
{
    showPage(1);
    QSignalSpy added(m_form, &Form2::valueAdded);
    text1(1)->setFocus();
    QTest::keyClicks(text1(1), QStringLiteral("  Rock"));
    QTest::keyClick(text1(1), Qt::Key_Return);
    QCOMPARE(lines(1), QStringList { "Rock" });
    QCOMPARE(added.count(), 1);
    QCOMPARE(added.first(), QVariantList({ 2, QStringLiteral("Rock") }));
    QVERIFY(text1(1)->text().isEmpty());
}

void TestForm2::deleteValue_data()
{
    QTest::addColumn<int>("clicked");
    QTest::addColumn<QStringList>("expectedLines");
    QTest::addColumn<QString>("expectedStatus");
    const QStringList all = { "A", "B", "C" };
    QTest::newRow("first") << 0 << QStringList { "B", "C" } << "A" + Deleted;
    QTest::newRow("middle") << 1 << QStringList { "A", "C" } << "B" + Deleted;
    QTest::newRow("last") << 2 << QStringList { "A", "B" } << "C" + Deleted;
    QTest::newRow("no selection") << -1 << all << QString();
}

void TestForm2::deleteValue()
{
    QFETCH(int, clicked);
    QFETCH(QStringList, expectedLines);
    QFETCH(QString, expectedStatus);
    fill(0, { "A", "B", "C" });
    if (clicked >= 0)
        clickLine(0, clicked);
    QCOMPARE(selectedLine(0), clicked);

    QTest::mouseClick(command(2, 0), Qt::LeftButton);

    QCOMPARE(lines(0), expectedLines);
    QCOMPARE(m_lists->list(1), expectedLines);
    QCOMPARE(status(), expectedStatus);
    QCOMPARE(selectedLine(0), -1);
}

void TestForm2::deleteTwiceDoesNothingMore()
{
    fill(2, { "x", "y", "y", "z" });
    showPage(2);
    clickLine(2, 2);
    QTest::mouseClick(command(2, 2), Qt::LeftButton);
    QCOMPARE(status(), "y" + Deleted);
    QTest::mouseClick(command(2, 2), Qt::LeftButton);
    QCOMPARE(lines(2), QStringList({ "x", "y", "z" }));
    QCOMPARE(status(), "y" + Deleted);
    QCOMPARE(selectedLine(2), -1);
}

void TestForm2::moveValue_data()
{
    QTest::addColumn<QStringList>("initial");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("button");
    QTest::addColumn<QStringList>("expectedLines");
    QTest::addColumn<int>("expectedSelected");
    const QStringList abc = { "A", "B", "C" };
    const QStringList five = { "A", "B", "C", "D", "E" };
    const int up = 3, down = 4;
    QTest::newRow("up on first") << abc << 0 << up << abc << 0;
    QTest::newRow("down on last") << abc << 2 << down << abc << 2;
    QTest::newRow("down without selection") << abc << -1 << down << abc << -1;
    QTest::newRow("up without selection") << abc << -1 << up << abc << -1;
    QTest::newRow("up on third of five") << five << 2 << up << QStringList { "A", "C", "B", "D", "E" } << 1;
    QTest::newRow("down on second of five") << five << 1 << down << QStringList { "A", "C", "B", "D", "E" } << 2;
    QTest::newRow("up on last") << abc << 2 << up << QStringList { "A", "C", "B" } << 1;
    QTest::newRow("down on first") << abc << 0 << down << QStringList { "B", "A", "C" } << 1;
    QTest::newRow("single line up") << QStringList { "A" } << 0 << up << QStringList { "A" } << 0;
    QTest::newRow("single line down") << QStringList { "A" } << 0 << down << QStringList { "A" } << 0;
}

void TestForm2::moveValue()
{
    QFETCH(QStringList, initial);
    QFETCH(int, selected);
    QFETCH(int, button);
    QFETCH(QStringList, expectedLines);
    QFETCH(int, expectedSelected);
    fill(4, initial);
    showPage(4);
    if (selected >= 0)
        clickLine(4, selected);

    QTest::mouseClick(command(button, 4), Qt::LeftButton);

    QCOMPARE(lines(4), expectedLines);
    QCOMPARE(m_lists->list(5), expectedLines);
    QCOMPARE(selectedLine(4), expectedSelected);
    QVERIFY(status().isEmpty());
}

void TestForm2::moveAtEndsKeepsListUntouched()
{
    // Moving a value twice up from the third line reaches the top and stops.
    fill(0, { "A", "B", "C" });
    clickLine(0, 2);
    for (int n = 0; n < 4; ++n)
        QTest::mouseClick(command(3, 0), Qt::LeftButton);
    QCOMPARE(lines(0), QStringList({ "C", "A", "B" }));
    QCOMPARE(selectedLine(0), 0);
    for (int n = 0; n < 4; ++n)
        QTest::mouseClick(command(4, 0), Qt::LeftButton);
    QCOMPARE(lines(0), QStringList({ "A", "B", "C" }));
    QCOMPARE(selectedLine(0), 2);
}

void TestForm2::closeAndShowKeepsState()
{
    QPointer<Form2> guard(m_form);
    fill(0, { "g" });
    fill(3, { "p", "q", "r" });
    showPage(3);
    typeAndAdd(3, QStringLiteral("s"));
    clickLine(3, 1);
    QCOMPARE(selectedLine(3), 1);

    QVERIFY(m_form->close());
    QVERIFY(!m_form->isVisible());
    QVERIFY(!guard.isNull());

    m_form->showModeless();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
    QCOMPARE(control<QTabWidget>(QStringLiteral("SSTab1"))->currentIndex(), 3);
    QCOMPARE(lines(3), QStringList({ "p", "q", "r", "s" }));
    QCOMPARE(lines(0), QStringList { "g" });
    QCOMPARE(selectedLine(3), 1);
    QCOMPARE(status(), "s" + Added);
}

void TestForm2::check1_data()
{
    QTest::addColumn<int>("initial");
    QTest::addColumn<bool>("useClick");
    QTest::addColumn<int>("newValue");
    QTest::addColumn<QVariantList>("expectedSignals");
    QTest::addColumn<int>("expectedValue");
    QTest::newRow("click on") << 0 << true << -1 << QVariantList { true } << 1;
    QTest::newRow("click off") << 1 << true << -1 << QVariantList { false } << 0;
    QTest::newRow("set on") << 0 << false << 1 << QVariantList { true } << 1;
    QTest::newRow("set off") << 1 << false << 0 << QVariantList { false } << 0;
    QTest::newRow("set unchanged on") << 1 << false << 1 << QVariantList {} << 1;
    QTest::newRow("set unchanged off") << 0 << false << 0 << QVariantList {} << 0;
    QTest::newRow("set dimmed") << 0 << false << 2 << QVariantList { true } << 2;
    QTest::newRow("click on dimmed turns it on") << 2 << true << -1 << QVariantList { true } << 1;
}

void TestForm2::check1()
{
    QFETCH(int, initial);
    QFETCH(bool, useClick);
    QFETCH(int, newValue);
    QFETCH(QVariantList, expectedSignals);
    QFETCH(int, expectedValue);
    m_form->setTabLine(initial);
    QSignalSpy changed(m_form, &Form2::multiRowChanged);

    if (useClick)
        clickCheck(QStringLiteral("Check1"));
    else
        m_form->setTabLine(newValue);

    QVariantList seen;
    for (const QVariantList &args : changed)
        seen << args.first();
    QCOMPARE(seen, expectedSignals);
    QCOMPARE(m_form->tabLine(), expectedValue);
    QCOMPARE(m_form->endSave(), 0);
}

void TestForm2::checkValues_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("off") << 0 << 0;
    QTest::newRow("on") << 1 << 1;
    QTest::newRow("dimmed") << 2 << 2;
}

void TestForm2::checkValues()
{
    QFETCH(int, value);
    QFETCH(int, expected);
    QSignalSpy changed(m_form, &Form2::multiRowChanged);
    m_form->setEndSave(value);
    QCOMPARE(m_form->endSave(), expected);
    QCOMPARE(m_form->tabLine(), 0);
    QCOMPARE(changed.count(), 0);
    auto *check2 = control<QCheckBox>(QStringLiteral("Check2"));
    QCOMPARE(check2->checkState() != Qt::Unchecked, value != 0);
    // After a click the box only goes between off and on.
    clickCheck(QStringLiteral("Check2"));
    QCOMPARE(m_form->endSave(), value == 1 ? 0 : 1);
    clickCheck(QStringLiteral("Check2"));
    QCOMPARE(m_form->endSave(), value == 1 ? 1 : 0);
}

void TestForm2::reloadShowsLoadedLists()
{
    m_lists->list(1) = QStringList { "a", "", "b" };
    m_lists->list(5) = QStringList { "z" };
    m_form->reloadLists();
    QCOMPARE(lines(0), QStringList({ "a", "", "b" }));
    QCOMPARE(lines(4), QStringList { "z" });
    QVERIFY(lines(1).isEmpty());
    // The window edits the loaded list itself.
    clickLine(0, 0);
    QTest::mouseClick(command(4, 0), Qt::LeftButton);
    QCOMPARE(m_lists->list(1), QStringList({ "", "a", "b" }));
}

void TestForm2::everyControlTakesKeyboardFocus()
{
    QList<QWidget *> chain;
    QWidget *w = m_form;
    do {
        w = w->nextInFocusChain();
        if (w->focusPolicy() & Qt::TabFocus)
            chain << w;
    } while (w != m_form);
    QVERIFY(chain.contains(control<QWidget>(QStringLiteral("SSTab1"))->findChild<QTabBar *>()));
    QVERIFY(chain.contains(control<QCheckBox>(QStringLiteral("Check1"))));
    QVERIFY(chain.contains(control<QCheckBox>(QStringLiteral("Check2"))));
    for (int i = 0; i < 5; ++i) {
        QVERIFY(chain.contains(text1(i)));
        QVERIFY(chain.contains(list1(i)));
        for (int n = 1; n <= 4; ++n)
            QVERIFY2(chain.contains(command(n, i)), qPrintable(command(n, i)->objectName()));
    }
    // From the text box the next stop is 追加.
    const qsizetype at = chain.indexOf(text1(0));
    QCOMPARE(chain.value(at + 1), static_cast<QWidget *>(command(1, 0)));
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
