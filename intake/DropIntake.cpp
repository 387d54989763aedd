// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "DropIntake.h"

#include <QMimeData>
#include <QUrl>

std::optional<QList<FilePath>> DroppedPaths(const QMimeData &data)
{
    if (!data.hasUrls())
        return std::nullopt;
    QList<FilePath> paths;
    for (const QUrl &url : data.urls()) {
        const FilePath path = FilePath::fromLocalFileUrl(url);
        if (!path.isEmpty())
            paths.append(path);
    }
    if (paths.isEmpty())
        return std::nullopt;
    return paths;
}

QString CatalogDateText(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

CatalogItem MasterRowFor(const ProbeResult &probe, const QDate &registered)
{
    CatalogItem row;
    row.setField(CatalogItem::Name, probe.name);
    row.setField(CatalogItem::FileSize, probe.catalogSize);
    row.setField(CatalogItem::Kind, probe.kind);
    row.setField(CatalogItem::PictureSize, probe.pictureSize);
    row.setField(CatalogItem::PlayTime, probe.playTime);
    row.setField(CatalogItem::Codec, probe.codec);
    row.setField(CatalogItem::Modified, probe.modified);
    row.setField(CatalogItem::Registered, CatalogDateText(registered));
    return row;
}
