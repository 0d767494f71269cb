#include "playback/VideoFrameSink.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// Buffers of one output's size; frames handed out come back here when their
// last holder drops them, so a steady stream allocates nothing.
class FramePool {
public:
    FramePool(int width, int height) : width(width), height(height) {}

    std::unique_ptr<QImage> Take()
    {
        {
            std::lock_guard lock(mutex);
            if (!spare.empty()) {
                std::unique_ptr<QImage> image = std::move(spare.back());
                spare.pop_back();
                return image;
            }
        }
        return std::make_unique<QImage>(width, height, QImage::Format_RGB32);
    }

    void Give(std::unique_ptr<QImage> image)
    {
        std::lock_guard lock(mutex);
        if (!closed && spare.size() < kMaxSpare)
            spare.push_back(std::move(image));
    }

    // The output is gone: buffers coming back are freed.
    void Close()
    {
        std::lock_guard lock(mutex);
        closed = true;
        spare.clear();
    }

private:
    static constexpr std::size_t kMaxSpare = 4;
    const int width;
    const int height;
    std::mutex mutex;
    std::vector<std::unique_ptr<QImage>> spare;
    bool closed = false;
};

}  // namespace

// One video output of libvlc: its buffers and the pictures libvlc holds.
class VideoFrameSink::Output {
public:
    Output(VideoFrameSink& sink, int width, int height)
        : sink(sink), serial(sink.NewOutputSerial()), pool(std::make_shared<FramePool>(width, height))
    {
        sink.outputsAlive.fetch_add(1);
    }

    ~Output()
    {
        pool->Close();
        sink.outputsAlive.fetch_sub(1);
    }

    void* Lock(void** planes)
    {
        std::unique_ptr<QImage> image = pool->Take();
        QImage* picture = image.get();
        planes[0] = picture->bits();
        std::lock_guard lock(mutex);
        held.push_back({std::move(image), false});
        return picture;
    }

    void Unlock(void* picture)
    {
        std::lock_guard lock(mutex);
        for (Held& entry : held)
            if (entry.image.get() == picture)
                entry.unlocked = true;
    }

    // libvlc unlocks a picture right before or right after displaying it; a
    // picture unlocked earlier that is still held now was dropped.
    void Display(void* picture)
    {
        std::unique_ptr<QImage> shown;
        {
            std::lock_guard lock(mutex);
            for (auto it = held.begin(); it != held.end();) {
                if (it->image.get() == picture) {
                    shown = std::move(it->image);
                    it = held.erase(it);
                } else if (it->unlocked) {
                    pool->Give(std::move(it->image));
                    it = held.erase(it);
                } else {
                    ++it;
                }
            }
        }
        if (!shown)
            return;
        std::shared_ptr<FramePool> owner = pool;
        sink.Publish(Frame(shown.release(),
                           [owner](const QImage* image) {
                               owner->Give(std::unique_ptr<QImage>(const_cast<QImage*>(image)));
                           }),
                     serial);
    }

private:
    struct Held {
        std::unique_ptr<QImage> image;
        bool unlocked;
    };

    VideoFrameSink& sink;
    const std::uint64_t serial;
    std::shared_ptr<FramePool> pool;
    std::mutex mutex;
    std::vector<Held> held;
};

VideoFrameSink::~VideoFrameSink()
{
    // The player must be released first: it owns the outputs.
    assert(outputsAlive.load() == 0);
}

QSize VideoFrameSink::NegotiateSize(QSize offer, QSize target)
{
    if (target.isEmpty())
        return offer;
    const auto even = [](int value) { return std::max(2, value & ~1); };
    // The padding lies below the picture; the panes show 16:9.
    const QSize picture(even(offer.width()), even(std::min(offer.height(), offer.width() * 9 / 16)));
    // Converting at the picture's own size takes libvlc's fast path, and the
    // surface scales cheaply when it paints; scaling inside libvlc pays only
    // for much smaller frames (measured: 1080p into 960x540 costs more than
    // 1080p itself, into 480x270 less).
    if (target.width() * 4 > picture.width())
        return picture;
    return QSize(even(target.width()), even(target.height()));
}

