#include "DataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString DataFolder()
{
    const QString fromEnvironment = qEnvironmentVariable("ZARUMI_DATA_DIR");
    if (!fromEnvironment.isEmpty())
        return QDir(fromEnvironment).absolutePath();

    // An installed program (in the install prefix's bin folder) keeps its
    // files per user, even when that folder happens to be writable.
    const QString programFolder = QCoreApplication::applicationDirPath();
    const bool installed = !programFolder.isEmpty()
        && QFileInfo(programFolder).canonicalFilePath()
            == QFileInfo(QStringLiteral(ZARUMI_INSTALL_BINDIR)).canonicalFilePath();
    if (!programFolder.isEmpty() && !installed && QFileInfo(programFolder).isWritable())
        return programFolder;

    const QString perUser = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(perUser);
    return perUser;
}

QString DataFiles::categoryFile(int n)
{
    return QStringLiteral("List0%1.txt").arg(n);
}
