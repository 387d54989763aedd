// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "LineSplitter.h"

#include <algorithm>

bool LineSplitter::next(QByteArrayView &line)
{
    if (m_rest.isEmpty())
        return false;
    // The next LF is remembered between lines, so a file of lone CRs is not
    // searched to its end once per line.
    if (m_lf == -2)
        m_lf = m_rest.indexOf('\n');
    const qsizetype searchEnd = m_lf < 0 ? m_rest.size() : m_lf;
    const qsizetype cr = m_rest.first(searchEnd).indexOf('\r');
    qsizetype lineEnd = searchEnd;
    qsizetype next = m_lf < 0 ? m_rest.size() : m_lf + 1;
    if (cr >= 0) {
        lineEnd = cr;
        next = cr + 1 == m_lf ? m_lf + 1 : cr + 1;
    }
    line = m_rest.first(lineEnd);
    m_rest = m_rest.sliced(next);
    if (m_lf >= 0)
        m_lf = m_lf < next ? -2 : m_lf - next;
    return true;
}

qint64 LineSplitter::count(QByteArrayView body)
{
    qint64 lines = std::count(body.begin(), body.end(), '\n');
    // A CR ends a line of its own unless an LF follows it.
    for (qsizetype cr = body.indexOf('\r'); cr >= 0; cr = body.indexOf('\r', cr + 1)) {
        if (cr + 1 == body.size() || body[cr + 1] != '\n')
            ++lines;
    }
    if (!body.isEmpty() && body.back() != '\n' && body.back() != '\r')
        ++lines;
    return lines;
}
