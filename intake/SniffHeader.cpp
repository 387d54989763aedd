// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "SniffHeader.h"

#include <array>
#include <string_view>

namespace {

// Codec signatures, each found anywhere in the header. Every row is tested
// in this order and each match replaces the result: the last match wins.
struct CodecSignature
{
    QByteArrayView bytes;
    const char *result;
};

const std::array<CodecSignature, 18> CodecSignatures { {
    { "\x30\x26\xB2\x75", "WMV" }, // start of the ASF header object identifier
    { "WMV", "WMV" },
    { "MPG4", "MPEG-4 V1" },
    { "MP42", "MPEG-4 V2" },
    { "MP43", "MPEG-4 V3" },
    { "VP31", "VP3" },
    { "MJPG", "Motion Jpeg" },
    { "HFYU", "Huffyuv" },
    { "\xBA\x44", "MPEG-2" }, // "\xBA" "D": MPEG-2 pack header
    { "\xBA\x21", "MPG" }, // "\xBA" "!": MPEG-1 pack header
    { "CDXAfmt", "MPG" }, // RIFF CDXA
    { "MPEG-2", "MPEG-2" },
    { "DIV3", "DivX3" },
    { "DIV4", "DivX" },
    { "DIVX", "DivX" },
    { "VGM", "XVD" },
    { "XVID", "XviD" },
    { "DX50", "DivX" },
} };

// Bytes at a fixed offset, or anywhere in the header.
struct BytesAt
{
    static constexpr qsizetype Anywhere = -1;
    qsizetype offset;
    QByteArrayView bytes;
};

// Container and picture signatures: one or two byte tests that must all
// hold. Tested in this order after the codec signatures; the last match wins.
struct FormatSignature
{
    BytesAt first;
    BytesAt second; // no second test when its bytes are empty
    const char *result;
};

const std::array<FormatSignature, 10> FormatSignatures { {
    { { 0, "PK" }, {}, "ZIP" },
    { { BytesAt::Anywhere, "-lh5-" }, {}, "LZH" },
    { { BytesAt::Anywhere, "program cannot be run in DOS" }, {}, "EXE" },
    { { BytesAt::Anywhere, "Rar!" }, {}, "RAR" },
    { { 1, "\xD8" }, { 6, "JFIF" }, "JPG" },
    { { 1, "\xD8" }, { 6, "Exif" }, "JPG" },
    { { 0, "BM" }, {}, "BMP" },
    { { 1, "PNG" }, {}, "PNG" },
    { { 0, "GIF87a" }, {}, "GIF" },
    { { 0, "GIF89a" }, {}, "GIF" },
} };

constexpr QStringView Undeterminable = u"判別不能";

// The header is small and searched for some thirty signatures per file;
// string_view's search (first byte, then compare) is several times quicker
// here than a general substring search that prepares each needle.
bool containsBytes(QByteArrayView header, QByteArrayView bytes)
{
    const std::string_view hay(header.data(), size_t(header.size()));
    return hay.find(std::string_view(bytes.data(), size_t(bytes.size()))) != std::string_view::npos;
}

bool holds(QByteArrayView header, const BytesAt &test)
{
    if (test.bytes.isEmpty())
        return true;
    if (test.offset == BytesAt::Anywhere)
        return containsBytes(header, test.bytes);
    return test.offset + test.bytes.size() <= header.size()
        && header.sliced(test.offset, test.bytes.size()) == test.bytes;
}

QString codecSignatureResult(QByteArrayView header)
{
    QString result;
    for (const CodecSignature &signature : CodecSignatures) {
        if (containsBytes(header, signature.bytes))
            result = QString::fromLatin1(signature.result);
    }
    return result.isEmpty() ? Undeterminable.toString() : result;
}

QString withOgg(QString result, QByteArrayView header)
{
    const bool ogg = containsBytes(header, "OggS");
    if (result == u"DivX" && ogg)
        result = QStringLiteral("(DivX+Ogg)");
    if (result == u"XviD" && ogg)
        result = QStringLiteral("(XviD+Ogg)");
    return result;
}

QString withFormatSignatures(QString result, QByteArrayView header)
{
    for (const FormatSignature &signature : FormatSignatures) {
        if (holds(header, signature.first) && holds(header, signature.second))
            result = QString::fromLatin1(signature.result);
    }
    return result;
}

} // namespace

QString SniffHeader(QByteArrayView header)
{
    QString result = codecSignatureResult(header);
    result = withOgg(result, header);
    result = withFormatSignatures(result, header);
    return result == Undeterminable ? QString() : result;
}
