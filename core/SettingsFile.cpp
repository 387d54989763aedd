// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "SettingsFile.h"

#include "ProfileFile.h"

#include <charconv>
#include <cmath>

namespace {

const QString Section = QStringLiteral("Options");

QString columnKey(int column)
{
    return QStringLiteral("Item%1").arg(column, 2, 10, QLatin1Char('0'));
}

// A pair of ItemPosition read as VB's Val reads it: blanks, a sign and
// digits; anything else (or nothing) is 0.
int pairValue(const QString &text, int j)
{
    const QStringView pair = QStringView(text).mid(2 * (j - 1), 2);
    return int(LeadingWholeNumber(pair));
}

// The text of the pattern "#00": at least two digits.
QString twoDigits(int value)
{
    const QString digits = QStringLiteral("%1").arg(std::abs(value), 2, 10, QLatin1Char('0'));
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

template<typename Number> QString shortestText(Number value)
{
    if (!std::isfinite(value) || value == 0)
        return QStringLiteral("0");
    // Shortest text that reads back as the same value, without exponent.
    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (result.ec != std::errc())
        return QStringLiteral("0");
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

} // namespace

QString ShortestDecimalText(double value)
{
    return shortestText(value);
}

QString ShortestDecimalText(float value)
{
    return shortestText(value);
}

Settings SettingsFromProfile(const ProfileFile &profile)
{
    Settings s;
    s.width = profile.integer(Section, QStringLiteral("Width"), s.width);
    s.height = profile.integer(Section, QStringLiteral("Height"), s.height);
    s.left = profile.integer(Section, QStringLiteral("X_WindowPosition"), s.left);
    s.top = profile.integer(Section, QStringLiteral("Y_WindowPosition"), s.top);
    s.tabLine = profile.integer(Section, QStringLiteral("TabLine"), s.tabLine);
    s.endSave = profile.integer(Section, QStringLiteral("EndSave"), s.endSave);
    for (int k = 1; k <= Settings::ColumnCount; ++k) {
        qint64 &width = s.columnWidths[size_t(k - 1)];
        width = profile.integer(Section, columnKey(k), width);
    }
    s.itemPosition = profile.string(Section, QStringLiteral("ItemPosition"), s.itemPosition);
    return s;
}

Settings LoadSettings(const QString &iniPath, FileResult &result)
{
    ProfileFile profile;
    result = profile.load(iniPath);
    return SettingsFromProfile(profile);
}

Settings LoadSettings(const QString &iniPath)
{
    FileResult ignored;
    return LoadSettings(iniPath, ignored);
}

void WriteSettingsTo(ProfileFile &profile, const SettingsToSave &values)
{
    if (values.geometry) {
        profile.setString(Section, QStringLiteral("Width"), ShortestDecimalText(values.geometry->width));
        profile.setString(Section, QStringLiteral("Height"), ShortestDecimalText(values.geometry->height));
        profile.setString(Section, QStringLiteral("X_WindowPosition"), ShortestDecimalText(values.geometry->left));
        profile.setString(Section, QStringLiteral("Y_WindowPosition"), ShortestDecimalText(values.geometry->top));
    }
    profile.setString(Section, QStringLiteral("TabLine"), QString::number(values.tabLine));
    profile.setString(Section, QStringLiteral("EndSave"), QString::number(values.endSave));
    for (int k = 1; k <= Settings::ColumnCount; ++k)
        profile.setString(Section, columnKey(k), ShortestDecimalText(values.columnWidths[size_t(k - 1)]));
    profile.setString(Section, QStringLiteral("ItemPosition"), ItemPositionText(values.displayPositions));
}

FileResult SaveSettings(const QString &iniPath, const SettingsToSave &values)
{
    ProfileFile profile;
    const FileResult read = profile.load(iniPath);
    if (!read.ok)
        return read;
    WriteSettingsTo(profile, values);
    return profile.save(iniPath);
}

std::array<int, Settings::ColumnCount> ColumnOrderFromItemPosition(const QString &itemPosition)
{
    std::array<int, Settings::ColumnCount> order;
    for (int i = 0; i < Settings::ColumnCount; ++i)
        order[size_t(i)] = i;
    // Pass p = 0 would set positions to 0, which moves nothing.
    for (int p = 0; p <= 12; ++p) {
        for (int j = 1; j <= 13; ++j) {
            if (p == 0 || pairValue(itemPosition, j) != p)
                continue;
            // A header drag: take column j out and put it in at place p.
            const auto from = std::find(order.begin(), order.end(), j - 1);
            const auto to = order.begin() + (p - 1);
            if (from < to)
                std::rotate(from, from + 1, to + 1);
            else
                std::rotate(to, from, from + 1);
        }
    }
    return order;
}

QString ItemPositionText(const std::array<int, 14> &displayPositions)
{
    QString text;
    for (int i = 0; i <= 13; ++i)
        text.prepend(twoDigits(displayPositions[size_t(13 - i)]));
    return text;
}
