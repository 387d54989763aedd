// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QFileDevice>
#include <QString>

// Our own Japanese reasons for the failures of the file system, so that the
// status texts never carry the system's or the toolkit's English.
namespace FileErrorText {

// The reason for a system error number (errno), or "" for 0 and for a
// number this program has no text of its own for.
QString forErrorNumber(int errorNumber);

// The reason for a failed file operation: the error number's text when
// there is one, else a text for the kind of operation that failed (with
// the number, when there is one, so that it can still be looked up).
QString reason(int errorNumber, QFileDevice::FileError error);

// The reason when a path names something other than an ordinary file (a
// pipe, a device), which is never read nor replaced.
QString notRegularFile();

} // namespace FileErrorText
