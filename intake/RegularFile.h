#pragma once

#include <QString>

// A regular file (or a link to one) opened for reading only. Anything else
// is never opened for good: the open does not wait (a FIFO without writer
// would block it) and the opened object must be a regular file, or it is
// closed at once. Nothing is ever written through it.
class RegularFile
{
public:
    explicit RegularFile(const QString &path);
    ~RegularFile();
    RegularFile(const RegularFile &) = delete;
    RegularFile &operator=(const RegularFile &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    qint64 size() const { return m_size; }

    // Reads up to length bytes from offset: the count read, 0 at the end of
    // the file, -1 on a read error.
    qint64 readAt(qint64 offset, char *buffer, qint64 length) const;

private:
    int m_fd = -1;
    qint64 m_size = 0;
};
