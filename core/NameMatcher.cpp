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

bool NameMatcher::matches(QAnyStringView name, std::u16string &scratch) const
{
    if (SearchFolding::maxFoldedUnits(name) < qsizetype(m_needle.size()) || !mayMatch(name))
        return false;
    SearchFolding::instance().foldInto(name, scratch);
    return std::u16string_view(scratch).find(m_needle) != std::u16string_view::npos;
}

// Whether some unit of name folds to a text that holds the first unit of
// the needle; false only when the folded name cannot contain the needle.
bool NameMatcher::mayMatch(QAnyStringView name) const
{
    return name.visit([this](auto view) {
        using View = decltype(view);
        if constexpr (std::is_same_v<View, QUtf8StringView>) {
            return mayMatchUtf8(view);
        } else if constexpr (std::is_same_v<View, QStringView>) {
            return std::any_of(view.utf16(), view.utf16() + view.size(), [this](char16_t c) { return candidate(c); });
        } else {
            return std::any_of(view.begin(), view.end(), [this](char c) { return candidate(uchar(c)); });
        }
    });
}

// The code point of each sequence is tested as it is decoded; a byte that
// does not begin a well-formed sequence gives true, since the fold of such
// a text is that of its decoded form (with replacement characters).
bool NameMatcher::mayMatchUtf8(QUtf8StringView name) const
{
    const uchar *p = reinterpret_cast<const uchar *>(name.data());
    const uchar *const end = p + name.size();
    while (p != end) {
        const uchar b = *p;
        if (b < 0x80) {
            if (candidate(b))
                return true;
            ++p;
            continue;
        }
        // Four bytes (a surrogate pair) or ill-formed: fold and see.
        const int length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
        if (length < 2 || length > 3 || end - p < length)
            return true;
        char32_t c = b & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            if ((p[k] & 0xC0) != 0x80)
                return true;
            c = (c << 6) | (p[k] & 0x3F);
        }
        if (c < (length == 2 ? 0x80u : 0x800u) || candidate(c))
            return true;
        p += length;
    }
    return false;
}
