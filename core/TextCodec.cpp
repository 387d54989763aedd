// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "TextCodec.h"

#include "Cp932Codec.h"
#include "Utf8Text.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

bool hasBom(QByteArrayView bytes)
{
    return bytes.startsWith(QByteArrayView(TextCodec::Utf8Bom, 3));
}

// Length of the valid UTF-8 sequence at p (lead byte >= 0x80), 0 if invalid.
int validSequenceLength(const quint8 *p, const quint8 *end)
{
    const quint8 b = p[0];
    int length;
    quint8 min2 = 0x80, max2 = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        if (b == 0xE0)
            min2 = 0xA0; // overlong
        if (b == 0xED)
            max2 = 0x9F; // surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        if (b == 0xF0)
            min2 = 0x90;
        if (b == 0xF4)
            max2 = 0x8F;
    } else {
        return 0;
    }
    if (end - p < length)
        return 0;
    if (p[1] < min2 || p[1] > max2)
        return 0;
    for (int i = 2; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

struct Utf8Scan
{
    qint64 invalid = 0;
    bool nonAscii = false;
    int longest = 0; // longest valid sequence
};

Utf8Scan scanUtf8(QByteArrayView bytes, bool stopAtFirstError)
{
    Utf8Scan scan;
    const auto *p = reinterpret_cast<const quint8 *>(bytes.data());
    const auto *end = p + bytes.size();
    while (p < end) {
        p += Utf8Text::asciiRun(reinterpret_cast<const char *>(p), reinterpret_cast<const char *>(end));
        if (p == end)
            break;
        scan.nonAscii = true;
        const int length = validSequenceLength(p, end);
        if (length == 0) {
            ++scan.invalid;
            if (stopAtFirstError)
                return scan;
            ++p;
        } else {
            scan.longest = std::max(scan.longest, length);
            p += length;
        }
    }
    return scan;
}

constexpr char16_t ReplacementChar = 0xFFFD;

// Utf16LE or Utf16BE for a file that looks like UTF-16, else Cp932. No
// text file of ours holds a NUL byte, and UTF-16 holds one in every ASCII
// character: a file with NUL bytes is UTF-16 when it starts with a UTF-16
// mark, or when at least one unit in sixteen has a zero on one side and the
// other side has at most half as many.
TextEncoding utf16Of(QByteArrayView bytes)
{
    if (!bytes.contains('\0'))
        return TextEncoding::Cp932;
    if (bytes.startsWith("\xFF\xFE"))
        return TextEncoding::Utf16LE;
    if (bytes.startsWith("\xFE\xFF"))
        return TextEncoding::Utf16BE;
    qint64 zeros[2] = { 0, 0 }; // at even and at odd offsets
    const qsizetype pairs = bytes.size() / 2;
    for (qsizetype i = 0; i < 2 * pairs; ++i)
        zeros[i & 1] += bytes[i] == '\0';
    for (int side = 0; side < 2; ++side) {
        const qint64 here = zeros[side];
        const qint64 there = zeros[1 - side];
        if (here > 0 && here * 16 >= pairs && there * 2 <= here)
            return side == 1 ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
    }
    return TextEncoding::Cp932;
}

bool isUtf16(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE;
}

bool hasUtf16Bom(QByteArrayView bytes, TextEncoding encoding)
{
    if (bytes.size() < 2)
        return false;
    const quint8 first = quint8(bytes[0]);
    const quint8 second = quint8(bytes[1]);
    return encoding == TextEncoding::Utf16LE ? first == 0xFF && second == 0xFE : first == 0xFE && second == 0xFF;
}

// Decodes UTF-16 units into out (room for bytes.size() / 2 + 1 units).
qsizetype decodeUtf16(QByteArrayView bytes, bool bigEndian, char16_t *out, qint64 &bad)
{
    const auto *p = reinterpret_cast<const quint8 *>(bytes.data());
    const qsizetype units = bytes.size() / 2;
    const auto unitAt = [p, bigEndian](qsizetype i) {
        const quint8 a = p[2 * i];
        const quint8 b = p[2 * i + 1];
        return char16_t(bigEndian ? a << 8 | b : b << 8 | a);
    };
    char16_t *o = out;
    for (qsizetype i = 0; i < units; ++i) {
        const char16_t unit = unitAt(i);
        if (QChar::isHighSurrogate(unit) && i + 1 < units && QChar::isLowSurrogate(unitAt(i + 1))) {
            *o++ = unit;
            *o++ = unitAt(++i);
        } else if (QChar::isSurrogate(unit)) {
            *o++ = ReplacementChar;
            ++bad;
        } else {
            *o++ = unit;
        }
    }
    if (bytes.size() % 2 != 0) {
        *o++ = ReplacementChar;
        ++bad;
    }
    return o - out;
}

} // namespace

