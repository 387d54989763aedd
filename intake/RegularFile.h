// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "FilePath.h"

// A regular file (or a link to one) opened for reading only. Anything else
// is never opened for good: the open does not wait (a FIFO without writer
// would block it) and the opened object must be a regular file, or it is
// closed at once. Nothing is ever written through it. Each system's part
// lies in RegularFilePosix.cpp or RegularFileWindows.cpp.
class RegularFile
{
public:
    explicit RegularFile(const FilePath &path);
    ~RegularFile();
    RegularFile(const RegularFile &) = delete;
    RegularFile &operator=(const RegularFile &) = delete;

    bool isOpen() const { return m_handle != Closed; }
    qint64 size() const { return m_size; }

    // Reads up to length bytes from offset: the count read, 0 at the end of
    // the file, -1 on a read error.
    qint64 readAt(qint64 offset, char *buffer, qint64 length) const;

private:
    static constexpr qintptr Closed = -1; // as INVALID_HANDLE_VALUE on Windows
    qintptr m_handle = Closed; // a file descriptor, or a Windows handle
    qint64 m_size = 0;
};
