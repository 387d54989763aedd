// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "BytePairFinder.h"

#include <algorithm>

BytePairFinder::BytePairFinder(const std::vector<Pattern> &patterns)
    : m_count(int(patterns.size()))
{
    Q_ASSERT(m_count >= 1 && m_count <= MaxPatterns);
    for (int i = 0; i < m_count; ++i) {
        m_patterns[size_t(i)] = patterns[size_t(i)];
        m_begins[uchar(patterns[size_t(i)].first)] = true;
    }
    std::stable_partition(m_patterns.begin(), m_patterns.begin() + m_count, [](const Pattern &p) { return p.open; });
    m_singles = int(std::count_if(patterns.begin(), patterns.end(), [](const Pattern &p) { return p.open; }));
#ifdef ZARUMI_BYTE_PAIR_SSE2
    for (int i = 0; i < m_count; ++i) {
        m_first[i] = _mm_set1_epi8(m_patterns[size_t(i)].first);
        m_second[i] = _mm_set1_epi8(m_patterns[size_t(i)].second);
    }
#endif
}

bool BytePairFinder::beginsHere(const char *p, const char *end) const
{
    for (int i = 0; i < m_count; ++i) {
        const Pattern &pattern = m_patterns[size_t(i)];
        if (*p == pattern.first && (pattern.open || (end - p >= 2 && p[1] == pattern.second)))
            return true;
    }
    return false;
}
