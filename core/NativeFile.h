// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QString>

class QFile;

// The two file-system operations a safe save needs that Qt does not offer
// in its public API. Each returns 0 on success, else an error number as
// errno gives it (a Windows error is turned into the nearest one).
namespace NativeFile {

// Pushes what was written to the open file down to the disk.
int syncToDisk(QFile &file);

// Renames from over to in one step: to is replaced when it exists, and at
// no moment is there no file named to.
int renameOver(const QString &from, const QString &to);

} // namespace NativeFile
