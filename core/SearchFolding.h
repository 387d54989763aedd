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
// A kana followed by a combining voiced or semi-voiced mark becomes the one
// precomposed katakana, so ｶﾞ (two half-width letters) is ガ, as is a ガ
// written as カ plus U+3099.
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

    // The fold of one UTF-16 unit, without the joining of voiced marks.
    char16_t foldUnit(char16_t c) const { return m_table[c]; }

private:
    SearchFolding();
    void buildUnitTable();
    void buildVoicedTable();
    bool joinMark(char16_t mark, const char16_t *first, char16_t *q) const;
    static char16_t *foldSurrogatePair(char16_t high, char16_t low, char16_t *q);

    static constexpr char16_t KanaFirst = 0x30A0;
    static constexpr int KanaCount = 0x60;

    std::array<char16_t, 0x10000> m_table {};
    // Precomposed katakana for base + U+3099 and base + U+309A, or 0.
    std::array<char16_t, KanaCount> m_voiced {};
    std::array<char16_t, KanaCount> m_semiVoiced {};
};
