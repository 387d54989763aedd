// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "CatalogItem.h"
#include "FilePath.h"
#include "ProbeFile.h"

#include <QDate>
#include <QList>

#include <optional>

class QMimeData;

// The local file paths of a drop, in the drag source's order, with the
// bytes of names that are not UTF-8 kept; nullopt when the drop holds no
// list of files (no local file among its URLs). Any number of paths is
// taken: the count is not a 16-bit number here.
std::optional<QList<FilePath>> DroppedPaths(const QMimeData &data);

// A date as the catalogue writes it: yyyy/mm/dd, whatever the locale.
QString CatalogDateText(const QDate &date);

// The master row for a probed file, registered on the given day. The
// visible row is the same but for FileSize, which holds probe.viewSize.
CatalogItem MasterRowFor(const ProbeResult &probe, const QDate &registered);
