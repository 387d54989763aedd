#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// How the program's text files are read and written.
//
// Written: code page 932 when every text of the file fits it, otherwise the
// whole file as UTF-8 with a byte-order mark. Read: a byte-order mark means
// UTF-8; a file that is valid UTF-8 throughout and holds non-ASCII bytes is
// UTF-8 too (edited in a modern editor); anything else is code page 932.
enum class TextEncoding { Cp932, Utf8, Utf8WithBom };

namespace TextCodec {

inline constexpr char Utf8Bom[] = "\xEF\xBB\xBF";

TextEncoding detect(QByteArrayView fileBytes);
// The bytes of fileBytes behind its byte-order mark, if any.
QByteArrayView body(QByteArrayView fileBytes, TextEncoding encoding);

// Decodes a piece of the body (a line, say); undecodable bytes become
// U+FFFD and are added to bad. The result holds no spare capacity.
QString decode(QByteArrayView bytes, TextEncoding encoding, qint64 &bad);
// The same into out, which has room for bytes.size() units; returns the
// number of units written.
qsizetype decodeInto(QByteArrayView bytes, TextEncoding encoding, char16_t *out, qint64 &bad);

// Number of invalid UTF-8 sequences in bytes (0: valid UTF-8).
qint64 invalidUtf8Sequences(QByteArrayView bytes);

// Whether text fits code page 932.
bool fitsCp932(QStringView text);
// The byte-order mark when encoding is Utf8WithBom, else nothing.
QByteArray preamble(TextEncoding encoding);
// Appends text in encoding (Cp932: text must fit).
void encodeAppend(QStringView text, TextEncoding encoding, QByteArray &out);

} // namespace TextCodec

// Chooses the encoding of a file from its texts, fed one at a time (lines,
// or a row's fields; they are joined by ASCII separators and line ends).
// Code page 932 when every text fits it and the bytes can't be taken for
// UTF-8 when the file is read again: half-width katakana, for one, can
// form valid UTF-8 ("ﾃｽﾄｶ" is C3 BD C4 B6), and such a file would come back
// as other letters. Otherwise UTF-8 with a byte-order mark.
class EncodingChooser
{
public:
    void add(QStringView text);
    TextEncoding encoding() const;

private:
    bool m_fits = true;
    bool m_nonAscii = false;
    bool m_notUtf8 = false; // some non-ASCII bytes are invalid UTF-8
    QByteArray m_scratch;
};
