// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "frmAbout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *makeLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

QString frmAbout::descriptionText()
{
    return QStringLiteral("CD-RやDVDメディアに溜まったファイルを登録、\u3000ジャンル分け等して管理、検索する事が目的の"
                          "\u3000\u3000フリーソフトウエア");
}

frmAbout::frmAbout(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    QLabel *title = makeLabel(QStringLiteral("lblTitle"), QStringLiteral("Zarumi"), this);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    QLabel *version = makeLabel(QStringLiteral("lblVersion"), versionText(), this);
    QLabel *description = makeLabel(QStringLiteral("lblDescription"), descriptionText(), this);
    QLabel *disclaimer = makeLabel(QStringLiteral("lblDisclaimer"),
        QStringLiteral("このソフトウエアはフリーソフトです。無料かつ営利を目的としない限り、"
                       "内容を変更せずに自由に再配布できます。このソフトウエアを使用したことによって"
                       "生じたいかなる損害についても、作者は一切の責任を負いません。"),
        this);
    disclaimer->setFrameShape(QFrame::Box);
    disclaimer->setMargin(6);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addWidget(description);
    layout->addWidget(disclaimer);
    layout->addLayout(buttons);
    setMinimumWidth(360);
}
