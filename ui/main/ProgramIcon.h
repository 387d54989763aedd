// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QIcon>

// The program's icon: the one installed in the icon theme, else the copy
// built into the program (a run from the build tree).
QIcon ProgramIcon();
