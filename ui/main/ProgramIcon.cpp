// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "ProgramIcon.h"

QIcon ProgramIcon()
{
    return QIcon::fromTheme(QStringLiteral("zarumi"), QIcon(QStringLiteral(":/icons/zarumi.svg")));
}
