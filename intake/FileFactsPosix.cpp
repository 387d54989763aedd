// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "FileFacts.h"

#include <sys/stat.h>
#include <time.h>

namespace {

QDate localDate(time_t when)
{
    struct tm parts;
    if (!::localtime_r(&when, &parts))
        return {};
    return QDate(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday);
}

} // namespace

FileFacts LookUpFile(const FilePath &path)
{
    FileFacts facts;
    if (path.isEmpty())
        return facts;
    struct stat status;
    if (::stat(path.native().constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return facts;
    facts.present = true;
    facts.length = status.st_size;
    facts.modified = localDate(status.st_mtime);
    return facts;
}
