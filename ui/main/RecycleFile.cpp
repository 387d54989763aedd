#include "RecycleFile.h"

#include <QFile>
#include <QFileInfo>

bool RecycleFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.isSymLink())
        return false;
    return QFile::moveToTrash(path);
}
