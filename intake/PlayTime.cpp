// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "PlayTime.h"

namespace {

QString twoDigits(qint64 value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

qint64 PlaySeconds(qint64 microseconds)
{
    if (microseconds <= 0)
        return 0;
    constexpr qint64 MicrosecondsPerHundredth = 10'000;
    constexpr qint64 Half = MicrosecondsPerHundredth / 2;
    qint64 hundredths = microseconds / MicrosecondsPerHundredth;
    const qint64 rest = microseconds % MicrosecondsPerHundredth;
    if (rest > Half || (rest == Half && hundredths % 2 == 1))
        ++hundredths;
    return hundredths / 100;
}

QString FormatPlayTime(qint64 seconds)
{
    const qint64 hours = seconds / 60 / 60;
    const qint64 minutes = seconds / 60 - 60 * hours;
    return twoDigits(hours) + u':' + twoDigits(minutes) + u':' + twoDigits(seconds % 60);
}
