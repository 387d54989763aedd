// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "BytePairFinder.h"
#include "CatalogItem.h"

#include <QAnyStringView>
#include <QUtf8StringView>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Whether a name holds a search text, both folded (SearchFolding): the
// folded name contains the folded text. A name of UTF-16 or UTF-8 text
// alike.
//
// Most names of a large catalogue are no hit, so a UTF-8 name is first read
// as bytes. One unit of the folded text, the anchor, comes only from a few
// characters (f from f, F, ｆ and Ｆ; ア from ア, あ and ｱ), and a hit holds
// one of them whole. The name is searched for one piece of each: the byte
// of a character of one byte, else a pair of adjacent bytes of it, chosen
// as the rarest in a count of the catalogue's bytes (the anchor is the unit
// whose pieces are rarest). Only where a whole character is found, and the
// ASCII bytes beside it agree with the text, is the stretch of the name
// around it folded and compared: every character folds to a unit or more,
// so a hit that holds the anchor there lies in the characters up to the
// anchor's position in the text before it and the rest of the text after.
// A text without a usable unit (only combining marks, characters beyond the
// BMP, replacement characters) and a UTF-16 name go the longer way: the
// name is scanned for a character that could give the first folded unit
// and folded from there on. The matcher is read-only once built, so threads
// may share it, each with its own scratch buffer.
class NameMatcher
{
public:
    // How often each byte and each pair of adjacent bytes occur in some of
    // the names to be searched.
    struct ByteCounts
    {
        std::array<quint32, 256> bytes {};
        std::vector<quint32> pairs = std::vector<quint32>(256 * 256); // first byte * 256 + second
        void add(QUtf8StringView name);
    };

    // text must not be empty; byteCounts may be null (all bytes as common).
    explicit NameMatcher(QAnyStringView text, const ByteCounts *byteCounts = nullptr);

    bool matches(QAnyStringView name, std::u16string &scratch) const;
    // The same for the name of a row, the first of its texts joined by
    // CatalogItem::Separator (Catalog::joinedText). Most names hold none of
    // the searched pieces: that case is decided here.
    bool matchesFirstField(QUtf8StringView joined, std::u16string &scratch) const
    {
        if (m_anchor < 0)
            return firstFieldMatchesFolded(joined, scratch);
        const char *const begin = joined.data();
        const char *const limit = begin + joined.size();
        const char *const found = m_searchedOrSeparator->find(begin, limit);
        if (found == limit || *found == CatalogItem::Separator.unicode())
            return false;
        return scanBytes(begin, found, limit, true, scratch);
    }

    // The folded unit that the byte scan looks for (its position in the
    // folded text), or -1 when names are folded from the first candidate on.
    qsizetype anchor() const { return m_anchor; }

private:
    // The UTF-8 form of a character whose fold begins with the anchor, and
    // where in it the scan looks: at one byte (a character of one byte), or
    // at two adjacent ones.
    struct Variant
    {
        std::array<char, 3> bytes {};
        int length = 0;
        int searched = 0;
        bool whole = false; // folds to the anchor alone, no mark after it
        bool isAt(const char *at) const
        {
            for (int i = 0; i < length; ++i) {
                if (at[i] != bytes[size_t(i)])
                    return false;
            }
            return true;
        }
        BytePairFinder::Pattern pattern() const
        {
            return { bytes[size_t(searched)], length == 1 ? char(0) : bytes[size_t(searched + 1)], length == 1 };
        }
    };

    // The characters whose fold begins with a unit of the needle (none when
    // there are too many to search for).
    using SourcesOf = std::function<const std::vector<char16_t> &(char16_t unit)>;
    void chooseAnchor(const SourcesOf &sourcesOf, const ByteCounts *byteCounts);
    bool firstFieldMatchesFolded(QUtf8StringView joined, std::u16string &scratch) const;
    // From `found`, the first place where a searched byte begins (or begin).
    bool scanBytes(
        const char *begin, const char *found, const char *limit, bool firstField, std::u16string &scratch) const;
    bool neighboursAgree(const char *begin, const char *limit, const char *at, const Variant &v) const;
    bool matchesAround(const char *begin, const char *end, const char *at, std::u16string &scratch) const;
    bool matchesFolded(QAnyStringView name, std::u16string &scratch) const;

    static constexpr qsizetype NoCandidate = -1;
    qsizetype firstCandidate(QAnyStringView name) const;
    qsizetype firstCandidateUtf8(QUtf8StringView name) const;
    bool candidate(char32_t c) const { return c > 0xFFFF || (m_first[c >> 6] >> (c & 63)) & 1; }

    std::u16string m_needle;
    // By unit: 1 where the unit's fold holds the first unit of m_needle,
    // and for every surrogate (a pair folds as a whole).
    std::array<quint64, 0x10000 / 64> m_first {};

    qsizetype m_anchor = -1;
    std::vector<Variant> m_variants;
    std::optional<BytePairFinder> m_searched; // the searched bytes
    std::optional<BytePairFinder> m_searchedOrSeparator; // and the field separator
};
