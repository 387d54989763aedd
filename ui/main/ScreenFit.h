// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QList>
#include <QRect>

// Brings a saved window place (outer frame, pixels) within the available
// area of the screens: a place on no screen (a monitor since removed) goes
// to the top left of the primary area; a window larger than its screen's
// area is made as large as that area, but not below `minimum`; a window
// reaching past the area's edges is moved back inside.
QRect FitToScreens(const QRect &place, const QSize &minimum, const QList<QRect> &areas, const QRect &primaryArea);
