// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "FfmpegMediaQuery.h"

#include "RegularFile.h"

#include <QtNumeric>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/mathematics.h>
#include <libavutil/mem.h>
}

#include <algorithm>
#include <mutex>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int IoBufferSize = 64 * 1024;

void silenceLibraryLog()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

// The file as FFmpeg reads it: our read-only handle, a position, the bytes
// handed out so far and how many it may have, and the moment at which the
// query gives up.
struct Input
{
    Input(const FilePath &path, Clock::time_point deadline, qint64 readLimit)
        : file(path)
        , deadline(deadline)
        , readLimit(readLimit)
    { }

    bool expired() const { return Clock::now() >= deadline; }

    RegularFile file;
    qint64 position = 0;
    qint64 served = 0;
    Clock::time_point deadline;
    qint64 readLimit;
};

// Past the read limit, whatever the position, the file reads as ended: the
// library then works with what it has, as with a file cut short.
int readInput(void *opaque, uint8_t *buffer, int size)
{
    auto *input = static_cast<Input *>(opaque);
    if (input->expired())
        return AVERROR_EXIT;
    const qint64 allowed = std::min<qint64>(size, input->readLimit - input->served);
    if (allowed <= 0)
        return AVERROR_EOF;
    const qint64 n = input->file.readAt(input->position, reinterpret_cast<char *>(buffer), allowed);
    if (n < 0)
        return AVERROR(EIO);
    if (n == 0)
        return AVERROR_EOF;
    input->position += n;
    input->served += n;
    return int(n);
}

int64_t seekInput(void *opaque, int64_t offset, int whence)
{
    auto *input = static_cast<Input *>(opaque);
    int64_t base = 0;
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return input->file.size();
    case SEEK_SET:
        break;
    case SEEK_CUR:
        base = input->position;
        break;
    case SEEK_END:
        base = input->file.size();
        break;
    default:
        return AVERROR(EINVAL);
    }
    int64_t target = 0;
    if (qAddOverflow(base, offset, &target) || target < 0)
        return AVERROR(EINVAL);
    input->position = target;
    return target;
}

int interrupted(void *opaque)
{
    return static_cast<const Input *>(opaque)->expired() ? 1 : 0;
}

// Demuxers that would open further files or addresses (playlists, external
// references, image sequences) are refused: only the probed file is read.
int refuseNestedOpen(AVFormatContext *, AVIOContext **, const char *, int, AVDictionary **)
{
    return AVERROR(EPERM);
}

// The container opened on an input, with its stream facts gathered; owns the
// format context and the custom I/O context.
class Container
{
public:
    Container(Input &input, const FilePath &path);
    ~Container();
    Container(const Container &) = delete;
    Container &operator=(const Container &) = delete;

    const AVFormatContext *context() const { return m_context; }

private:
    bool open(Input &input, const FilePath &path);

    AVIOContext *m_io = nullptr;
    AVFormatContext *m_context = nullptr;
};

Container::Container(Input &input, const FilePath &path)
{
    if (!open(input, path) && m_context)
        avformat_close_input(&m_context);
}

Container::~Container()
{
    if (m_context)
        avformat_close_input(&m_context);
    if (m_io) {
        av_freep(&m_io->buffer);
        avio_context_free(&m_io);
    }
}

bool Container::open(Input &input, const FilePath &path)
{
    auto *buffer = static_cast<unsigned char *>(av_malloc(IoBufferSize));
    if (!buffer)
        return false;
    m_io = avio_alloc_context(buffer, IoBufferSize, 0, &input, readInput, nullptr, seekInput);
    if (!m_io) {
        av_free(buffer);
        return false;
    }
    m_context = avformat_alloc_context();
    if (!m_context)
        return false;
    m_context->pb = m_io;
    m_context->flags |= AVFMT_FLAG_CUSTOM_IO;
    m_context->interrupt_callback = { interrupted, &input };
    m_context->io_open = refuseNestedOpen;
    // The analysis stops at this many bytes of packets; the analysed play
    // time stays the library's own per-format choice.
    m_context->probesize = FfmpegMediaQuery::AnalysisBytes;
    // The name only tells the library the extension, which helps it guess
    // the format: the file is never opened by name. On failure
    // avformat_open_input frees the context and nulls it.
    if (avformat_open_input(&m_context, path.text().toUtf8().constData(), nullptr, nullptr) < 0)
        return false;
    return avformat_find_stream_info(m_context, nullptr) >= 0 && !input.expired();
}

bool isAttachedPicture(const AVStream *stream)
{
    return stream->disposition & AV_DISPOSITION_ATTACHED_PIC;
}

std::optional<qint64> longestStreamDuration(const AVFormatContext *context)
{
    std::optional<qint64> longest;
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVStream *stream = context->streams[i];
        if (isAttachedPicture(stream) || stream->duration == AV_NOPTS_VALUE || stream->duration <= 0)
            continue;
        const qint64 duration = av_rescale_q(stream->duration, stream->time_base, AV_TIME_BASE_Q);
        longest = std::max(longest.value_or(0), duration);
    }
    return longest;
}

std::optional<qint64> durationOf(const AVFormatContext *context)
{
    if (context->duration != AV_NOPTS_VALUE && context->duration > 0)
        return context->duration;
    return longestStreamDuration(context);
}

const AVStream *firstPictureStream(const AVFormatContext *context)
{
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVStream *stream = context->streams[i];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !isAttachedPicture(stream))
            return stream;
    }
    return nullptr;
}

MediaInfo mediaInfoOf(const AVFormatContext *context)
{
    MediaInfo info;
    info.durationMicroseconds = durationOf(context);
    const AVStream *picture = firstPictureStream(context);
    if (picture && picture->codecpar->width > 0 && picture->codecpar->height > 0) {
        info.sourceWidth = picture->codecpar->width;
        info.sourceHeight = picture->codecpar->height;
    }
    return info;
}

} // namespace

FfmpegMediaQuery::FfmpegMediaQuery(std::chrono::milliseconds timeLimit, qint64 readLimit)
    : m_timeLimit(timeLimit)
    , m_readLimit(readLimit)
{
    silenceLibraryLog();
}

MediaInfo FfmpegMediaQuery::query(const FilePath &path)
{
    qint64 served = 0;
    return query(path, &served);
}

MediaInfo FfmpegMediaQuery::query(const FilePath &path, qint64 *served) const
{
    Input input(path, Clock::now() + m_timeLimit, m_readLimit);
    *served = 0;
    if (!input.file.isOpen())
        return {};
    const Container container(input, path);
    *served = input.served;
    if (!container.context() || input.expired())
        return {};
    return mediaInfoOf(container.context());
}

MediaInfo QueryMedia(const FilePath &path)
{
    static FfmpegMediaQuery query;
    return query.query(path);
}
