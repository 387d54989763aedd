// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "Form2.h"

#include "CategoryLists.h"
#include "CategoryPage.h"
#include "CheckValue.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// The page captions, the same texts as the category tabs of the main window.
const char16_t *const PageCaptions[CategoryLists::Count]
    = { u"ジャンル１", u"ジャンル２", u"備考", u"その他１", u"その他２" };

} // namespace

Form2::Form2(CategoryLists &lists, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_lists(lists)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Zarumi"));
    // Closing this window only hides it; it must never end the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    buildControls();
    layoutControls();
    // Any change of Check1, by a click or by setTabLine at start-up, applies
    // the multi-row mode to the main window's value tabs.
    connect(m_check1, &QCheckBox::stateChanged, this, [this](int state) { Q_EMIT multiRowChanged(state != 0); });
    // A click leaves the dimmed state behind for good: from then on the box
    // only goes between off and on.
    for (QCheckBox *box : { m_check1, m_check2 })
        connect(box, &QCheckBox::clicked, box, [box] { box->setTristate(false); });
    resize(480, 400);
}

void Form2::buildControls()
{
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    for (int i = 0; i < CategoryLists::Count; ++i)
        addPage(i);
    m_check1 = new QCheckBox(QStringLiteral("タブを複数行表示する"), this);
    m_check1->setObjectName(QStringLiteral("Check1"));
    m_check2 = new QCheckBox(QStringLiteral("終了時にリストを自動保存する"), this);
    m_check2->setObjectName(QStringLiteral("Check2"));
    m_status = new QStatusBar(this);
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    m_status->setSizeGripEnabled(false);
}

void Form2::addPage(int i)
{
    const int k = i + 1;
    auto *page = new CategoryPage(i, m_lists.list(k), m_tabs);
    m_tabs->addTab(page, QString::fromUtf16(PageCaptions[i]));
    m_pages[size_t(i)] = page;
    connect(page, &CategoryPage::valueAdded, this, [this, k](const QString &value) {
        Q_EMIT valueAdded(k, value);
        m_status->showMessage(value + QStringLiteral("をリストに追加しました"));
    });
    connect(page, &CategoryPage::valueDeleted, this,
        [this](const QString &value) { m_status->showMessage(value + QStringLiteral("をリストから削除しました")); });
}

void Form2::layoutControls()
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(m_check1);
    layout->addWidget(m_check2);
    layout->addWidget(m_status);
}

void Form2::reloadLists()
{
    for (CategoryPage *page : m_pages)
        page->reload();
}

int Form2::tabLine() const
{
    return CheckValue::of(m_check1);
}

int Form2::endSave() const
{
    return CheckValue::of(m_check2);
}

void Form2::setTabLine(int value)
{
    CheckValue::set(m_check1, value);
}

void Form2::setEndSave(int value)
{
    CheckValue::set(m_check2, value);
}

void Form2::showModeless()
{
    show();
    raise();
    activateWindow();
}

void Form2::closeEvent(QCloseEvent *event)
{
    // Hidden, not destroyed: the lists, the page, the selections and the
    // status text are all there when the window is shown again.
    event->accept();
    hide();
}
