// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The header signature search over the probe's 513-byte header. Properties:
// the result is one of the known codec and format texts or empty; zero
// bytes after a short file's bytes change nothing.
#include "FuzzCheck.h"

#include "SniffHeader.h"

#include <QSet>

namespace {

const QSet<QString> &knownResults()
{
    static const QSet<QString> known {
        QString(),
        QStringLiteral("WMV"),
        QStringLiteral("MPEG-4 V1"),
        QStringLiteral("MPEG-4 V2"),
        QStringLiteral("MPEG-4 V3"),
        QStringLiteral("VP3"),
        QStringLiteral("Motion Jpeg"),
        QStringLiteral("Huffyuv"),
        QStringLiteral("MPEG-2"),
        QStringLiteral("MPG"),
        QStringLiteral("DivX3"),
        QStringLiteral("DivX"),
        QStringLiteral("XVD"),
        QStringLiteral("XviD"),
        QStringLiteral("(DivX+Ogg)"),
        QStringLiteral("(XviD+Ogg)"),
        QStringLiteral("ZIP"),
        QStringLiteral("LZH"),
        QStringLiteral("EXE"),
        QStringLiteral("RAR"),
        QStringLiteral("JPG"),
        QStringLiteral("BMP"),
        QStringLiteral("PNG"),
        QStringLiteral("GIF"),
    };
    return known;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    constexpr qsizetype HeaderSize = 513;
    // The probe reads at most 513 bytes, and hands no more.
    const QByteArray bytes = Bytes(data, std::min<size_t>(size, HeaderSize));
    const QString codec = SniffHeader(bytes);
    FUZZ_CHECK(knownResults().contains(codec), Escaped(codec));
    // Zero bytes after a short header match nothing.
    if (bytes.size() < HeaderSize) {
        QByteArray padded = bytes;
        padded.append(HeaderSize - bytes.size(), '\0');
        FUZZ_CHECK(SniffHeader(padded) == codec, Escaped(codec));
    }
    return 0;
}
