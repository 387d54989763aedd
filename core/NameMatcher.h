// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QAnyStringView>

#include <array>
#include <string>

// Whether a name holds a search text, both folded (SearchFolding): the
// folded name contains the folded text. A name of UTF-16 or UTF-8 text
// alike.
//
// Most names of a large catalogue are no hit, so a name is first scanned for
// a unit that could give the first folded unit of the text; only a name
// that has one is folded, from that unit on, and searched. The matcher is
// read-only once built, so threads may share it, each with its own scratch
// buffer.
class NameMatcher
{
public:
    // text must not be empty.
    explicit NameMatcher(QAnyStringView text);

    bool matches(QAnyStringView name, std::u16string &scratch) const;

private:
    static constexpr qsizetype NoCandidate = -1;
    qsizetype firstCandidate(QAnyStringView name) const;
    qsizetype firstCandidateUtf8(QUtf8StringView name) const;
    bool candidate(char32_t c) const { return c > 0xFFFF || (m_first[c >> 6] >> (c & 63)) & 1; }

    std::u16string m_needle;
    // By unit: 1 where the unit's fold holds the first unit of m_needle,
    // and for every surrogate (a pair folds as a whole).
    std::array<quint64, 0x10000 / 64> m_first {};
};
