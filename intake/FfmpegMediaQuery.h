// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "MediaQuery.h"

#include <chrono>

// The media query through FFmpeg's libavformat. The file is read through
// our own read-only handle (a regular file only); the container is opened
// and its stream facts gathered, nothing is played. The duration is the
// container's, or else the longest stream's; the picture size is that of
// the first video stream that is not an attached picture (cover art). A
// damaged or endless file ends the query after the time limit, with the
// values missing. What the library may read is bounded too: past the read
// limit the file reads as ended, so that a huge file of zeros (which the
// library would search for a frame to its end, keeping what it read) costs
// neither time nor memory. FFmpeg's log output is silenced.
class FfmpegMediaQuery : public MediaQuery
{
public:
    static constexpr std::chrono::milliseconds DefaultTimeLimit { 10'000 };
    // Above what a real file needs: the stream analysis reads at most
    // AnalysisBytes, the duration estimate a few hundred KB near the end
    // (more only for a stream without time stamps there), an index or a
    // header of a long film a few MB. A file of zeros costs about 1 s and
    // 70 MB at this limit: the library keeps and rescans all it reads.
    static constexpr qint64 DefaultReadLimit = 16 * 1024 * 1024;
    static constexpr qint64 AnalysisBytes = 5'000'000;

    explicit FfmpegMediaQuery(
        std::chrono::milliseconds timeLimit = DefaultTimeLimit, qint64 readLimit = DefaultReadLimit);
    MediaInfo query(const FilePath &path) override;
    // The same query; *served receives the number of bytes handed to the
    // library.
    MediaInfo query(const FilePath &path, qint64 *served) const;

private:
    std::chrono::milliseconds m_timeLimit;
    qint64 m_readLimit;
};

// The query with the default FFmpeg media query.
MediaInfo QueryMedia(const FilePath &path);
