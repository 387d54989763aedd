// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "SaveFile.h"

#include "FileErrorText.h"
#include "NativeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>

#include <cerrno>

namespace {

const QString Marker = QStringLiteral(".zarumi-");
const QString Suffix = QStringLiteral(".tmp");
constexpr int CreateAttempts = 100;

bool isRandomCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9');
}

QString randomText()
{
    static const char Characters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString text;
    for (int i = 0; i < SaveFile::RandomLength; ++i)
        text += QLatin1Char(Characters[QRandomGenerator::global()->bounded(int(sizeof Characters) - 1)]);
    return text;
}

// The file a path names once links are followed (as far as they go: a
// link to a missing file names that missing file).
QString followLinks(const QString &path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? path : info.filePath();
}

// A file that may not be written is not replaced either (a rename would
// not ask). The reason is the one an open for writing gives: no permission,
// a read-only file system. Appending nothing leaves the file as it is.
int whyNotWritable(const QString &path)
{
    QFile file(path);
    errno = 0;
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        return EACCES;
    return errno != 0 ? errno : EACCES;
}

} // namespace

SaveFile::SaveFile(const QString &path)
    : m_path(path)
{ }

SaveFile::~SaveFile()
{
    if (!m_committed)
        cancel();
}

QString SaveFile::temporaryName(const QString &fileName, const QString &random)
{
    return fileName + Marker + random + Suffix;
}

bool SaveFile::isTemporaryName(const QString &name, const QString &fileName)
{
    if (name.size() != fileName.size() + Marker.size() + RandomLength + Suffix.size())
        return false;
    if (!name.startsWith(fileName + Marker) || !name.endsWith(Suffix))
        return false;
    const QStringView random = QStringView(name).sliced(fileName.size() + Marker.size(), RandomLength);
    return std::all_of(random.begin(), random.end(), isRandomCharacter);
}

bool SaveFile::fail(int errorNumber, QFileDevice::FileError kind)
{
    m_reason = FileErrorText::reason(errorNumber, kind);
    return false;
}

bool SaveFile::open()
{
    m_target = followLinks(m_path);
    const QFileInfo existing(m_target);
    if (existing.isDir())
        return fail(EISDIR, QFileDevice::OpenError);
    if (existing.exists() && !existing.isWritable())
        return fail(whyNotWritable(m_target), QFileDevice::OpenError);
    if (!createTemporary(existing.exists()))
        return false;
    // The new file takes the old one's permissions; until it does, it was
    // open to its owner alone.
    if (existing.exists())
        m_temp.setPermissions(existing.permissions());
    return true;
}

bool SaveFile::createTemporary(bool replacing)
{
    const QFileInfo target(m_target);
    const QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered;
    for (int attempt = 0; attempt < CreateAttempts; ++attempt) {
        m_temp.setFileName(target.absoluteDir().filePath(temporaryName(target.fileName(), randomText())));
        errno = 0;
        const bool opened
            = replacing ? m_temp.open(mode, QFileDevice::ReadOwner | QFileDevice::WriteOwner) : m_temp.open(mode);
        if (opened) {
            m_created = true;
            return true;
        }
        if (errno != EEXIST)
            return fail(errno, QFileDevice::OpenError);
    }
    return fail(EEXIST, QFileDevice::OpenError);
}

bool SaveFile::finish()
{
    errno = 0;
    if (!m_temp.flush())
        return fail(errno, QFileDevice::WriteError);
    if (const int error = NativeFile::syncToDisk(m_temp))
        return fail(error, QFileDevice::WriteError);
    errno = 0;
    m_temp.close();
    if (m_temp.error() != QFileDevice::NoError)
        return fail(errno, QFileDevice::WriteError);
    return true;
}

bool SaveFile::commit()
{
    if (const int error = NativeFile::renameOver(m_temp.fileName(), m_target))
        return fail(error, QFileDevice::RenameError);
    m_committed = true;
    return true;
}

void SaveFile::cancel()
{
    if (m_temp.isOpen())
        m_temp.close();
    if (m_created && !m_committed)
        QFile::remove(m_temp.fileName());
    m_created = false;
}
