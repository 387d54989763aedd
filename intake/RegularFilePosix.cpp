// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

RegularFile::RegularFile(const FilePath &path)
{
    if (path.isEmpty())
        return;
    const int fd = ::open(path.native().constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return;
    struct stat facts;
    if (::fstat(fd, &facts) != 0 || !S_ISREG(facts.st_mode)) {
        ::close(fd);
        return;
    }
    m_handle = fd;
    m_size = facts.st_size;
}

RegularFile::~RegularFile()
{
    if (isOpen())
        ::close(int(m_handle));
}

qint64 RegularFile::readAt(qint64 offset, char *buffer, qint64 length) const
{
    if (!isOpen() || offset < 0 || length < 0)
        return -1;
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pread(int(m_handle), buffer + done, size_t(length - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += n;
    }
    return done;
}