namespace TextCodec {

TextEncoding detect(QByteArrayView fileBytes)
{
    if (hasBom(fileBytes))
        return TextEncoding::Utf8WithBom;
    const TextEncoding utf16 = utf16Of(fileBytes);
    if (utf16 != TextEncoding::Cp932)
        return utf16;
    const Utf8Scan scan = scanUtf8(fileBytes, true);
    if (scan.invalid != 0 || !scan.nonAscii)
        return TextEncoding::Cp932;
    if (scan.longest >= 3 || !Cp932Codec::instance().isValid(fileBytes))
        return TextEncoding::Utf8;
    return TextEncoding::Cp932;
}

QByteArrayView body(QByteArrayView fileBytes, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8WithBom && hasBom(fileBytes))
        return fileBytes.sliced(3);
    if (isUtf16(encoding) && hasUtf16Bom(fileBytes, encoding))
        return fileBytes.sliced(2);
    return fileBytes;
}

QByteArray utf16ToUtf8(QByteArrayView body, TextEncoding encoding, qint64 &bad)
{
    std::vector<char16_t> units(size_t(body.size() / 2 + 1));
    const qsizetype length = decodeUtf16(body, encoding == TextEncoding::Utf16BE, units.data(), bad);
    return QStringView(units.data(), length).toUtf8();
}

qint64 invalidUtf8Sequences(QByteArrayView bytes)
{
    return scanUtf8(bytes, false).invalid;
}

bool isValidUtf8(QByteArrayView bytes)
{
    return scanUtf8(bytes, true).invalid == 0;
}

qsizetype decodeInto(QByteArrayView bytes, TextEncoding encoding, char16_t *out, qint64 &bad)
{
    if (encoding == TextEncoding::Cp932)
        return Cp932Codec::instance().decode(bytes, out, bad);
    if (isUtf16(encoding))
        return decodeUtf16(bytes, encoding == TextEncoding::Utf16BE, out, bad);
    if (encoding == TextEncoding::Utf8WithBom)
        bad += invalidUtf8Sequences(bytes);
    // Stateless: every piece is whole; Qt puts U+FFFD for an invalid sequence.
    // The file's mark is already off: a U+FEFF at the start of a piece is text.
    QStringDecoder decoder(
        QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QChar *end = decoder.appendToBuffer(reinterpret_cast<QChar *>(out), bytes);
    return end - reinterpret_cast<QChar *>(out);
}

QString decode(QByteArrayView bytes, TextEncoding encoding, qint64 &bad)
{
    thread_local std::vector<char16_t> scratch;
    if (scratch.size() < size_t(bytes.size()))
        scratch.resize(size_t(bytes.size()));
    const qsizetype length = decodeInto(bytes, encoding, scratch.data(), bad);
    return QString(reinterpret_cast<const QChar *>(scratch.data()), length);
}

bool fitsCp932(QStringView text)
{
    return Cp932Codec::instance().fits(text);
}

QByteArray preamble(TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8WithBom)
        return QByteArray(Utf8Bom, 3);
    if (encoding == TextEncoding::Utf16LE)
        return QByteArray("\xFF\xFE", 2);
    if (encoding == TextEncoding::Utf16BE)
        return QByteArray("\xFE\xFF", 2);
    return {};
}

