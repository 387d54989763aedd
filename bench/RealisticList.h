// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QString>

// A realistic List.txt for the benchmarks: code page 932, names of 10 to 80
// characters (35 on average), a third of them Japanese, 8 % of the files
// repeated from earlier rows with their sizes, a category value on part of
// the rows. The same rows for the same count, run after run.
namespace RealisticList {

bool write(const QString &path, qint64 rows);

} // namespace RealisticList
