// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "FilePath.h"

#include <QString>

class MediaQuery;

// What a probe of one dropped path finds.
struct ProbeResult
{
    QString name;
    QString kind;
    bool present = false;
    qint64 length = 0;
    QString catalogSize; // "1,234.567", "0.500" or "不明"
    QString viewSize; // "1,234.567", "500" or "不明"
    QString modified; // yyyy/mm/dd or "不明"
    QString pictureSize; // "640×480" or ""
    QString playTime; // "01:02:05" or ""
    QString codec;
};

// Probes one path with the given media query (the FFmpeg one when null).
// Reads file-system facts, the first 513 bytes of a file of a header kind
// and, for a media kind, what the media query reads; never writes, renames
// or deletes anything. Keeps nothing from one call to the next, so it may
// run on any thread (the default media query has no state of its own).
ProbeResult ProbeFile(const FilePath &path, MediaQuery *media = nullptr);
