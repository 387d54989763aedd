// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "FilePath.h"

#include "FileKind.h"

#include <QUrl>

FilePath::FilePath(const QString &text)
    : m_native(text)
{ }

FilePath FilePath::fromNative(const Native &native)
{
    return FilePath(native);
}

FilePath FilePath::fromLocalFileUrl(const QUrl &url)
{
    return url.isLocalFile() ? FilePath(url.toLocalFile()) : FilePath();
}

// The narrow arguments are in the system's ANSI code page.
FilePath FilePath::fromArgument(const char *argument)
{
    return FilePath(QString::fromLocal8Bit(argument));
}

QString FilePath::text() const
{
    return m_native;
}

QString FilePath::fileName() const
{
    return FileNameOf(m_native);
}
