// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "DiscNameDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

DiscNameDialog::DiscNameDialog(const QString &suggestedName, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DiscNameDialog"));
    setWindowTitle(QStringLiteral("ディスクの名前"));
    m_name = new QLineEdit(suggestedName, this);
    m_name->setObjectName(QStringLiteral("discName"));
    m_name->selectAll();
    m_category = new QComboBox(this);
    m_category->setObjectName(QStringLiteral("discCategory"));
    for (const char16_t *caption : { u"ジャンル１", u"ジャンル２", u"備考", u"その他１", u"その他２" })
        m_category->addItem(QString::fromUtf16(caption));
    m_category->setCurrentIndex(2);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("ディスクの名前:"), m_name);
    form->addRow(QStringLiteral("記録する分類:"), m_category);
    form->addRow(buttons);
}

QString DiscNameDialog::discName() const
{
    return m_name->text().trimmed();
}

int DiscNameDialog::category() const
{
    return m_category->currentIndex() + 1;
}
