// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QUtf8StringView>

#include <vector>

// How the program's text files are read and written.
//
// Written: code page 932 when every text of the file fits it, otherwise the
// whole file as UTF-8 with a byte-order mark. Read (detect()), in this order:
// - a UTF-8 byte-order mark means UTF-8;
// - a file holding NUL bytes (no text file of ours does) is UTF-16 when it
//   starts with a UTF-16 mark, or, without one, when at least one unit in
//   sixteen has its zero byte on the same side and the other side has at
//   most half as many zeros: little- or big-endian as the zeros say;
// - a file that is valid UTF-8 throughout, holds non-ASCII bytes and either
//   a sequence of three or more bytes (every kana and kanji) or bytes that
//   are not valid code page 932 is UTF-8 (edited in a modern editor);
// - anything else is code page 932. Half-width katakana in code page 932
//   often forms valid two-byte UTF-8 ("ﾊｲﾃｸ" is CA B2 C3 B8), so such a
//   file stays code page 932.
enum class TextEncoding { Cp932, Utf8, Utf8WithBom, Utf16LE, Utf16BE };

namespace TextCodec {

inline constexpr char Utf8Bom[] = "\xEF\xBB\xBF";

TextEncoding detect(QByteArrayView fileBytes);
// The bytes of fileBytes behind its byte-order mark (UTF-8 or UTF-16), if
// any.
QByteArrayView body(QByteArrayView fileBytes, TextEncoding encoding);

// Decodes a piece of the body (a line, say); undecodable bytes (and, in
// UTF-16, unpaired surrogates and an odd last byte) become U+FFFD and are
// added to bad. The result holds no spare capacity.
QString decode(QByteArrayView bytes, TextEncoding encoding, qint64 &bad);
// The same into out, which has room for bytes.size() units; returns the
// number of units written.
qsizetype decodeInto(QByteArrayView bytes, TextEncoding encoding, char16_t *out, qint64 &bad);

// Number of invalid UTF-8 sequences in bytes (0: valid UTF-8).
qint64 invalidUtf8Sequences(QByteArrayView bytes);
// The same question answered at the first invalid sequence.
bool isValidUtf8(QByteArrayView bytes);
// The UTF-16 body of a file as UTF-8 (see decode() for bad).
QByteArray utf16ToUtf8(QByteArrayView body, TextEncoding encoding, qint64 &bad);

// Whether text fits code page 932.
bool fitsCp932(QStringView text);
// The byte-order mark of Utf8WithBom, Utf16LE and Utf16BE; nothing for
// the others.
QByteArray preamble(TextEncoding encoding);
// Appends text in encoding (Cp932: text must fit).
void encodeAppend(QStringView text, TextEncoding encoding, QByteArray &out);
// The same for valid UTF-8.
void encodeAppend(QUtf8StringView text, TextEncoding encoding, QByteArray &out);

} // namespace TextCodec

// detect() for a file read piece by piece, so that it need not be held
// whole. Each piece must end at a line end (CR or LF) or at the file's end:
// no character of code page 932 or UTF-8 spans one. A file with a NUL byte
// may be UTF-16, which only the whole file tells: detect() it whole.
class EncodingDetector
{
public:
    // The pieces in the file's order, the first from its start.
    void add(QByteArrayView piece);
    bool sawNul() const { return m_nul; }
    bool sawNonAscii() const { return m_nonAscii || m_bom; }
    // What detect() gives for the file so far (unless sawNul()).
    TextEncoding encoding() const;

private:
    bool m_started = false;
    bool m_bom = false;
    bool m_nul = false;
    bool m_invalidUtf8 = false; // the scan stops at the first invalid sequence
    bool m_nonAscii = false;
    bool m_invalidCp932 = false;
    int m_longest = 0;
};

// Chooses the encoding of a file from its texts, fed one at a time (lines,
// or a row's fields; they are joined by ASCII separators and line ends).
// Code page 932 when every text fits it and detect() reads the bytes back
// as code page 932: no NUL (it would be taken for UTF-16) and no code page
// 932 text that is valid UTF-8 with a sequence of three bytes or more.
// Otherwise UTF-8 with a byte-order mark.
class EncodingChooser
{
public:
    void add(QStringView text);
    // The same for valid UTF-8.
    void add(QUtf8StringView text);
    TextEncoding encoding() const;

private:
    bool m_fits = true;
    bool m_nul = false;
    bool m_longUtf8 = false; // some text's bytes hold a valid 3- or 4-byte UTF-8 sequence
    bool m_notUtf8 = false; // some text's bytes are invalid UTF-8
    QByteArray m_scratch;
    std::vector<char16_t> m_units;
};
