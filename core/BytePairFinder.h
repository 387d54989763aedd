// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QtAlgorithms>
#include <QtGlobal>

#include <array>
#include <vector>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define ZARUMI_BYTE_PAIR_SSE2 1
#endif

// Finds the first place in a text where one of a few byte patterns begins:
// a byte followed by a given byte, or a byte followed by anything. A search
// through many names mostly reads bytes that begin none of them, so sixteen
// places are tested at once where the processor allows it (SSE2), one by
// one elsewhere.
class BytePairFinder
{
public:
    static constexpr int MaxPatterns = 8;

    struct Pattern
    {
        char first = 0;
        char second = 0;
        bool open = false; // any second byte, even none
        bool operator==(const Pattern &) const = default;
    };

    // 1 to MaxPatterns patterns.
    explicit BytePairFinder(const std::vector<Pattern> &patterns);

    // The first place of [p, end) where a pattern begins (its second byte
    // in [p, end) too), or end.
    const char *find(const char *p, const char *end) const
    {
#ifdef ZARUMI_BYTE_PAIR_SSE2
        if (findChunks(p, end))
            return p;
#endif
        for (; p != end; ++p) {
            if (m_begins[uchar(*p)] && beginsHere(p, end))
                return p;
        }
        return p;
    }

private:
    bool beginsHere(const char *p, const char *end) const;

#ifdef ZARUMI_BYTE_PAIR_SSE2
    // Whole chunks of 16 places whose 17 bytes lie in the text: true with p
    // at the first place where a pattern begins, or false with p at the
    // first place left to test.
    bool findChunks(const char *&p, const char *end) const
    {
        for (; end - p > 16; p += 16) {
            const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 1));
            __m128i hit = _mm_setzero_si128();
            for (int i = 0; i < m_singles; ++i)
                hit = _mm_or_si128(hit, _mm_cmpeq_epi8(here, m_first[i]));
            for (int i = m_singles; i < m_count; ++i) {
                const __m128i pair = _mm_and_si128(_mm_cmpeq_epi8(here, m_first[i]), _mm_cmpeq_epi8(next, m_second[i]));
                hit = _mm_or_si128(hit, pair);
            }
            if (const int mask = _mm_movemask_epi8(hit)) {
                p += qCountTrailingZeroBits(uint(mask));
                return true;
            }
        }
        return false;
    }

    // The open patterns first, then the pairs.
    __m128i m_first[MaxPatterns] {};
    __m128i m_second[MaxPatterns] {};
#endif
    int m_singles = 0; // open patterns
    int m_count = 0;
    std::array<Pattern, MaxPatterns> m_patterns {};
    std::array<bool, 256> m_begins {}; // the first byte of some pattern
};
