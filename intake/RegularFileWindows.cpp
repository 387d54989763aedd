// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "RegularFile.h"

#include <algorithm>
#include <windows.h>

namespace {

HANDLE handleOf(qintptr handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

// A disk file, not a folder: a pipe or a device (a console, a serial port)
// is refused, as is a folder.
bool isRegularFile(HANDLE file, qint64 &size)
{
    if (::GetFileType(file) != FILE_TYPE_DISK)
        return false;
    FILE_STANDARD_INFO info;
    if (!::GetFileInformationByHandleEx(file, FileStandardInfo, &info, sizeof info) || info.Directory)
        return false;
    size = info.EndOfFile.QuadPart;
    return true;
}

} // namespace

// Others may go on reading, writing, renaming or deleting the file while it
// is open: the probe must not lock a file that another program uses.
RegularFile::RegularFile(const FilePath &path)
{
    if (path.isEmpty())
        return;
    const HANDLE file = ::CreateFileW(reinterpret_cast<const wchar_t *>(path.native().utf16()), GENERIC_READ,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    qint64 size = 0;
    if (!isRegularFile(file, size)) {
        ::CloseHandle(file);
        return;
    }
    m_handle = reinterpret_cast<qintptr>(file);
    m_size = size;
}

RegularFile::~RegularFile()
{
    if (isOpen())
        ::CloseHandle(handleOf(m_handle));
}

// A read at an offset through the OVERLAPPED offset of a synchronous handle,
// in pieces that fit a DWORD count.
qint64 RegularFile::readAt(qint64 offset, char *buffer, qint64 length) const
{
    if (!isOpen() || offset < 0 || length < 0)
        return -1;
    qint64 done = 0;
    while (done < length) {
        const qint64 at = offset + done;
        OVERLAPPED where = {};
        where.Offset = DWORD(quint64(at) & 0xFFFFFFFFu);
        where.OffsetHigh = DWORD(quint64(at) >> 32);
        const DWORD wanted = DWORD(std::min<qint64>(length - done, 1 << 30));
        DWORD got = 0;
        if (!::ReadFile(handleOf(m_handle), buffer + done, wanted, &got, &where)) {
            if (::GetLastError() == ERROR_HANDLE_EOF)
                break;
            return -1;
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}
