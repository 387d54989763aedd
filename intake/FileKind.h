// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QString>

// The file name of a dropped path: the part after its last separator ("/",
// and on Windows also "\"). Trailing separators are ignored, so a dropped
// folder "photos/" is named photos. A path of separators only is its own
// name, so that a row never gets an empty name.
QString FileNameOf(const QString &path);

// The upper-cased text after the last "." of the name (empty when the name
// ends with "."), or "不明" when the name has no ".".
QString KindOf(const QString &name);

// The eight kinds handed to the media query.
bool IsMediaKind(const QString &kind);
// The seventeen kinds whose first bytes are read: the media kinds and the
// archive, program and picture kinds.
bool IsHeaderKind(const QString &kind);
