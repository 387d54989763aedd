// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "SearchFolding.h"

#include <QChar>
#include <QStringDecoder>

#include <type_traits>

namespace {

constexpr char16_t VoicedMark = 0x3099;
constexpr char16_t SemiVoicedMark = 0x309A;

bool isSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

// Half-width and full-width forms carry a <narrow> or <wide> decomposition
// to their ordinary form (U+FF21 to A, U+FF71 to ア, U+FF9E to U+3099).
char32_t foldWidth(char32_t c)
{
    const QChar::Decomposition tag = QChar::decompositionTag(c);
    if (tag != QChar::Wide && tag != QChar::Narrow)
        return c;
    const QString plain = QChar::decomposition(c);
    return plain.size() == 1 ? char32_t(plain.at(0).unicode()) : c;
}

// Hiragana to katakana: the two blocks are 0x60 apart, letters and the
// iteration marks ゝ ゞ alike.
char32_t foldKana(char32_t c)
{
    if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E)
        return c + 0x60;
    return c;
}

char32_t foldCase(char32_t c)
{
    const char32_t folded = QChar::toCaseFolded(c);
    return folded <= 0xFFFF ? folded : c;
}

char32_t foldOnce(char32_t c)
{
    return foldCase(foldKana(foldWidth(c)));
}

} // namespace

const SearchFolding &SearchFolding::instance()
{
    static const SearchFolding folding;
    return folding;
}

SearchFolding::SearchFolding()
{
    buildUnitTable();
    buildMarkTable();
}

void SearchFolding::buildUnitTable()
{
    // Twice, so that a form reached by one step is folded too (full-width
    // Ａ gives A, then a): the fold of a folded text is the text itself.
    for (char32_t c = 0; c < 0x10000; ++c)
        m_table[c] = char16_t(isSurrogate(c) ? c : foldOnce(foldOnce(c)));
}

// A voiced kana folds to its base letter and the combining mark, the form
// that half-width letters (ｶﾞ) and names written with combining marks
// already have. Every unit then folds on its own, whatever stands around
// it, so a text found by a plain comparison is always found folded too.
void SearchFolding::buildMarkTable()
{
    for (char32_t c = 0; c < 0x10000; ++c) {
        const char16_t folded = m_table[c];
        if (QChar::decompositionTag(folded) != QChar::Canonical)
            continue;
        const QString parts = QChar::decomposition(folded);
        if (parts.size() != 2 || (parts.at(1) != QChar(VoicedMark) && parts.at(1) != QChar(SemiVoicedMark)))
            continue;
        m_table[c] = m_table[parts.at(0).unicode()];
        m_mark[c] = parts.at(1).unicode();
    }
}

QString SearchFolding::fold(QAnyStringView text) const
{
    std::u16string out;
    foldInto(text, out);
    return QString(reinterpret_cast<const QChar *>(out.data()), qsizetype(out.size()));
}

// out is sized once for the longest fold and written through a pointer,
// then cut to what was written.
void SearchFolding::foldInto(QAnyStringView text, std::u16string &out) const
{
    out.resize(size_t(maxFoldedUnits(text)));
    char16_t *const first = out.data();
    char16_t *const last = text.visit([&](auto view) {
        using View = decltype(view);
        if constexpr (std::is_same_v<View, QStringView>)
            return foldUtf16(view, first);
        else if constexpr (std::is_same_v<View, QUtf8StringView>)
            return foldUtf8(view, first);
        else
            return foldLatin1(view, first);
    });
    if (last) {
        out.resize(size_t(last - first));
        return;
    }
    // Not valid UTF-8: folded as the decoder reads it, replacement
    // characters included (a byte order mark at the start is kept).
    const QString decoded = text.visit([](auto view) {
        if constexpr (std::is_same_v<decltype(view), QUtf8StringView>)
            return QString(QStringDecoder(
                QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless)(view));
        else
            return view.toString();
    });
    out.resize(size_t(decoded.size()) * MaxUnitsPerUnit);
    out.resize(size_t(foldUtf16(decoded, out.data()) - out.data()));
}

bool SearchFolding::foldWellFormed(QUtf8StringView text, std::u16string &out) const
{
    out.resize(size_t(text.size()));
    const char16_t *const last = foldUtf8(text, out.data());
    if (!last)
        return false;
    out.resize(size_t(last - out.data()));
    return true;
}

char16_t *SearchFolding::foldUtf16(QStringView text, char16_t *q) const
{
    const char16_t *p = text.utf16();
    const char16_t *const end = p + text.size();
    for (; p != end; ++p) {
        const char16_t c = *p;
        if (c < 0x80) { // ASCII folds to ASCII, without a mark
            *q++ = m_table[c];
        } else if (QChar::isHighSurrogate(c) && p + 1 != end && QChar::isLowSurrogate(p[1])) {
            q = foldSurrogatePair(c, p[1], q);
            ++p;
        } else {
            q = foldUnit(c, q);
        }
    }
    return q;
}

// Gives nullptr at the first byte that does not begin a well-formed
// sequence (overlong forms, surrogates and values past U+10FFFF included).
char16_t *SearchFolding::foldUtf8(QUtf8StringView text, char16_t *q) const
{
    const uchar *p = reinterpret_cast<const uchar *>(text.data());
    const uchar *const end = p + text.size();
    while (p != end) {
        const uchar b = *p;
        if (b < 0x80) {
            *q++ = m_table[b];
            ++p;
            continue;
        }
        const int length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
        if (length == 0 || end - p < length)
            return nullptr;
        char32_t c = b & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            if ((p[k] & 0xC0) != 0x80)
                return nullptr;
            c = (c << 6) | (p[k] & 0x3F);
        }
        static constexpr char32_t Smallest[5] = { 0, 0, 0x80, 0x800, 0x10000 };
        if (c < Smallest[length] || c > 0x10FFFF || isSurrogate(c))
            return nullptr;
        p += length;
        if (c > 0xFFFF)
            q = foldSurrogatePair(QChar::highSurrogate(c), QChar::lowSurrogate(c), q);
        else
            q = foldUnit(char16_t(c), q);
    }
    return q;
}

char16_t *SearchFolding::foldLatin1(QLatin1StringView text, char16_t *q) const
{
    for (const char c : text)
        q = foldUnit(uchar(c), q);
    return q;
}

// Case folding keeps a character beyond the BMP there, so the pair stays
// two units.
char16_t *SearchFolding::foldSurrogatePair(char16_t high, char16_t low, char16_t *q)
{
    const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(high, low));
    if (!QChar::requiresSurrogates(folded)) {
        *q++ = char16_t(folded);
        return q;
    }
    *q++ = QChar::highSurrogate(folded);
    *q++ = QChar::lowSurrogate(folded);
    return q;
}
