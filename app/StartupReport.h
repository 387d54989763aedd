// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QString>

// Why the program can't start, told where the user sees it: on standard
// error always, and in a message box when a display is there.
namespace StartupReport {

// False on the platforms that show nothing (offscreen, minimal).
bool hasDisplay();

// The data folder's own problem (missing, not a folder), or an empty text.
QString dataFolderProblem(const QString &folder);

// The text for a lock file that can't be created, with the reason.
QString lockFailure(const QString &folder, const QString &reason);

// Prints the text, shows it when a display is there, and gives the exit
// status of a refused start.
int refuse(const QString &text);

} // namespace StartupReport
