// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "CategoryPage.h"

#include "CategoryListModel.h"
#include "EntryText.h"

#include <QBoxLayout>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

namespace {

// The blanks a value may start with: the space and, since values are typed
// with a Japanese input method, the ideographic space.
bool isLeadingBlank(QChar c)
{
    return c == u' ' || c == QChar(0x3000);
}

QString withoutLeadingBlanks(const QString &text)
{
    qsizetype start = 0;
    while (start < text.size() && isLeadingBlank(text.at(start)))
        ++start;
    return text.mid(start);
}

QPushButton *makeButton(const QString &caption, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

CategoryPage::CategoryPage(int index, QStringList &values, QWidget *parent)
    : QWidget(parent)
    , m_values(values)
{
    buildControls(index);
    layoutControls();
    connect(m_add, &QPushButton::clicked, this, &CategoryPage::AddValue);
    connect(m_delete, &QPushButton::clicked, this, &CategoryPage::DeleteValue);
    connect(m_up, &QPushButton::clicked, this, &CategoryPage::MoveValueUp);
    connect(m_down, &QPushButton::clicked, this, &CategoryPage::MoveValueDown);
    // Enter in the text box adds the value, as a click on 追加 would.
    connect(m_text, &QLineEdit::returnPressed, this, &CategoryPage::AddValue);
}

void CategoryPage::buildControls(int index)
{
    const QString suffix = QLatin1Char('_') + QString::number(index);
    m_model = new CategoryListModel(m_values, this);
    m_list = new QListView(this);
    m_list->setObjectName(QLatin1String("List1") + suffix);
    m_list->setModel(m_model);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setUniformItemSizes(true);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QLatin1String("Text1") + suffix);
    m_add = makeButton(QStringLiteral("追加"), QLatin1String("Command1") + suffix, this);
    m_delete = makeButton(QStringLiteral("削除"), QLatin1String("Command2") + suffix, this);
    m_up = makeButton(QStringLiteral("↑"), QLatin1String("Command3") + suffix, this);
    m_down = makeButton(QStringLiteral("↓"), QLatin1String("Command4") + suffix, this);
}

// The text box on top with 追加 and 削除 to its right; the list below, with
// the narrow ↑ above ↓ to its right.
void CategoryPage::layoutControls()
{
    const int narrow = m_up->fontMetrics().horizontalAdvance(QStringLiteral("↓")) * 3;
    m_up->setFixedWidth(narrow);
    m_down->setFixedWidth(narrow);

    auto *top = new QHBoxLayout;
    top->addWidget(m_text, 1);
    top->addWidget(m_add);
    top->addWidget(m_delete);

    auto *arrows = new QVBoxLayout;
    arrows->addWidget(m_up);
    arrows->addWidget(m_down);
    arrows->addStretch(1);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_list, 1);
    bottom->addLayout(arrows);

    auto *page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addLayout(bottom, 1);

    setTabOrder(m_text, m_add);
    setTabOrder(m_add, m_delete);
    setTabOrder(m_delete, m_list);
    setTabOrder(m_list, m_up);
    setTabOrder(m_up, m_down);
}

void CategoryPage::AddValue()
{
    const QString text = withoutLeadingBlanks(m_text->text());
    m_text->setText(text);
    if (text.isEmpty())
        return;
    // A '#' would split the value in the list file; the entry rule turns it
    // into its full-width form, and the message shows the value as stored.
    const QString value = EntryText::normalizeField(text);
    m_model->appendValue(value);
    Q_EMIT valueAdded(value);
    m_text->clear();
}

void CategoryPage::DeleteValue()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const QString value = m_values.at(row);
    m_model->removeValue(row);
    m_list->selectionModel()->clear();
    Q_EMIT valueDeleted(value);
}

void CategoryPage::MoveValueUp()
{
    const int row = selectedRow();
    if (row <= 0)
        return;
    m_model->swapWithNext(row - 1);
    selectRow(row - 1);
}

void CategoryPage::MoveValueDown()
{
    const int row = selectedRow();
    if (row < 0 || row + 1 >= m_values.size())
        return;
    m_model->swapWithNext(row);
    selectRow(row + 1);
}

int CategoryPage::selectedRow() const
{
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CategoryPage::reload()
{
    m_model->reload();
}

void CategoryPage::selectRow(int row)
{
    const QModelIndex index = m_model->index(row);
    m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_list->scrollTo(index);
}
