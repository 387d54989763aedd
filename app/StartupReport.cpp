// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "StartupReport.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>

#include <cstdio>

namespace StartupReport {

bool hasDisplay()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

QString dataFolderProblem(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.exists())
        return QStringLiteral("データフォルダ「%1」がありません").arg(QDir::toNativeSeparators(folder));
    if (!info.isDir())
        return QStringLiteral("データフォルダ「%1」はフォルダではありません").arg(QDir::toNativeSeparators(folder));
    return {};
}

QString lockFailure(const QString &folder, const QString &reason)
{
    return QStringLiteral("データフォルダ「%1」にロックファイル zarumi.lock を作れません: %2")
        .arg(QDir::toNativeSeparators(folder), reason);
}

int refuse(const QString &text)
{
    std::fprintf(stderr, "zarumi: %s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
    if (hasDisplay())
        QMessageBox::critical(nullptr, QStringLiteral("Zarumi"), text);
    return 1;
}

} // namespace StartupReport
