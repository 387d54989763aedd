// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "FilePath.h"

#include <QDate>

// What a look-up of a path as an ordinary file finds. Regular files and
// symbolic links to them are found (the facts are the target's); folders,
// dangling links, FIFOs, sockets and devices are not. A leading "." in the
// name (or a hidden mark on Windows) hides nothing. Each system's part
// lies in FileFactsPosix.cpp or FileFactsWindows.cpp.
struct FileFacts
{
    bool present = false;
    qint64 length = 0;
    QDate modified; // local date of the last modification
};

FileFacts LookUpFile(const FilePath &path);
