// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QString>

// Whole play seconds for a duration of whole microseconds: the duration
// rounded to two decimals, half to even, then cut to the whole second.
// Worked in decimal integers, so 59,995,000 µs is a true tie (60.00 s).
// A negative duration gives 0.
qint64 PlaySeconds(qint64 microseconds);

// hh:mm:ss, each part at least two digits; hours are not wrapped into days.
QString FormatPlayTime(qint64 seconds);
