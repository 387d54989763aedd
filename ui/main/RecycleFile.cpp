#include "RecycleFile.h"

#include "Trash.h"

#include <QFileInfo>

bool RecycleFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.isSymLink())
        return false;
    return MoveToTrash(path).ok;
}
