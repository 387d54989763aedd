// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "TextOrder.h"

#include <algorithm>
#include <thread>

namespace {

bool isFolded(QStringView text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 ? (u >= 'A' && u <= 'Z') : (c.isSurrogate() || c.toCaseFolded() != c))
            return false;
    }
    return true;
}

// Four UTF-16 units from `from`, padded with 0 (a shorter text comes
// first), so that most comparisons are integer comparisons in the entries
// and never reach the texts.
quint64 unitsAt(QStringView text, qsizetype from)
{
    quint64 units = 0;
    for (qsizetype i = from; i < from + 4; ++i)
        units = (units << 16) | (i < text.size() ? text[i].unicode() : 0u);
    return units;
}

} // namespace

TextOrder::TextOrder(std::vector<QStringView> texts)
    : m_texts(std::move(texts))
{
    for (QStringView &text : m_texts) {
        if (!isFolded(text)) {
            m_folded.push_back(text.toString().toCaseFolded());
            text = m_folded.back(); // a QString's characters stay put when the vector grows
        }
    }
}

std::vector<TextOrder::Entry> TextOrder::entries() const
{
    std::vector<Entry> out(m_texts.size());
    for (size_t i = 0; i < m_texts.size(); ++i) {
        const QStringView t = m_texts[i];
        out[i] = { { unitsAt(t, 0), unitsAt(t, 4), unitsAt(t, 8) }, int(i) };
    }
    return out;
}

// -1, 0, 1 by the texts alone.
int TextOrder::compare(const Entry &a, const Entry &b) const
{
    for (int w = 0; w < 3; ++w) {
        if (a.units[w] != b.units[w])
            return a.units[w] < b.units[w] ? -1 : 1;
    }
    const QStringView ta = m_texts[size_t(a.index)];
    const QStringView tb = m_texts[size_t(b.index)];
    if (ta.size() <= 12 && tb.size() <= 12)
        return 0;
    return ta.compare(tb, Qt::CaseSensitive);
}

std::vector<int> TextOrder::sorted(bool ascending) const
{
    std::vector<Entry> all = entries();
    // Equal texts keep their order: the position before the sort decides, in
    // both directions, which makes the order total and the sort stable.
    std::sort(all.begin(), all.end(), [&](const Entry &a, const Entry &b) {
        const int c = compare(a, b);
        if (c != 0)
            return ascending ? c < 0 : c > 0;
        return a.index < b.index;
    });
    std::vector<int> positions(all.size());
    for (size_t i = 0; i < all.size(); ++i)
        positions[i] = all[i].index;
    return positions;
}

std::vector<int> TextOrder::ascending() const
{
    return sorted(true);
}

// Large lists are sorted in two halves at once, then merged.
void TextOrder::sortEntries(std::vector<Entry> &all) const
{
    const auto less = [this](const Entry &a, const Entry &b) { return compare(a, b) < 0; };
    constexpr size_t TwoThreadsFrom = 100'000;
    if (all.size() < TwoThreadsFrom || std::thread::hardware_concurrency() < 2) {
        std::sort(all.begin(), all.end(), less);
        return;
    }
    const auto middle = all.begin() + std::ptrdiff_t(all.size() / 2);
    std::thread firstHalf([&] { std::sort(all.begin(), middle, less); });
    std::sort(middle, all.end(), less);
    firstHalf.join();
    std::inplace_merge(all.begin(), middle, all.end(), less);
}

quint32 TextOrder::ranks(std::vector<quint32> &rankOfText) const
{
    std::vector<Entry> all = entries();
    sortEntries(all);
    rankOfText.assign(m_texts.size(), 0);
    quint32 rank = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        if (i > 0 && compare(all[i - 1], all[i]) != 0)
            ++rank;
        rankOfText[size_t(all[i].index)] = rank;
    }
    return all.empty() ? 0 : rank + 1;
}
