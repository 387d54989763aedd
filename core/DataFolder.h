#pragma once

#include <QString>

// The one folder that holds List.txt, test.ini and List01.txt..List05.txt:
// $ZARUMI_DATA_DIR when set; else the executable's folder when writable
// and not an installed program's bin folder; else the per-user application data folder (created when missing).
QString DataFolder();
// The same for a program lying in programFolder.
QString DataFolderFor(const QString &programFolder);

namespace DataFiles {
inline const QString CatalogFile = QStringLiteral("List.txt");
inline const QString SettingsFile = QStringLiteral("test.ini");
// n is 1..5: List01.txt..List05.txt
QString categoryFile(int n);
} // namespace DataFiles
