#pragma once

#include "MediaQuery.h"

#include <chrono>

// The media query through FFmpeg's libavformat. The file is read through
// our own read-only handle (a regular file only); the container is opened
// and its stream facts gathered, nothing is played. The duration is the
// container's, or else the longest stream's; the picture size is that of
// the first video stream that is not an attached picture (cover art). A
// damaged or endless file ends the query after the time limit, with the
// values missing. FFmpeg's log output is silenced.
class FfmpegMediaQuery : public MediaQuery
{
public:
    static constexpr std::chrono::milliseconds DefaultTimeLimit { 10'000 };

    explicit FfmpegMediaQuery(std::chrono::milliseconds timeLimit = DefaultTimeLimit);
    MediaInfo query(const QString &path) override;

private:
    std::chrono::milliseconds m_timeLimit;
};

// The query with the default FFmpeg media query.
MediaInfo QueryMedia(const QString &path);
