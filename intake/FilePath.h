// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QByteArray>
#include <QString>

class QUrl;

// A path as the file system knows it. On POSIX systems a path is a string
// of bytes that need not be text in any one encoding (a Shift-JIS name from
// an old disc, say): it is kept as those bytes and reaches every file
// access unchanged, and only its text for display and storage is decoded.
// On Windows a path is UTF-16 text, as the wide-character calls take it.
// Each system's part lies in FilePathPosix.cpp or FilePathWindows.cpp.
class FilePath
{
public:
#ifdef Q_OS_WIN
    using Native = QString;
#else
    using Native = QByteArray;
#endif

    FilePath() = default;
    // A path given as text, such as one typed or stored.
    FilePath(const QString &text); // NOLINT(google-explicit-constructor): text is a path too
    static FilePath fromNative(const Native &native);
    // The local file that a dropped URL names, with the bytes it encodes; an
    // empty path when the URL names no local file.
    static FilePath fromLocalFileUrl(const QUrl &url);
    // A command-line argument as the system hands it over.
    static FilePath fromArgument(const char *argument);

    bool isEmpty() const
    {
        return m_native.isEmpty();
    }
    const Native &native() const
    {
        return m_native;
    }

    // The path as text. Bytes are read as UTF-8 when they are valid UTF-8,
    // else as code page 932 when they are valid there, else as UTF-8 with
    // U+FFFD for what is not.
    QString text() const;
    // The text of the path's last name (see FileNameOf): the name a
    // catalogue row shows and stores.
    QString fileName() const;

    friend bool operator==(const FilePath &, const FilePath &) = default;

private:
    Native m_native;
};
