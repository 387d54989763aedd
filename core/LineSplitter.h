// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QByteArrayView>

// Cuts the body of a text file into lines. A line ends at CR LF, at LF or at
// a lone CR (old Mac files); a last line without its end is a line too, and
// a file that ends with a line end has no empty line after it. The body is
// in code page 932, UTF-8 or ASCII: there a CR or LF byte is never part of
// another character.
//
//   LineSplitter lines(body);
//   QByteArrayView line;
//   while (lines.next(line))
//       use(line);
class LineSplitter
{
public:
    explicit LineSplitter(QByteArrayView body)
        : m_rest(body)
    { }

    // The next line without its end; false when the body is used up.
    bool next(QByteArrayView &line);

    // The number of lines next() gives for body.
    static qint64 count(QByteArrayView body);

private:
    QByteArrayView m_rest;
    qsizetype m_lf = -2; // offset of the next LF in m_rest; -1: none, -2: not looked for
};
