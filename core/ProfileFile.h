// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "FileResult.h"

#include <QString>
#include <QStringList>

class QIODevice;

// A sectioned key=value profile file of our own, read and written as the
// platform's profile functions do: section and key names match without
// regard to case or surrounding blanks, lines starting with ';' are
// comments, and lines, keys and sections the program does not know keep
// their places. Written with CR LF in code page 932 (UTF-8 with a mark when
// some text does not fit).
class ProfileFile
{
public:
    static constexpr int BufferSize = 255; // the reader's buffer, NUL included

    // Reads the file; a missing file gives an empty profile and succeeds.
    FileResult load(const QString &path);
    void setText(QByteArrayView fileBytes);

    // The value as GetIniString gives it: the default when the key is
    // missing; at most BufferSize - 1 characters, cut in front of a NUL.
    QString string(const QString &section, const QString &key, const QString &defaultValue) const;
    // The whole number at the start of the value ("1299.969" gives 1299,
    // "-20" gives -20, "abc" gives 0); the default when the key is missing
    // or its value empty.
    qint64 integer(const QString &section, const QString &key, qint64 defaultValue) const;

    // Sets key=value, replacing the key's line, or adding it at the end of
    // its section, or adding the section at the end of the file.
    void setString(const QString &section, const QString &key, const QString &value);

    const QStringList &lines() const { return m_lines; }
    QByteArray toBytes() const;
    FileResult save(const QString &path) const;

private:
    qsizetype sectionLine(const QString &section) const; // -1: none
    qsizetype keyLine(qsizetype sectionAt, const QString &key) const;
    bool rawValue(const QString &section, const QString &key, QString &value) const;

    QStringList m_lines;
};

// Leading whole number of a text, as the profile's integer reader takes
// it: blanks, a sign, digits; 0 when there are none; saturated at the
// 64-bit limits.
qint64 LeadingWholeNumber(QStringView text);
