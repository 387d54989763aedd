// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "FileFacts.h"

#include <windows.h>

namespace {

const wchar_t *wide(const FilePath &path)
{
    return reinterpret_cast<const wchar_t *>(path.native().utf16());
}

// The local date of a moment, with the daylight-saving rule of that date.
QDate localDate(const FILETIME &when)
{
    SYSTEMTIME universal;
    SYSTEMTIME local;
    if (!::FileTimeToSystemTime(&when, &universal) || !::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return {};
    return QDate(local.wYear, local.wMonth, local.wDay);
}

FILETIME fileTimeOf(const LARGE_INTEGER &when)
{
    FILETIME time;
    time.dwLowDateTime = DWORD(quint64(when.QuadPart) & 0xFFFFFFFFu);
    time.dwHighDateTime = DWORD(quint64(when.QuadPart) >> 32);
    return time;
}

// A link's own attributes are the link's: the target's facts come through a
// handle, opened for its attributes only (which never blocks a device).
FileFacts linkTargetFacts(const FilePath &path)
{
    FileFacts facts;
    const HANDLE file
        = ::CreateFileW(wide(path), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return facts;
    FILE_STANDARD_INFO standard;
    FILE_BASIC_INFO basic;
    if (::GetFileType(file) == FILE_TYPE_DISK
        && ::GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard)
        && ::GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) && !standard.Directory) {
        facts.present = true;
        facts.length = standard.EndOfFile.QuadPart;
        facts.modified = localDate(fileTimeOf(basic.LastWriteTime));
    }
    ::CloseHandle(file);
    return facts;
}

} // namespace

FileFacts LookUpFile(const FilePath &path)
{
    FileFacts facts;
    if (path.isEmpty())
        return facts;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(wide(path), GetFileExInfoStandard, &data)
        || (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
        return facts;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return linkTargetFacts(path);
    facts.present = true;
    facts.length = qint64((quint64(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    facts.modified = localDate(data.ftLastWriteTime);
    return facts;
}
