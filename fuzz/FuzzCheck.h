// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>

// A property that does not hold is a finding like a crash: print what was
// expected and stop, so libFuzzer saves the input.
#define FUZZ_CHECK(condition, what)                                                                                    \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            FuzzFail(__FILE__, __LINE__, #condition, what);                                                            \
    } while (false)

[[noreturn]] inline void FuzzFail(const char *file, int line, const char *condition, const QString &what)
{
    std::fprintf(stderr, "%s:%d: property failed: %s\n  %s\n", file, line, condition, what.toUtf8().constData());
    std::abort();
}

// Escaped form of a text for the report (non-ASCII as \uXXXX).
inline QString Escaped(const QString &text)
{
    QString out;
    for (QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
            out += c;
        else
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return out;
}

inline QByteArray Bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}
