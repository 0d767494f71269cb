#pragma once
// Where libvlc's video output paints: the target of its five video
// callbacks. No widget; every operation is safe on any thread, and the
// callbacks, which run on libvlc's output threads, never wait for the UI
// thread.
//
// libvlc creates and drops outputs freely (one per decoder it tries, and one
// per selected video track), all through the same callbacks. Each format
// call therefore gets buffers of its own, reached through the opaque it
// replaces; a cleanup frees only its own output, and a frame handed out
// stays valid until its last holder drops it.

#include <QImage>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class VideoFrameSink {
public:
    using Clock = std::chrono::steady_clock;
    using Frame = std::shared_ptr<const QImage>;

    // Larger frames are refused.
    static constexpr unsigned kMaxDimension = 8192;

    VideoFrameSink() = default;
    ~VideoFrameSink();
    VideoFrameSink(const VideoFrameSink&) = delete;
    VideoFrameSink& operator=(const VideoFrameSink&) = delete;

    // libvlc's video callbacks. Format and Cleanup go to
    // libvlc_video_set_format_callbacks; Lock, Unlock and Display to
    // libvlc_video_set_callbacks with the sink as the opaque.
    static unsigned Format(void** opaque, char* chroma, unsigned* width, unsigned* height, unsigned* pitches,
                           unsigned* lines);
    static void Cleanup(void* opaque);
    static void* Lock(void* opaque, void** planes);
    static void Unlock(void* opaque, void* picture, void* const* planes);
    static void Display(void* opaque, void* picture);

    struct Latest {
        Frame frame;             // null before the first frame since Reset()
        std::uint64_t count = 0; // frames displayed since Reset()
    };
    Latest LatestFrame() const;
    std::uint64_t FrameCount() const;
    // When the first frame since Reset() was displayed.
    std::optional<Clock::time_point> FirstFrameTime() const;
    int OutputsAlive() const { return outputsAlive.load(); }
    // Forgets the latest frame, the count and the first frame's time.
    void Reset();

    // Called, on the displaying thread, when a frame arrives and no repaint
    // is queued; it must only queue one. Empty: nobody is shown frames.
    void SetRepaintRequest(std::function<void()> request);
    // The painter has taken the latest frame: the next one queues again.
    void RepaintTaken();

private:
    class Output;
    friend class Output;
    void Publish(Frame frame);

    mutable std::mutex mutex;
    Frame latest;
    std::uint64_t count = 0;
    std::optional<Clock::time_point> firstFrame;
    std::function<void()> repaintRequest;
    bool repaintQueued = false;
    std::atomic<int> outputsAlive{0};
};
