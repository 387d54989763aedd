// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QString>

// When the files may lie beside the program.
enum class DataFolderRule {
    // When its folder is writable and not an installed program's bin folder
    // (Linux and other POSIX systems: a program unpacked or built anywhere).
    BesideWritableProgram,
    // Only for a developer's run from the build tree (Windows and macOS,
    // where a program's folder is no place for a user's files).
    OnlyInBuildTree,
};

#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
inline constexpr DataFolderRule SystemDataFolderRule = DataFolderRule::OnlyInBuildTree;
#else
inline constexpr DataFolderRule SystemDataFolderRule = DataFolderRule::BesideWritableProgram;
#endif

// The one folder that holds List.txt, test.ini and List01.txt..List05.txt:
// $ZARUMI_DATA_DIR when set; else the executable's folder when the rule
// allows; else the per-user application data folder (created when missing).
QString DataFolder();
// The same for a program lying in programFolder.
QString DataFolderFor(const QString &programFolder, DataFolderRule rule = SystemDataFolderRule);

namespace DataFiles {
inline const QString CatalogFile = QStringLiteral("List.txt");
inline const QString SettingsFile = QStringLiteral("test.ini");
// n is 1..5: List01.txt..List05.txt
QString categoryFile(int n);
} // namespace DataFiles
