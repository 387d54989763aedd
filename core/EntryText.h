// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QString>
#include <QStringView>

// The one rule for every text that enters a stored row or a category list.
//
// The list file has no escape: fields are separated by '#' and rows by line
// ends. So control characters (U+0000..U+001F, U+007F) become U+FFFD, and in
// every text but a row's Name a '#' becomes the full-width U+FF03. A Name may
// keep '#': the list file splits a line from the right, so the name is
// whatever stands before the fourteenth separator counted from the end.
namespace EntryText {

inline constexpr QChar Replacement = QChar(0xFFFD);
inline constexpr QChar FullWidthHash = QChar(0xFF03);

// For a row's Name.
QString normalizeName(QStringView text);
// For fields 2..15 of a row and for category values.
QString normalizeField(QStringView text);
// True when normalizeName/normalizeField would change nothing.
bool isCleanName(QStringView text);
bool isCleanField(QStringView text);

} // namespace EntryText
