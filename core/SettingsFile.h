// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "FileResult.h"

#include <QString>

#include <array>
#include <optional>

// The keys of test.ini, section [Options], as read at start-up.
struct Settings
{
    static constexpr int ColumnCount = 16;

    qint64 width = 5000; // twips
    qint64 height = 5000;
    qint64 left = 0;
    qint64 top = 0;
    qint64 tabLine = 0; // multi-row value tabs when not 0
    qint64 endSave = 1; // save the catalogue on exit when not 0
    std::array<qint64, ColumnCount> columnWidths { 7290, 1300, 800, 1300, 1350, 1440, 1440, 1440, 1000, 1000, 1000,
        1000, 1000, 0, 0, 0 };
    QString itemPosition = QStringLiteral("01020304050607080910111213");
};

// What the exit writes back. Widths and geometry may carry decimals.
struct SettingsToSave
{
    struct Geometry
    {
        double width, height, left, top; // twips
    };
    std::optional<Geometry> geometry; // absent while minimized
    int tabLine = 0;
    int endSave = 1;
    std::array<double, Settings::ColumnCount> columnWidths {};
    // Display position (1 = leftmost) of columns 1..14.
    std::array<int, 14> displayPositions {};
};

Settings LoadSettings(const QString &iniPath);
// The same, with the outcome of reading (a missing file is no failure).
Settings LoadSettings(const QString &iniPath, FileResult &result);
// The keys read from a profile already in memory.
Settings SettingsFromProfile(const class ProfileFile &profile);
// Writes the keys into test.ini, keeping every other line of it. A file
// that is there but can't be read is not replaced.
FileResult SaveSettings(const QString &iniPath, const SettingsToSave &values);
// Sets the keys in a profile, in the order the exit writes them.
void WriteSettingsTo(class ProfileFile &profile, const SettingsToSave &values);

// Shortest decimal text of a number, never with an exponent: 5000 gives
// "5000", 1299.969 gives "1299.969".
QString ShortestDecimalText(double value);
// The same for a single-precision measure: 1299.969f gives "1299.969".
QString ShortestDecimalText(float value);

// The column order that an ItemPosition text gives, by the start-up passes
// p = 0..12: columns 1..13 whose pair reads p are moved to display position
// p, as a header drag moves them. Returns the logical column (0-based) at
// each display position (0-based), for 16 columns starting in design order.
std::array<int, Settings::ColumnCount> ColumnOrderFromItemPosition(const QString &itemPosition);

// The ItemPosition text for the given display positions of columns 1..14.
QString ItemPositionText(const std::array<int, 14> &displayPositions);
