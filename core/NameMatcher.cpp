// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "NameMatcher.h"

#include "CatalogItem.h"
#include "SearchFolding.h"
#include "Utf8Text.h"

#include <QChar>

#include <algorithm>
#include <string_view>
#include <type_traits>

namespace {

// A unit whose characters are more than this is no anchor.
constexpr size_t MaxVariants = 8;

bool isContinuation(char byte)
{
    return (uchar(byte) & 0xC0) == 0x80;
}

// The length of the UTF-8 sequence that byte begins; 1 for a byte that
// begins none (the fold of such a stretch fails anyway).
int sequenceLength(char byte)
{
    const uchar b = uchar(byte);
    return b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
}

// For each unit of a text, the characters of the BMP whose fold begins with
// it; none where they are too many, and none for a unit that is no
// character's first: a combining mark (the second unit of the fold of many
// characters), a surrogate (characters beyond the BMP fold as a pair) or
// the replacement character (what every ill-formed piece decodes to).
class UnitSources
{
public:
    explicit UnitSources(const std::u16string &text)
        : m_units(text)
    {
        std::sort(m_units.begin(), m_units.end());
        m_units.erase(std::unique(m_units.begin(), m_units.end()), m_units.end());
        for (const char16_t unit : m_units)
            m_present[unit] = true;
        m_sources.resize(m_units.size());
        std::vector<bool> unusable(m_units.size());
        const SearchFolding &folding = SearchFolding::instance();
        for (char32_t c = 0; c < 0x10000; ++c) {
            const auto unit = char16_t(c);
            if (QChar::isSurrogate(c))
                continue;
            if (const size_t i = slot(folding.unitFold(unit)); i != NoSlot && m_sources[i].size() <= MaxVariants)
                m_sources[i].push_back(unit);
            if (const char16_t mark = folding.markAfter(unit); mark != 0 && slot(mark) != NoSlot)
                unusable[slot(mark)] = true;
        }
        for (size_t i = 0; i < m_units.size(); ++i) {
            const char16_t unit = m_units[i];
            if (unusable[i] || m_sources[i].size() > MaxVariants || QChar::isSurrogate(unit)
                || unit == QChar::ReplacementCharacter)
                m_sources[i].clear();
        }
    }

    const std::vector<char16_t> &of(char16_t unit) const { return m_sources[slot(unit)]; }

private:
    static constexpr size_t NoSlot = ~size_t(0);
    size_t slot(char16_t unit) const
    {
        if (!m_present[unit])
            return NoSlot;
        const auto found = std::lower_bound(m_units.begin(), m_units.end(), unit);
        return found != m_units.end() && *found == unit ? size_t(found - m_units.begin()) : NoSlot;
    }

    std::u16string m_units; // distinct, ascending
    std::vector<bool> m_present = std::vector<bool>(0x10000); // by unit
    std::vector<std::vector<char16_t>> m_sources;
};

} // namespace

NameMatcher::NameMatcher(QAnyStringView text, const ByteCounts *byteCounts)
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
    const UnitSources sources(m_needle);
    chooseAnchor([&sources](char16_t unit) -> const std::vector<char16_t> & { return sources.of(unit); }, byteCounts);
}

void NameMatcher::ByteCounts::add(QUtf8StringView name)
{
    const char *const end = name.data() + name.size();
    for (const char *p = name.data(); p != end; ++p) {
        ++bytes[uchar(*p)];
        if (end - p >= 2)
            ++pairs[size_t(uchar(p[0])) << 8 | uchar(p[1])];
    }
}

// The anchor is the unit whose searched bytes are the rarest: for each of
// its characters the rarest pair of adjacent bytes in it (the byte of a
// character of one byte). The separator of a row's fields takes one place
// in the finder.
void NameMatcher::chooseAnchor(const SourcesOf &sourcesOf, const ByteCounts *byteCounts)
{
    const auto count = [byteCounts](const Variant &v) -> quint64 {
        if (!byteCounts)
            return 1;
        const auto at = [&v](int i) { return uchar(v.bytes[size_t(i)]); };
        return 1
            + (v.length == 1 ? byteCounts->bytes[at(0)]
                             : byteCounts->pairs[size_t(at(v.searched)) << 8 | at(v.searched + 1)]);
    };
    quint64 best = ~quint64(0);
    for (qsizetype k = 0; k < qsizetype(m_needle.size()); ++k) {
        const std::vector<char16_t> &units = sourcesOf(m_needle[size_t(k)]);
        if (units.empty())
            continue;
        std::vector<Variant> variants;
        std::vector<BytePairFinder::Pattern> patterns;
        quint64 cost = 0;
        for (const char16_t unit : units) {
            Variant v;
            v.length = int(Utf8Text::fromUtf16(QStringView(&unit, 1), v.bytes.data())); // never a surrogate
            v.whole = SearchFolding::instance().markAfter(unit) == 0;
            Variant rarest = v;
            for (v.searched = 1; v.searched + 1 < v.length; ++v.searched) {
                if (count(v) <= count(rarest))
                    rarest = v;
            }
            variants.push_back(rarest);
            if (std::find(patterns.begin(), patterns.end(), rarest.pattern()) == patterns.end()) {
                patterns.push_back(rarest.pattern());
                cost += count(rarest);
            }
        }
        if (patterns.size() >= size_t(BytePairFinder::MaxPatterns) || cost >= best)
            continue;
        best = cost;
        m_anchor = k;
        m_variants = std::move(variants);
        m_searched.emplace(patterns);
        patterns.push_back({ char(CatalogItem::Separator.unicode()), 0, true });
        m_searchedOrSeparator.emplace(patterns);
    }
}

