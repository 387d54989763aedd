// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The ItemPosition reader. Properties: the column order is always a
// permutation of the sixteen columns, the columns 14 to 16 keep their
// relative order, and a text that names every pair 01..13 once in default
// order gives the default order.
#include "FuzzCheck.h"

#include "SettingsFile.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Bytes(data, size);
    // Both readings of the bytes: as Latin-1 (any digit or sign anywhere)
    // and as UTF-8 (what a decoded line can hold).
    for (const QString &text : { QString::fromLatin1(bytes), QString::fromUtf8(bytes) }) {
        const auto order = ColumnOrderFromItemPosition(text);
        auto sorted = order;
        std::sort(sorted.begin(), sorted.end());
        for (int i = 0; i < Settings::ColumnCount; ++i)
            FUZZ_CHECK(sorted[size_t(i)] == i, Escaped(text));
        const auto at = [&order](int column) { return std::find(order.begin(), order.end(), column) - order.begin(); };
        FUZZ_CHECK(at(13) < at(14) && at(14) < at(15), Escaped(text));
    }
    const auto defaultOrder = ColumnOrderFromItemPosition(QStringLiteral("01020304050607080910111213"));
    for (int i = 0; i < Settings::ColumnCount; ++i)
        FUZZ_CHECK(defaultOrder[size_t(i)] == i, QString::number(i));
    return 0;
}
