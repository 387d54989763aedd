// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QString>

// Outcome of reading or writing one of the program's files. A failure
// carries the file and the reason, ready for the status bar.
struct FileResult
{
    bool ok = true;
    QString fileName; // e.g. "List.txt"
    QString reason; // the device's or the system's error text
    bool reading = false; // the failure happened while reading, not saving

    static FileResult success(const QString &fileName) { return { true, fileName, {} }; }
    static FileResult failure(const QString &fileName, const QString &reason) { return { false, fileName, reason }; }
    static FileResult readFailure(const QString &fileName, const QString &reason)
    {
        return { false, fileName, reason, true };
    }

    // Japanese status text for a failure, e.g.
    // "List.txt を保存できませんでした（No space left on device）" or
    // "List01.txt を読み込めませんでした（Permission denied）"; "" when ok.
    QString statusText() const;
};