bool NameMatcher::matches(QAnyStringView name, std::u16string &scratch) const
{
    return name.visit([&](auto view) {
        if constexpr (std::is_same_v<decltype(view), QUtf8StringView>) {
            if (m_anchor >= 0)
                return scanBytes(view.data(), view.data(), view.data() + view.size(), false, scratch);
        }
        return matchesFolded(view, scratch);
    });
}

bool NameMatcher::firstFieldMatchesFolded(QUtf8StringView joined, std::u16string &scratch) const
{
    const char *const end = std::find(joined.begin(), joined.end(), char(CatalogItem::Separator.unicode()));
    return matchesFolded(QUtf8StringView(joined.data(), end), scratch);
}

// Each searched byte found is tried as the byte of each character that has
// it in that place. A well-formed name holds the characters of its fold as
// they are; an ill-formed one holds them too, beside pieces that decode to
// the replacement character, which is never the anchor.
bool NameMatcher::scanBytes(
    const char *begin, const char *found, const char *limit, bool firstField, std::u16string &scratch) const
{
    const char separator = char(CatalogItem::Separator.unicode());
    const BytePairFinder &finder = firstField ? *m_searchedOrSeparator : *m_searched;
    const char *end = nullptr; // of the name, once needed
    for (const char *p = found;; ++p) {
        p = finder.find(p, limit);
        if (p == limit || (firstField && *p == separator))
            return false;
        for (const Variant &v : m_variants) {
            const char *const at = p - v.searched;
            if (v.bytes[size_t(v.searched)] != *p || at < begin || limit - at < v.length || !v.isAt(at)
                || !neighboursAgree(begin, limit, at, v))
                continue;
            if (!end)
                end = firstField ? std::find(p, limit, separator) : limit;
            if (matchesAround(begin, end, at, scratch))
                return true;
        }
    }
}

// A byte below 0x80 next to the anchor's character is a character of its
// own (also in an ill-formed name), folded to one unit: the unit of the text
// on that side, if the text goes on there. A quick test before the fold.
bool NameMatcher::neighboursAgree(const char *begin, const char *limit, const char *at, const Variant &v) const
{
    const SearchFolding &folding = SearchFolding::instance();
    if (m_anchor > 0 && at != begin && uchar(at[-1]) < 0x80
        && folding.unitFold(uchar(at[-1])) != m_needle[size_t(m_anchor - 1)])
        return false;
    const char *const after = at + v.length;
    return !(v.whole && m_anchor + 1 < qsizetype(m_needle.size()) && after != limit && uchar(*after) < 0x80
        && folding.unitFold(uchar(*after)) != m_needle[size_t(m_anchor + 1)]);
}

// The anchor's character at `at` gives the folded unit m_needle[m_anchor]
// at the start of its fold. Every character folds to one unit or more, so
// a hit that holds that unit begins no more than m_anchor characters before
// and ends no more than the rest of the text after: that stretch is folded
// and searched. A stretch that is not well formed sends the name the longer
// way (the decoder never takes a byte that begins a character into an
// ill-formed piece, so a well-formed stretch folds as in the whole name).
bool NameMatcher::matchesAround(const char *begin, const char *end, const char *at, std::u16string &scratch) const
{
    const char *from = at;
    for (qsizetype k = 0; k < m_anchor && from != begin; ++k) {
        --from;
        for (int back = 0; back < 3 && from != begin && isContinuation(*from); ++back)
            --from;
    }
    const char *to = at;
    for (qsizetype k = m_anchor; k < qsizetype(m_needle.size()) && to != end; ++k)
        to += std::min<qsizetype>(sequenceLength(*to), end - to);
    if (!SearchFolding::instance().foldWellFormed(QUtf8StringView(from, to), scratch))
        return matchesFolded(QUtf8StringView(begin, end), scratch);
    return std::u16string_view(scratch).find(m_needle) != std::u16string_view::npos;
}

// The fold goes character by character, so the fold of a name from a
// character on is the end of the fold of the whole name; a hit begins in
// the fold of the first candidate or later.
bool NameMatcher::matchesFolded(QAnyStringView name, std::u16string &scratch) const
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
