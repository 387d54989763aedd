// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
// The profile reader and writer of test.ini, and the settings read from it.
// Properties: a text value is at most 254 characters and holds no NUL; the
// lines survive a write and a read; the keys the exit writes read back as
// written, whatever the file held before.
#include "FuzzCheck.h"

#include "ProfileFile.h"
#include "SettingsFile.h"

#include <QDataStream>

namespace {

const QString Section = QStringLiteral("Options");

// Values for the exit's keys, taken from the tail of the input.
SettingsToSave valuesFrom(QByteArrayView tail)
{
    SettingsToSave values;
    auto next = [&tail](int modulus) {
        if (tail.isEmpty())
            return 0;
        const int v = quint8(tail.front()) % modulus;
        tail = tail.sliced(1);
        return v;
    };
    values.geometry = SettingsToSave::Geometry { double(next(256) * 97), double(next(256) * 89),
        double(next(256) - 128), double(next(256) - 128) };
    values.tabLine = next(3);
    values.endSave = next(3);
    for (double &width : values.columnWidths)
        width = next(256) * 53;
    for (int &position : values.displayPositions)
        position = next(16) + 1;
    return values;
}

void checkStrings(const ProfileFile &profile)
{
    for (const QString &line : profile.lines()) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;
        const QString value = profile.string(Section, line.first(eq).trimmed(), QStringLiteral("default"));
        FUZZ_CHECK(value.size() <= ProfileFile::BufferSize - 1, QString::number(value.size()));
        FUZZ_CHECK(!value.contains(QChar(0)), Escaped(value));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Bytes(data, size);
    // The first part is the file, the last 40 bytes (when there) the values.
    const qsizetype split = bytes.size() > 40 ? bytes.size() - 40 : bytes.size();
    ProfileFile profile;
    profile.setText(QByteArrayView(bytes).first(split));
    checkStrings(profile);
    SettingsFromProfile(profile);

    ProfileFile reread;
    reread.setText(profile.toBytes());
    FUZZ_CHECK(reread.lines() == profile.lines(),
        QStringLiteral("%1 lines, then %2").arg(profile.lines().size()).arg(reread.lines().size()));

    const SettingsToSave values = valuesFrom(QByteArrayView(bytes).sliced(split));
    WriteSettingsTo(profile, values);
    ProfileFile saved;
    saved.setText(profile.toBytes());
    const Settings s = SettingsFromProfile(saved);
    FUZZ_CHECK(s.width == qint64(values.geometry->width), QString::number(s.width));
    FUZZ_CHECK(s.height == qint64(values.geometry->height), QString::number(s.height));
    FUZZ_CHECK(s.left == qint64(values.geometry->left), QString::number(s.left));
    FUZZ_CHECK(s.top == qint64(values.geometry->top), QString::number(s.top));
    FUZZ_CHECK(s.tabLine == values.tabLine, QString::number(s.tabLine));
    FUZZ_CHECK(s.endSave == values.endSave, QString::number(s.endSave));
    for (int k = 0; k < Settings::ColumnCount; ++k)
        FUZZ_CHECK(s.columnWidths[size_t(k)] == qint64(values.columnWidths[size_t(k)]), QString::number(k + 1));
    FUZZ_CHECK(s.itemPosition == ItemPositionText(values.displayPositions), Escaped(s.itemPosition));
    return 0;
}
