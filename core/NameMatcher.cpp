// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "NameMatcher.h"

#include "SearchFolding.h"

#include <QChar>

#include <algorithm>
#include <string_view>
#include <type_traits>

NameMatcher::NameMatcher(QAnyStringView text)
{
    const SearchFolding &folding = SearchFolding::instance();
    folding.foldInto(text, m_needle);
    Q_ASSERT(!m_needle.empty());
    const char16_t first = m_needle.front();
    for (char32_t c = 0; c < 0x10000; ++c) {
        const auto unit = char16_t(c);
        if (folding.unitFold(unit) == first || folding.markAfter(unit) == first || QChar::isSurrogate(c))
            m_first[c >> 6] |= quint64(1) << (c & 63);
    }
}

// The fold goes character by character, so the fold of a name from a
// character on is the end of the fold of the whole name; a hit begins in
// the fold of the first candidate or later.
bool NameMatcher::matches(QAnyStringView name, std::u16string &scratch) const
{
    if (SearchFolding::maxFoldedUnits(name) < qsizetype(m_needle.size()))
        return false;
    const qsizetype from = firstCandidate(name);
    if (from == NoCandidate)
        return false;
    const QAnyStringView rest = name.visit([from](auto view) { return QAnyStringView(view.sliced(from)); });
    SearchFolding::instance().foldInto(rest, scratch);
    return std::u16string_view(scratch).find(m_needle) != std::u16string_view::npos;
}

// Where the first unit lies whose fold holds the first unit of the needle;
// NoCandidate when the folded name cannot contain the needle. The units of
// a surrogate pair are candidates both, so the first one found begins a
// character.
qsizetype NameMatcher::firstCandidate(QAnyStringView name) const
{
    return name.visit([this](auto view) -> qsizetype {
        using View = decltype(view);
        if constexpr (std::is_same_v<View, QUtf8StringView>) {
            return firstCandidateUtf8(view);
        } else if constexpr (std::is_same_v<View, QStringView>) {
            const char16_t *const begin = view.utf16();
            const char16_t *const end = begin + view.size();
            const char16_t *const found = std::find_if(begin, end, [this](char16_t c) { return candidate(c); });
            return found == end ? NoCandidate : found - begin;
        } else {
            const auto found = std::find_if(view.begin(), view.end(), [this](char c) { return candidate(uchar(c)); });
            return found == view.end() ? NoCandidate : found - view.begin();
        }
    });
}

// The code point of each sequence is tested as it is decoded. A byte that
// does not begin a well-formed sequence gives 0: such a name folds as its
// decoded form (with replacement characters), and is folded whole.
qsizetype NameMatcher::firstCandidateUtf8(QUtf8StringView name) const
{
    const uchar *const begin = reinterpret_cast<const uchar *>(name.data());
    const uchar *const end = begin + name.size();
    const uchar *p = begin;
    while (p != end) {
        const uchar b = *p;
        if (b < 0x80) {
            if (candidate(b))
                return p - begin;
            ++p;
            continue;
        }
        if ((b & 0xF0) == 0xE0 && end - p >= 3) { // most of a Japanese name: three bytes
            const uchar b1 = p[1], b2 = p[2];
            const char32_t c = char32_t(b & 0x0F) << 12 | char32_t(b1 & 0x3F) << 6 | char32_t(b2 & 0x3F);
            if ((b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80 || c < 0x800 || QChar::isSurrogate(c))
                return 0;
            if (candidate(c))
                return p - begin;
            p += 3;
            continue;
        }
        // Four bytes: a surrogate pair, always a candidate.
        const int length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
        if (length < 2 || end - p < length)
            return 0;
        char32_t c = b & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            if ((p[k] & 0xC0) != 0x80)
                return 0;
            c = (c << 6) | (p[k] & 0x3F);
        }
        static constexpr char32_t Smallest[5] = { 0, 0, 0x80, 0x800, 0x10000 };
        if (c < Smallest[length] || c > 0x10FFFF || QChar::isSurrogate(c))
            return 0;
        if (candidate(c))
            return p - begin;
        p += length;
    }
    return NoCandidate;
}
