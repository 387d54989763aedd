// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QString>

class QIODevice;

// Where one save of a file writes. The shared save routine (TextFile::save)
// opens it, writes the whole content to device(), then asks finish() to
// push everything down to the disk and commit() to put the new content in
// the old one's place in one step; on any failure it calls cancel(), which
// drops what was written and leaves the old content as it was.
class SaveTarget
{
public:
    virtual ~SaveTarget() = default;

    virtual bool open() = 0;
    virtual QIODevice &device() = 0;
    virtual bool finish() = 0;
    virtual bool commit() = 0;
    virtual void cancel() = 0;
    // Japanese reason of the last failure of open, finish or commit.
    virtual QString errorReason() const = 0;
};
