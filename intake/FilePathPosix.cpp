// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "FilePath.h"

#include "FileKind.h"
#include "TextCodec.h"

#include <QFile>
#include <QUrl>

namespace {

QString decodeName(const QByteArray &bytes)
{
    if (TextCodec::invalidUtf8Sequences(bytes) == 0)
        return QString::fromUtf8(bytes);
    qint64 bad = 0;
    const QString cp932 = TextCodec::decode(bytes, TextEncoding::Cp932, bad);
    return bad == 0 ? cp932 : QString::fromUtf8(bytes);
}

} // namespace

FilePath::FilePath(const QString &text)
    : m_native(QFile::encodeName(text))
{ }

FilePath FilePath::fromNative(const Native &native)
{
    FilePath path;
    path.m_native = native;
    return path;
}

// QUrl::toLocalFile() would decode the path as UTF-8 and turn every other
// byte into U+FFFD, which names no file; the URL's percent-encoding holds
// the bytes themselves. A host is kept as toLocalFile() keeps it.
FilePath FilePath::fromLocalFileUrl(const QUrl &url)
{
    if (!url.isLocalFile() || url.toLocalFile().isEmpty())
        return {};
    QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    const QString host = url.host();
    if (!host.isEmpty())
        bytes.prepend("//" + QFile::encodeName(host));
    return fromNative(bytes);
}

FilePath FilePath::fromArgument(const char *argument)
{
    return fromNative(QByteArray(argument));
}

QString FilePath::text() const
{
    return decodeName(m_native);
}

// The name is cut from the bytes, where only "/" separates, before it is
// decoded: a folder's undecodable name does not spoil the file's name.
// Latin-1 maps each byte to one character and back.
QString FilePath::fileName() const
{
    return decodeName(FileNameOf(QString::fromLatin1(m_native)).toLatin1());
}
