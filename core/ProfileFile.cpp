// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "ProfileFile.h"

#include "TextFile.h"

#include <limits>

namespace {

bool isSectionHeader(QStringView line)
{
    const QStringView t = line.trimmed();
    return t.startsWith(u'[') && t.contains(u']');
}

QStringView sectionName(QStringView line)
{
    const QStringView t = line.trimmed();
    return t.sliced(1, t.indexOf(u']') - 1).trimmed();
}

bool isComment(QStringView line)
{
    return line.trimmed().startsWith(u';');
}

// Key of a key=value line, or an empty view.
QStringView keyOf(QStringView line)
{
    if (isComment(line) || isSectionHeader(line))
        return {};
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return {};
    return line.first(eq).trimmed();
}

QString valueOf(QStringView line)
{
    QStringView value = line.sliced(line.indexOf(u'=') + 1).trimmed();
    // The profile reader drops one pair of quotes around a value.
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    return value.toString();
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

qint64 LeadingWholeNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    constexpr qint64 Max = std::numeric_limits<qint64>::max();
    qint64 value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const int digit = text[i].unicode() - u'0';
        value = value > (Max - digit) / 10 ? Max : value * 10 + digit;
    }
    return negative ? -value : value;
}

FileResult ProfileFile::load(const QString &path)
{
    m_lines.clear();
    const TextFile::Bytes file = TextFile::read(path, TextFile::MaxSmallFileBytes);
    if (!file.ok)
        return FileResult::readFailure(TextFile::displayName(path), file.error);
    setText(file.bytes);
    return FileResult::success(TextFile::displayName(path));
}

void ProfileFile::setText(QByteArrayView fileBytes)
{
    m_lines = TextFile::decodeLines(fileBytes).lines;
}

qsizetype ProfileFile::sectionLine(const QString &section) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (isSectionHeader(m_lines[i]) && sameName(sectionName(m_lines[i]), section))
            return i;
    }
    return -1;
}

qsizetype ProfileFile::keyLine(qsizetype sectionAt, const QString &key) const
{
    for (qsizetype i = sectionAt + 1; i < m_lines.size() && !isSectionHeader(m_lines[i]); ++i) {
        const QStringView k = keyOf(m_lines[i]);
        if (!k.isEmpty() && sameName(k, key))
            return i;
    }
    return -1;
}

bool ProfileFile::rawValue(const QString &section, const QString &key, QString &value) const
{
    const qsizetype s = sectionLine(section);
    if (s < 0)
        return false;
    const qsizetype k = keyLine(s, key);
    if (k < 0)
        return false;
    value = valueOf(m_lines[k]);
    return true;
}

QString ProfileFile::string(const QString &section, const QString &key, const QString &defaultValue) const
{
    QString value;
    if (!rawValue(section, key, value))
        value = defaultValue;
    // The reader copies into a buffer of BufferSize characters, NUL last;
    // the caller takes the text in front of the first NUL.
    value.truncate(BufferSize - 1);
    const qsizetype nul = value.indexOf(QChar(0));
    if (nul >= 0)
        value.truncate(nul);
    return value;
}

qint64 ProfileFile::integer(const QString &section, const QString &key, qint64 defaultValue) const
{
    QString value;
    if (!rawValue(section, key, value) || value.isEmpty())
        return defaultValue;
    return LeadingWholeNumber(value);
}

void ProfileFile::setString(const QString &section, const QString &key, const QString &value)
{
    const QString line = key + QLatin1Char('=') + value;
    const qsizetype s = sectionLine(section);
    if (s < 0) {
        m_lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        m_lines.append(line);
        return;
    }
    const qsizetype k = keyLine(s, key);
    if (k >= 0) {
        m_lines[k] = line;
        return;
    }
    // After the section's last key line (blank lines and comments that
    // follow it stay in front of the next section).
    qsizetype insertAt = s + 1;
    for (qsizetype i = s + 1; i < m_lines.size() && !isSectionHeader(m_lines[i]); ++i) {
        if (!keyOf(m_lines[i]).isEmpty())
            insertAt = i + 1;
    }
    m_lines.insert(insertAt, line);
}

QByteArray ProfileFile::toBytes() const
{
    return TextFile::encodeLines(m_lines);
}

FileResult ProfileFile::save(const QString &path) const
{
    return TextFile::replace(path, toBytes());
}
