// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The UTF-8 side of the text codec: the validity scan, the encoding
// detection and the decoder. Properties: valid UTF-8 decodes as Qt decodes
// it and writes back to the same bytes; the count of invalid sequences is 0
// exactly for valid input; detection follows the rule (a byte-order mark is
// UTF-8; without NUL bytes, valid UTF-8 that is not plain ASCII is UTF-8 when
// it holds a character beyond two bytes or is not valid code page 932).
#include "FuzzCheck.h"

#include "Cp932Codec.h"
#include "TextCodec.h"

#include <QStringDecoder>

#include <vector>

namespace {

bool isAscii(QByteArrayView bytes)
{
    for (char c : bytes) {
        if (quint8(c) >= 0x80)
            return false;
    }
    return true;
}

bool beyondTwoBytes(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x800)
            return true;
    }
    return false;
}

bool validCp932(QByteArrayView bytes)
{
    std::vector<char16_t> units(size_t(bytes.size()));
    qint64 bad = 0;
    Cp932Codec::instance().decode(bytes, units.data(), bad);
    return bad == 0;
}

QString Reference(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Bytes(data, size);
    const qint64 invalid = TextCodec::invalidUtf8Sequences(bytes);
    // Qt puts U+FFFD for every invalid sequence, so only valid input comes
    // back unchanged. A leading U+FEFF is text like any other here: the
    // file's byte-order mark is taken off before lines are decoded.
    const QString reference = Reference(bytes);
    const bool valid = reference.toUtf8() == bytes;
    FUZZ_CHECK((invalid == 0) == valid, QStringLiteral("%1 invalid sequences").arg(invalid));

    // Exactly as much room as the decoder is promised.
    std::vector<char16_t> units(size);
    qint64 bad = 0;
    const qsizetype length = TextCodec::decodeInto(bytes, TextEncoding::Utf8WithBom, units.data(), bad);
    FUZZ_CHECK(length >= 0 && length <= qsizetype(size), QString::number(length));
    FUZZ_CHECK(bad == invalid, QString::number(bad));
    const QString text(reinterpret_cast<const QChar *>(units.data()), length);
    if (invalid == 0) {
        FUZZ_CHECK(text == reference, Escaped(text) + QStringLiteral(" / expected ") + Escaped(reference));
        QByteArray written;
        TextCodec::encodeAppend(text, TextEncoding::Utf8, written);
        FUZZ_CHECK(written == bytes, Escaped(text));
    } else {
        FUZZ_CHECK(text.contains(QChar(0xFFFD)), Escaped(text));
    }

    const TextEncoding detected = TextCodec::detect(bytes);
    const bool bom = bytes.startsWith(TextCodec::Utf8Bom);
    // A file with NUL bytes may read as UTF-16; one that does not is judged
    // as any other file.
    if (detected == TextEncoding::Utf16LE || detected == TextEncoding::Utf16BE) {
        FUZZ_CHECK(!bom && bytes.contains('\0'), QStringLiteral("UTF-16 without a NUL byte"));
        return 0;
    }
    const bool utf8 = invalid == 0 && !isAscii(bytes) && (beyondTwoBytes(reference) || !validCp932(bytes));
    const TextEncoding expected = bom ? TextEncoding::Utf8WithBom : utf8 ? TextEncoding::Utf8 : TextEncoding::Cp932;
    FUZZ_CHECK(detected == expected, QStringLiteral("detected %1").arg(int(detected)));
    const QByteArrayView body = TextCodec::body(bytes, detected);
    FUZZ_CHECK(body.size() == bytes.size() - (bom ? 3 : 0), QString::number(body.size()));
    return 0;
}
