// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "FilePath.h"

#include <optional>

// What the media library reports for one file. Each value may be missing.
struct MediaInfo
{
    std::optional<qint64> durationMicroseconds;
    std::optional<int> sourceWidth;
    std::optional<int> sourceHeight;
};

// Asks a media library about one file, for reading only, without playing
// it. Failures are silent: they only leave values missing.
class MediaQuery
{
public:
    virtual ~MediaQuery() = default;
    virtual MediaInfo query(const FilePath &path) = 0;
};
