// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QAnyStringView>
#include <QString>
#include <QStringView>
#include <QUtf8StringView>

#include <array>
#include <string>

// The folding that the name search applies to the names and to the search
// text alike, so that a plain substring test on the folded texts ignores:
//  - letter case (Unicode simple case folding, no locale),
//  - half-width against full-width forms (ＡＶＩ is AVI, ｱﾆﾒ is アニメ, the
//    ideographic space is a blank),
//  - hiragana against katakana (あにめ is アニメ).
// A voiced or semi-voiced kana becomes its base katakana followed by the
// combining mark, so ガ, が, ｶﾞ and カ plus U+3099 all fold to カ U+3099.
// Each unit folds on its own, so every text that a plain case-insensitive
// comparison finds in a name is found in the folded name too.
//
// The table covers every UTF-16 unit; characters outside the BMP are folded
// for case only and stay a surrogate pair. A UTF-8 or Latin-1 text folds
// exactly as the same text in UTF-16 does; a UTF-8 text that is not valid
// folds as the UTF-8 decoder reads it, with replacement characters, and
// keeping a byte order mark at its start (QString::fromUtf8 drops that
// one). Build it once (instance()) and reuse it.
class SearchFolding
{
public:
    static const SearchFolding &instance();

    // The folded form of text.
    QString fold(QAnyStringView text) const;
    // Folds text into out, replacing out's content; out keeps its capacity,
    // so a loop over many names allocates nothing.
    void foldInto(QAnyStringView text, std::u16string &out) const;
    // The same for a UTF-8 text that is well formed; false (out undefined)
    // for one that is not.
    bool foldWellFormed(QUtf8StringView text, std::u16string &out) const;

    // A UTF-16 unit folds to at most this many units.
    static constexpr size_t MaxUnitsPerUnit = 2;
    // The longest fold of text, in UTF-16 units: two per UTF-16 unit, one
    // per UTF-8 or Latin-1 byte (no character of one or two bytes grows,
    // and one of three or four bytes folds to at most two units).
    static qsizetype maxFoldedUnits(QAnyStringView text)
    {
        const bool utf16 = text.size_bytes() != text.size();
        return utf16 ? text.size() * qsizetype(MaxUnitsPerUnit) : text.size();
    }

    // The fold of one unit and the combining mark that follows it (0 for
    // none); a surrogate folds to itself here and is folded with its pair.
    char16_t unitFold(char16_t unit) const { return m_table[unit]; }
    char16_t markAfter(char16_t unit) const { return m_mark[unit]; }

private:
    SearchFolding();
    void buildUnitTable();
    void buildMarkTable();
    char16_t *foldUnit(char16_t unit, char16_t *q) const
    {
        *q++ = m_table[unit];
        if (const char16_t mark = m_mark[unit])
            *q++ = mark;
        return q;
    }
    char16_t *foldUtf16(QStringView text, char16_t *q) const;
    char16_t *foldUtf8(QUtf8StringView text, char16_t *q) const;
    char16_t *foldLatin1(QLatin1StringView text, char16_t *q) const;
    static char16_t *foldSurrogatePair(char16_t high, char16_t low, char16_t *q);

    // The fold of each unit, and the combining mark that follows it for a
    // voiced kana (0 for every other unit).
    std::array<char16_t, 0x10000> m_table {};
    std::array<char16_t, 0x10000> m_mark {};
};
