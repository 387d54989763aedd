// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QString>

// The name offered for the disc a folder is added from: the volume label
// when the folder is the root of a mounted volume that has one, else the
// folder's own name (its path for a root without a name).
QString DefaultDiscName(const QString &folder);