void encodeAppend(QStringView text, TextEncoding encoding, QByteArray &out)
{
    if (encoding == TextEncoding::Cp932) {
        Cp932Codec::instance().encodeAppend(text, out);
    } else if (isUtf16(encoding)) {
        const bool bigEndian = encoding == TextEncoding::Utf16BE;
        for (QChar c : text) {
            const char high = char(c.unicode() >> 8);
            const char low = char(c.unicode() & 0xFF);
            out.append(bigEndian ? high : low).append(bigEndian ? low : high);
        }
    } else {
        out.append(text.toUtf8());
    }
}

void encodeAppend(QUtf8StringView text, TextEncoding encoding, QByteArray &out)
{
    if (encoding == TextEncoding::Cp932) {
        Cp932Codec::instance().encodeAppend(text, out);
    } else if (isUtf16(encoding)) {
        thread_local std::vector<char16_t> units;
        encodeAppend(Utf8Text::toUtf16(text, units), encoding, out);
    } else {
        out.append(text.data(), text.size());
    }
}

} // namespace TextCodec

void EncodingDetector::add(QByteArrayView piece)
{
    if (!m_started) {
        m_started = true;
        m_bom = hasBom(piece);
    }
    if (m_bom || m_nul)
        return;
    if (piece.contains('\0')) {
        m_nul = true;
        return;
    }
    if (m_invalidUtf8)
        return;
    const Utf8Scan scan = scanUtf8(piece, true);
    m_invalidUtf8 = scan.invalid != 0;
    if (m_invalidUtf8)
        return;
    m_nonAscii = m_nonAscii || scan.nonAscii;
    m_longest = std::max(m_longest, scan.longest);
    if (scan.nonAscii && !m_invalidCp932)
        m_invalidCp932 = !Cp932Codec::instance().isValid(piece);
}

TextEncoding EncodingDetector::encoding() const
{
    if (m_bom)
        return TextEncoding::Utf8WithBom;
    if (m_invalidUtf8 || !m_nonAscii)
        return TextEncoding::Cp932;
    if (m_longest >= 3 || m_invalidCp932)
        return TextEncoding::Utf8;
    return TextEncoding::Cp932;
}

void EncodingChooser::add(QUtf8StringView text)
{
    if (!m_fits || m_nul)
        return;
    const bool nul = std::memchr(text.data(), 0, size_t(text.size())) != nullptr;
    // ASCII other than NUL fits and is read back as it is.
    if (!nul && Utf8Text::isAscii(text))
        return;
    if (m_notUtf8) {
        // Only a text that does not fit or a NUL can change the choice now.
        m_fits = Cp932Codec::instance().fits(text);
        m_nul = m_fits && nul;
        return;
    }
    add(Utf8Text::toUtf16(text, m_units));
}

void EncodingChooser::add(QStringView text)
{
    if (!m_fits || m_nul)
        return;
    if (!TextCodec::fitsCp932(text)) {
        m_fits = false;
        return;
    }
    if (text.contains(QChar(0))) {
        m_nul = true;
        return;
    }
    if (m_notUtf8)
        return; // already unambiguous
    const bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (ascii)
        return;
    m_scratch.resize(0);
    TextCodec::encodeAppend(text, TextEncoding::Cp932, m_scratch);
    const Utf8Scan scan = scanUtf8(m_scratch, true);
    m_notUtf8 = scan.invalid > 0;
    m_longUtf8 = m_longUtf8 || scan.longest >= 3;
}

TextEncoding EncodingChooser::encoding() const
{
    if (!m_fits || m_nul || (m_longUtf8 && !m_notUtf8))
        return TextEncoding::Utf8WithBom;
    return TextEncoding::Cp932;
}
