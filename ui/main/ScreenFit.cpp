// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "ScreenFit.h"

#include <algorithm>

namespace {

// The start of a length `size` placed at `start` and moved within
// [areaStart, areaStart + areaSize); a length larger than the area keeps
// the area's start.
int fitStart(int start, int size, int areaStart, int areaSize)
{
    return std::max(areaStart, std::min(start, areaStart + areaSize - size));
}

} // namespace

QRect FitToScreens(const QRect &place, const QSize &minimum, const QList<QRect> &areas, const QRect &primaryArea)
{
    QRect area = primaryArea;
    QPoint topLeft = primaryArea.topLeft();
    for (const QRect &candidate : areas) {
        if (candidate.intersects(place)) {
            area = candidate;
            topLeft = place.topLeft();
            break;
        }
    }
    if (area.isEmpty())
        return place; // no screen to measure against
    const QSize size(std::max(minimum.width(), std::min(place.width(), area.width())),
        std::max(minimum.height(), std::min(place.height(), area.height())));
    return { QPoint(fitStart(topLeft.x(), size.width(), area.left(), area.width()),
                 fitStart(topLeft.y(), size.height(), area.top(), area.height())),
        size };
}
