// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "FileKind.h"

#include <QStringList>

namespace {

bool isSeparator(QChar c)
{
#ifdef Q_OS_WIN
    return c == u'/' || c == u'\\';
#else
    return c == u'/';
#endif
}

const QStringList &mediaKinds()
{
    static const QStringList kinds { "MPG", "AVI", "MOV", "WAV", "MP2", "MP3", "MPEG", "WMV" };
    return kinds;
}

const QStringList &otherHeaderKinds()
{
    static const QStringList kinds { "LZH", "ZIP", "EXE", "RAR", "JPG", "JPEG", "GIF", "PNG", "BMP" };
    return kinds;
}

} // namespace

QString FileNameOf(const QString &path)
{
    qsizetype end = path.size();
    while (end > 0 && isSeparator(path.at(end - 1)))
        --end;
    if (end == 0)
        return path;
    qsizetype start = end;
    while (start > 0 && !isSeparator(path.at(start - 1)))
        --start;
    return path.mid(start, end - start);
}

QString KindOf(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return QStringLiteral("不明");
    return name.mid(dot + 1).toUpper();
}

bool IsMediaKind(const QString &kind)
{
    return mediaKinds().contains(kind);
}

bool IsHeaderKind(const QString &kind)
{
    return IsMediaKind(kind) || otherHeaderKinds().contains(kind);
}
