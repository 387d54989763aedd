// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "FileResult.h"

QString FileResult::statusText() const
{
    if (ok)
        return {};
    const QString what = reading ? QStringLiteral("読み込めませんでした") : QStringLiteral("保存できませんでした");
    QString text = fileName + QStringLiteral(" を") + what;
    if (!reason.isEmpty())
        text += QStringLiteral("（") + reason + QStringLiteral("）");
    return text;
}
