// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The code page 932 decoder and encoder. Properties: one unit at most per
// byte; every character decoded from valid bytes can be written back, and
// what is written decodes to the same text; only undecodable bytes give
// U+FFFD, and they are counted.
#include "FuzzCheck.h"

#include "Cp932Codec.h"
#include "TextCodec.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Bytes(data, size);
    const Cp932Codec &codec = Cp932Codec::instance();

    // Exactly as much room as the codec asks for, so ASan sees any overrun.
    std::vector<char16_t> units(size);
    qint64 bad = 0;
    const qsizetype length = codec.decode(bytes, units.data(), bad);
    FUZZ_CHECK(length >= 0 && length <= qsizetype(size), QString::number(length));
    const QString text(reinterpret_cast<const QChar *>(units.data()), length);
    FUZZ_CHECK(bad == text.count(QChar(0xFFFD)), QStringLiteral("%1 counted").arg(bad));

    qint64 bad2 = 0;
    FUZZ_CHECK(TextCodec::decode(bytes, TextEncoding::Cp932, bad2) == text, Escaped(text));
    FUZZ_CHECK(bad2 == bad, QString::number(bad2));

    QString good = text;
    good.remove(QChar(0xFFFD));
    FUZZ_CHECK(codec.fits(good), Escaped(good));
    QByteArray encoded;
    codec.encodeAppend(good, encoded);
    std::vector<char16_t> again(size_t(encoded.size()));
    qint64 badAgain = 0;
    const qsizetype againLength = codec.decode(encoded, again.data(), badAgain);
    FUZZ_CHECK(badAgain == 0, Escaped(good));
    FUZZ_CHECK(QString(reinterpret_cast<const QChar *>(again.data()), againLength) == good, Escaped(good));
    if (bad == 0)
        FUZZ_CHECK(encoded.size() == bytes.size(), Escaped(good));
    return 0;
}
