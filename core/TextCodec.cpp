#include "TextCodec.h"

#include "Cp932Codec.h"

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
};

Utf8Scan scanUtf8(QByteArrayView bytes, bool stopAtFirstError)
{
    Utf8Scan scan;
    const auto *p = reinterpret_cast<const quint8 *>(bytes.data());
    const auto *end = p + bytes.size();
    while (p < end) {
        // ASCII runs, eight bytes at a time.
        while (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            if (word & 0x8080808080808080ULL)
                break;
            p += 8;
        }
        if (p == end)
            break;
        if (*p < 0x80) {
            ++p;
            continue;
        }
        scan.nonAscii = true;
        const int length = validSequenceLength(p, end);
        if (length == 0) {
            ++scan.invalid;
            if (stopAtFirstError)
                return scan;
            ++p;
        } else {
            p += length;
        }
    }
    return scan;
}

} // namespace

namespace TextCodec {

TextEncoding detect(QByteArrayView fileBytes)
{
    if (hasBom(fileBytes))
        return TextEncoding::Utf8WithBom;
    const Utf8Scan scan = scanUtf8(fileBytes, true);
    if (scan.invalid == 0 && scan.nonAscii)
        return TextEncoding::Utf8;
    return TextEncoding::Cp932;
}

QByteArrayView body(QByteArrayView fileBytes, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8WithBom && hasBom(fileBytes))
        return fileBytes.sliced(3);
    return fileBytes;
}

qint64 invalidUtf8Sequences(QByteArrayView bytes)
{
    return scanUtf8(bytes, false).invalid;
}

qsizetype decodeInto(QByteArrayView bytes, TextEncoding encoding, char16_t *out, qint64 &bad)
{
    if (encoding == TextEncoding::Cp932)
        return Cp932Codec::instance().decode(bytes, out, bad);
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
    return {};
}

void encodeAppend(QStringView text, TextEncoding encoding, QByteArray &out)
{
    if (encoding == TextEncoding::Cp932)
        Cp932Codec::instance().encodeAppend(text, out);
    else
        out.append(text.toUtf8());
}

} // namespace TextCodec

void EncodingChooser::add(QStringView text)
{
    if (!m_fits)
        return;
    if (!TextCodec::fitsCp932(text)) {
        m_fits = false;
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
    m_nonAscii = m_nonAscii || scan.nonAscii;
    m_notUtf8 = scan.invalid > 0;
}

TextEncoding EncodingChooser::encoding() const
{
    if (!m_fits || (m_nonAscii && !m_notUtf8))
        return TextEncoding::Utf8WithBom;
    return TextEncoding::Cp932;
}
