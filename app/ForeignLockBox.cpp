// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "ForeignLockBox.h"

#include "SingleInstance.h"

#include <QDir>
#include <QPushButton>

ForeignLockBox::ForeignLockBox(const QString &folder, const SingleInstance &lock, QWidget *parent)
    : QMessageBox(parent)
{
    setWindowTitle(QStringLiteral("Zarumi"));
    setIcon(QMessageBox::Warning);
    setText(holderText(folder, lock));
    setInformativeText(QStringLiteral("そのコンピュータでこのフォルダを使うプログラムが動いていなければ、"
                                      "ロックを引き継いで起動できます。両方で同時に使うと、片方の変更が失われます。"));
    m_takeOver = addButton(QStringLiteral("ロックを引き継ぐ"), QMessageBox::AcceptRole);
    m_quit = addButton(QStringLiteral("終了"), QMessageBox::RejectRole);
    setDefaultButton(m_quit);
    setEscapeButton(m_quit);
}

bool ForeignLockBox::takeOverChosen() const
{
    return clickedButton() == m_takeOver;
}

QString ForeignLockBox::holderText(const QString &folder, const SingleInstance &lock)
{
    const QString shownFolder = QDir::toNativeSeparators(folder);
    if (lock.holderHost().isEmpty())
        return QStringLiteral(
            "データフォルダ「%1」のロックファイル zarumi.lock は、使用中のプログラムを読み取れません。")
            .arg(shownFolder);
    const QString app = lock.holderApp().isEmpty() ? QStringLiteral("不明") : lock.holderApp();
    return QStringLiteral("データフォルダ「%1」は、別のコンピュータ「%2」のプログラム %3 (プロセス %4) が使用中です。")
        .arg(shownFolder, lock.holderHost(), app)
        .arg(lock.holderPid());
}
