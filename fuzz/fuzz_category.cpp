// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The category file's reader and writer. Properties: every value is clean
// (no control character, no '#'), and writing the values and reading them
// back gives the same values.
#include "FuzzCheck.h"

#include "CategoryLists.h"
#include "EntryText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList values = ReadCategoryList(Bytes(data, size));
    for (const QString &value : values)
        FUZZ_CHECK(EntryText::isCleanField(value), Escaped(value));

    const QByteArray written = CategoryListBytes(values);
    const QStringList again = ReadCategoryList(written);
    FUZZ_CHECK(
        again.size() == values.size(), QStringLiteral("%1 values, then %2").arg(values.size()).arg(again.size()));
    for (qsizetype i = 0; i < values.size(); ++i) {
        FUZZ_CHECK(again.at(i) == values.at(i),
            QStringLiteral("value %1: %2 became %3").arg(i).arg(Escaped(values.at(i)), Escaped(again.at(i))));
    }
    return 0;
}
