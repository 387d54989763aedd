// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QString>

// Size texts from a byte count, written as kilobytes with three decimals:
// in effect the byte count with "." before its last three digits and ","
// between groups of three in the whole part. Integer arithmetic only, so
// every 64-bit size is exact.

// The master row's form ("##,##0.000"): 0.000, 0.500, 1.000, 1,234.567.
QString CatalogSizeText(qint64 bytes);

// The visible row's form ("##,###.##0" with a leading "." removed): under
// 1,000 bytes the byte count padded to three digits (000, 012, 500), from
// 1,000 bytes on the same as CatalogSizeText.
QString ViewSizeText(qint64 bytes);
