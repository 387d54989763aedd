// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The size texts and the play time. Each input gives a few 64-bit numbers.
// Properties: the texts match their patterns and read back to the number
// they were made from; the play seconds follow the rounding rule (checked
// against a reference worked in a different way).
#include "FuzzCheck.h"

#include "PlayTime.h"
#include "SizeText.h"

#include <QRegularExpression>

#include <cstring>

namespace {

const QRegularExpression CatalogPattern(QStringLiteral("^-?\\d{1,3}(,\\d{3})*\\.\\d{3}$"));
const QRegularExpression ViewPattern(QStringLiteral("^-?(\\d{3}|\\d{1,3}(,\\d{3})*\\.\\d{3})$"));
const QRegularExpression PlayPattern(QStringLiteral("^(\\d{2,}):(\\d{2}):(\\d{2})$"));

// The digits of a size text, signed, as a 128-bit number.
__int128 digitsOf(const QString &text)
{
    __int128 value = 0;
    for (QChar c : text) {
        if (c.isDigit())
            value = value * 10 + c.digitValue();
    }
    return text.startsWith(u'-') ? -value : value;
}

void checkSize(qint64 bytes)
{
    const QString catalog = CatalogSizeText(bytes);
    FUZZ_CHECK(CatalogPattern.match(catalog).hasMatch(), catalog);
    FUZZ_CHECK(digitsOf(catalog) == bytes, catalog);
    const QString view = ViewSizeText(bytes);
    FUZZ_CHECK(ViewPattern.match(view).hasMatch(), view);
    FUZZ_CHECK(digitsOf(view) == bytes, view);
    if (bytes >= 1000 || bytes <= -1000)
        FUZZ_CHECK(view == catalog, view);
    else
        FUZZ_CHECK(!view.contains(u'.'), view);
}

void checkPlayTime(qint64 seconds)
{
    if (seconds < 0)
        return; // the probe never hands a negative count
    const QString text = FormatPlayTime(seconds);
    const QRegularExpressionMatch m = PlayPattern.match(text);
    FUZZ_CHECK(m.hasMatch(), text);
    const qint64 h = m.captured(1).toLongLong();
    const qint64 min = m.captured(2).toLongLong();
    const qint64 s = m.captured(3).toLongLong();
    FUZZ_CHECK(min < 60 && s < 60, text);
    FUZZ_CHECK(h * 3600 + min * 60 + s == seconds, text);
    if (h < 10)
        FUZZ_CHECK(m.captured(1).size() == 2, text);
}

// Reference: round the duration to hundredths, half to even, with 128-bit
// arithmetic, then cut to whole seconds.
qint64 referenceSeconds(qint64 microseconds)
{
    if (microseconds <= 0)
        return 0;
    const __int128 us = microseconds;
    __int128 hundredths = us / 10000;
    const __int128 twiceRest = (us % 10000) * 2;
    if (twiceRest > 10000 || (twiceRest == 10000 && (hundredths & 1)))
        hundredths += 1;
    return qint64(hundredths / 100);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    for (size_t at = 0; at + 8 <= size || (at == 0 && size > 0); at += 8) {
        qint64 value = 0;
        std::memcpy(&value, data + at, std::min<size_t>(8, size - at));
        checkSize(value);
        // Small numbers too, where the texts change form.
        checkSize(value % 100000);
        checkPlayTime(value);
        checkPlayTime(value % 1000000);
        const qint64 seconds = PlaySeconds(value);
        FUZZ_CHECK(seconds == referenceSeconds(value), QString::number(value));
        checkPlayTime(seconds);
    }
    return 0;
}
