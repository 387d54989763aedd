// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QByteArray>
#include <QString>

// Whole-file helpers for tests that check files byte for byte.
namespace TestFiles {

// The file's bytes, or "<unreadable>" when it can't be opened.
QByteArray fileBytes(const QString &path);
// Writes bytes as the whole file; false on any failure.
bool writeBytes(const QString &path, const QByteArray &bytes);
// Makes a sparse file of size bytes (holes only, no disk space used).
bool makeSparse(const QString &path, qint64 size);

} // namespace TestFiles
