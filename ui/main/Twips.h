// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

// Lengths of the window design are twips, 1/1440 inch. Every conversion
// between twips and pixels goes through here, at the primary screen's
// logical DPI (15 twips per pixel at 96 DPI).
namespace Twips {

double twipsPerPixel();
int toPixels(double twips);
double fromPixels(double pixels);

// Tests fix the factor so that the layout numbers can be checked exactly;
// 0 returns to the screen's DPI.
void setTwipsPerPixel(double factor);

} // namespace Twips
