// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "SearchFolding.h"

#include <QChar>

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

QString SearchFolding::fold(QStringView text) const
{
    std::u16string out;
    foldInto(text, out);
    return QString(reinterpret_cast<const QChar *>(out.data()), qsizetype(out.size()));
}

// A unit folds to at most two, so out is sized once for the longest fold
// and written through a pointer, then cut to what was written.
void SearchFolding::foldInto(QStringView text, std::u16string &out) const
{
    out.resize(size_t(text.size()) * MaxUnitsPerUnit);
    char16_t *const first = out.data();
    char16_t *q = first;
    const char16_t *p = text.utf16();
    const char16_t *const end = p + text.size();
    for (; p != end; ++p) {
        const char16_t c = m_table[*p];
        if (QChar::isHighSurrogate(c) && p + 1 != end && QChar::isLowSurrogate(p[1])) {
            q = foldSurrogatePair(c, p[1], q);
            ++p;
            continue;
        }
        *q++ = c;
        if (const char16_t mark = m_mark[*p])
            *q++ = mark;
    }
    out.resize(size_t(q - first));
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