unsigned VideoFrameSink::Format(void** opaque, char* chroma, unsigned* width, unsigned* height,
                                unsigned* pitches, unsigned* lines)
{
    auto* sink = static_cast<VideoFrameSink*>(*opaque);
    if (*width == 0 || *height == 0 || *width > kMaxDimension || *height > kMaxDimension)
        return 0;
    QSize size;
    {
        std::lock_guard lock(sink->mutex);
        size = NegotiateSize(QSize(static_cast<int>(*width), static_cast<int>(*height)), sink->targetSize);
        sink->negotiatedSize = size;
    }
    *width = static_cast<unsigned>(size.width());
    *height = static_cast<unsigned>(size.height());
    std::memcpy(chroma, "RV32", 4);
    pitches[0] = *width * 4;
    lines[0] = *height;
    *opaque = new Output(*sink, size.width(), size.height());
    return 1;
}

std::uint64_t VideoFrameSink::NewOutputSerial()
{
    std::lock_guard lock(mutex);
    return ++outputsCreated;
}

void VideoFrameSink::Cleanup(void* opaque)
{
    delete static_cast<Output*>(opaque);
}

void* VideoFrameSink::Lock(void* opaque, void** planes)
{
    return static_cast<Output*>(opaque)->Lock(planes);
}

void VideoFrameSink::Unlock(void* opaque, void* picture, void* const*)
{
    static_cast<Output*>(opaque)->Unlock(picture);
}

void VideoFrameSink::Display(void* opaque, void* picture)
{
    static_cast<Output*>(opaque)->Display(picture);
}

void VideoFrameSink::Publish(Frame frame, std::uint64_t outputSerial)
{
    Frame replaced;
    std::lock_guard lock(mutex);
    if (held) {
        const bool newer = releaseAfterSerial && outputSerial > *releaseAfterSerial;
        const bool late = releaseAfterSerial && Clock::now() >= releaseDeadline;
        if (!newer && !late)
            return;  // the frame goes back to its pool when dropped here
        held = false;
        releaseAfterSerial.reset();
    }
    if (publishObserver)
        publishObserver(*frame);
    replaced = std::exchange(latest, std::move(frame));
    ++count;
    if (!firstFrame)
        firstFrame = Clock::now();
    if (repaintRequest && !repaintQueued) {
        repaintQueued = true;
        repaintRequest();
    }
}

VideoFrameSink::Latest VideoFrameSink::LatestFrame() const
{
    std::lock_guard lock(mutex);
    return {latest, count};
}

std::uint64_t VideoFrameSink::FrameCount() const
{
    std::lock_guard lock(mutex);
    return count;
}

std::optional<VideoFrameSink::Clock::time_point> VideoFrameSink::FirstFrameTime() const
{
    std::lock_guard lock(mutex);
    return firstFrame;
}

void VideoFrameSink::Reset()
{
    Frame dropped;
    std::lock_guard lock(mutex);
    dropped = std::exchange(latest, nullptr);
    count = 0;
    firstFrame.reset();
}

void VideoFrameSink::SetRepaintRequest(std::function<void()> request)
{
    std::lock_guard lock(mutex);
    repaintRequest = std::move(request);
    repaintQueued = false;
}

void VideoFrameSink::RepaintTaken()
{
    std::lock_guard lock(mutex);
    repaintQueued = false;
}

void VideoFrameSink::SetTargetSize(QSize size)
{
    std::lock_guard lock(mutex);
    targetSize = size;
}

QSize VideoFrameSink::NegotiatedSize() const
{
    std::lock_guard lock(mutex);
    return negotiatedSize;
}

void VideoFrameSink::Hold()
{
    std::lock_guard lock(mutex);
    held = true;
    releaseAfterSerial.reset();
}

void VideoFrameSink::ReleaseOnNextOutput(std::chrono::milliseconds timeout)
{
    std::lock_guard lock(mutex);
    if (!held)
        return;
    releaseAfterSerial = outputsCreated;
    releaseDeadline = Clock::now() + timeout;
}

bool VideoFrameSink::Held() const
{
    std::lock_guard lock(mutex);
    return held;
}

void VideoFrameSink::SetPublishObserver(std::function<void(const QImage&)> observer)
{
    std::lock_guard lock(mutex);
    publishObserver = std::move(observer);
}
