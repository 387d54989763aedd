// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool QtTranslation::install(QCoreApplication *app)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto *translator = new QTranslator(app);
    if (!translator->load(
            QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
        delete translator;
        m_error = QStringLiteral("Qt の日本語訳 (qtbase_ja.qm) が %1 にありません").arg(folder);
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}
