// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "FilePath.h"

#include <array>
#include <optional>

// The start of a file that the header signatures are searched in.
inline constexpr qsizetype HeaderSize = 513;
using HeaderBytes = std::array<char, HeaderSize>;

// The first 513 bytes of a regular file, zero-filled past its end (zero
// bytes match no signature), read in one go; nullopt when the path is no
// regular file or can't be opened or read.
std::optional<HeaderBytes> ReadHeader(const FilePath &path);
