// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "SaveTarget.h"

#include <QFile>
#include <QString>

// The save target of every data file. The new content goes to a temporary
// file beside the old one, named by this program alone ("List.txt" gets
// "List.txt.zarumi-k3J9xQ.tmp"), written straight through to the file
// system (no buffer that could fail later, at a flush nobody checks),
// synced to the disk, closed, and only then renamed over the old file. A
// kill at any moment leaves the old file or the new one, complete, and at
// worst a temporary file that the next start removes by its name.
//
// A link is followed: the file it points to is replaced, the link stays.
class SaveFile : public SaveTarget
{
public:
    explicit SaveFile(const QString &path);
    ~SaveFile() override; // cancels a save that was not committed

    bool open() override;
    QIODevice &device() override { return m_temp; }
    bool finish() override;
    bool commit() override;
    void cancel() override;
    QString errorReason() const override { return m_reason; }

    // The temporary file's path while the save runs.
    QString temporaryPath() const { return m_temp.fileName(); }

    // "<fileName>.zarumi-<random>.tmp"; the form isTemporaryName() knows.
    static QString temporaryName(const QString &fileName, const QString &random);
    // True when name is temporaryName(fileName, r) for some r of
    // RandomLength ASCII letters and digits.
    static bool isTemporaryName(const QString &name, const QString &fileName);
    static constexpr int RandomLength = 6;

private:
    bool fail(int errorNumber, QFileDevice::FileError kind);
    bool createTemporary(bool replacing);

    QString m_path;
    QString m_target; // m_path with links followed
    QFile m_temp;
    QString m_reason;
    bool m_created = false;
    bool m_committed = false;
};
