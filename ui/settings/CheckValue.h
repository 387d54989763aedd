// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

class QCheckBox;

// A check box's value as the settings file keeps it: 0 off, 1 on, 2 dimmed.
// Qt numbers the states differently (partly checked is 1, checked is 2).
namespace CheckValue {

int of(const QCheckBox *box);
// Values other than 0, 1 and 2 count as on.
void set(QCheckBox *box, int value);

} // namespace CheckValue
