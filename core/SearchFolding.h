// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QString>
#include <QStringView>

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
// for case only. Build it once (instance()) and reuse it.
class SearchFolding
{
public:
    static const SearchFolding &instance();

    // The folded form of text.
    QString fold(QStringView text) const;
    // Folds text into out, replacing out's content; out keeps its capacity,
    // so a loop over many names allocates nothing.
    void foldInto(QStringView text, std::u16string &out) const;

    // A unit folds to at most this many units.
    static constexpr size_t MaxUnitsPerUnit = 2;

private:
    SearchFolding();
    void buildUnitTable();
    void buildMarkTable();
    static char16_t *foldSurrogatePair(char16_t high, char16_t low, char16_t *q);

    // The fold of each unit, and the combining mark that follows it for a
    // voiced kana (0 for every other unit).
    std::array<char16_t, 0x10000> m_table {};
    std::array<char16_t, 0x10000> m_mark {};
};
