// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "ProbeFile.h"

#include "DropIntake.h"
#include "EntryText.h"
#include "FfmpegMediaQuery.h"
#include "FileFacts.h"
#include "FileKind.h"
#include "FilePath.h"
#include "HeaderRead.h"
#include "PlayTime.h"
#include "SizeText.h"
#include "SniffHeader.h"

namespace {

const QString NotKnown = QStringLiteral("不明");

void applyMediaInfo(ProbeResult &result, const MediaInfo &info)
{
    if (info.sourceWidth && info.sourceHeight)
        result.pictureSize = QString::number(*info.sourceWidth) + u'×' + QString::number(*info.sourceHeight);
    const qint64 seconds = PlaySeconds(info.durationMicroseconds.value_or(0));
    if (seconds != 0)
        result.playTime = FormatPlayTime(seconds);
}

QString codecOf(const FilePath &path)
{
    const std::optional<HeaderBytes> header = ReadHeader(path);
    if (!header)
        return {};
    return SniffHeader(QByteArrayView(header->data(), header->size()));
}

void applyFileFacts(ProbeResult &result, const FileFacts &facts)
{
    result.present = facts.present;
    result.length = facts.length;
    result.catalogSize = facts.present ? CatalogSizeText(facts.length) : NotKnown;
    result.viewSize = facts.present ? ViewSizeText(facts.length) : NotKnown;
    result.modified = facts.present ? CatalogDateText(facts.modified) : NotKnown;
}

} // namespace

// The look-up comes first: only a regular file (or a link to one) is handed
// to the media library or opened for its header, since opening a FIFO or a
// device could block or disturb it. Whatever is not found keeps an empty
// picture size, play time and codec.
ProbeResult ProbeFile(const FilePath &path, MediaQuery *media)
{
    ProbeResult result;
    const QString name = path.fileName();
    const QString kind = KindOf(name);
    result.name = EntryText::normalizeName(name);
    result.kind = EntryText::normalizeField(kind);

    const FileFacts facts = LookUpFile(path);
    if (facts.present && IsMediaKind(kind))
        applyMediaInfo(result, media ? media->query(path) : QueryMedia(path));
    if (facts.present && IsHeaderKind(kind))
        result.codec = codecOf(path);
    applyFileFacts(result, facts);
    return result;
}
