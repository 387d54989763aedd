// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace {

double fixedFactor = 0;

double screenFactor()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

} // namespace

namespace Twips {

double twipsPerPixel()
{
    return fixedFactor > 0 ? fixedFactor : screenFactor();
}

int toPixels(double twips)
{
    return int(std::lround(twips / twipsPerPixel()));
}

double fromPixels(double pixels)
{
    return pixels * twipsPerPixel();
}

void setTwipsPerPixel(double factor)
{
    fixedFactor = factor;
}

} // namespace Twips
