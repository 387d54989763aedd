// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "DiscName.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

QString DefaultDiscName(const QString &folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    const QStorageInfo volume(folder);
    if (volume.isValid() && !canonical.isEmpty() && QFileInfo(volume.rootPath()).canonicalFilePath() == canonical
        && !volume.name().isEmpty())
        return volume.name();
    const QString name = QFileInfo(QDir::cleanPath(folder)).fileName();
    return name.isEmpty() ? QDir::toNativeSeparators(QDir::cleanPath(folder)) : name;
}
