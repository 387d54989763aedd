// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "FileResult.h"

#include <QString>

// Sends one file to the desktop's trash, where the user can restore it.
//
// On Linux Qt's own move needs the trash folder under the user's data
// folder to be creatable; when that folder is missing it may "succeed" by
// moving the file into files/ below the current folder. So the data folder
// is made first, and a move that did not land in a trash folder is undone
// and reported as a failure: the file is then still where it was.
FileResult MoveToTrash(const QString &path);
