// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QString>
#include <QStringView>

#include <vector>

// The text order of the visible list's columns: both texts case-folded
// (QString::toCaseFolded, so "abc" and "ABC" are equal), then compared unit
// by unit by their UTF-16 values, locale-free.
class TextOrder
{
public:
    // Takes the texts to order; texts that folding changes are folded into
    // storage kept here, the others are read in place.
    explicit TextOrder(std::vector<QStringView> texts);

    qsizetype size() const { return qsizetype(m_texts.size()); }
    // Positions of the texts in ascending order; equal texts keep their
    // order (stable).
    std::vector<int> ascending() const;
    // The same, with ties descending too when asked: equal texts still keep
    // their order.
    std::vector<int> sorted(bool ascending) const;
    // For each text its rank in ascending order: equal texts share one,
    // ranks are dense from 0. Gives the number of distinct texts.
    quint32 ranks(std::vector<quint32> &rankOfText) const;

private:
    struct Entry
    {
        quint64 units[3]; // folded units 0..11, padded with 0
        int index;
    };
    int compare(const Entry &a, const Entry &b) const;
    std::vector<Entry> entries() const;
    void sortEntries(std::vector<Entry> &all) const;

    std::vector<QString> m_folded;
    std::vector<QStringView> m_texts;
};
