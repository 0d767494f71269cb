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
//
// Frame size: libvlc offers the decoder's buffer, which is padded (320x194
// for a 320x180 picture, 1920x1090 for 1080p), and scales the picture into
// whatever size the format call answers. With a target size set, the answer
// is the picture itself (the offer's width, its 16:9 height at most), or
// the target when that is at most a quarter of the picture's width, both
// even. Only a new output asks, so the size chosen holds until the next load
// or track change.
//
// Holding: between Hold() and the release the sink publishes nothing, so a
// pane can keep what a player shows before its track is chosen off the
// screen.

#include <QImage>
#include <QSize>
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
    // The size the format call answers for an offer; an empty target keeps
    // the offer.
    static QSize NegotiateSize(QSize offer, QSize target);
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

    // The picture size outputs created from now on are asked for (see
    // above); empty: the offer.
    void SetTargetSize(QSize size);
    // The size the latest output was given; empty before the first.
    QSize NegotiatedSize() const;

    // From now on no frame is published...
    void Hold();
    // ...until the first frame of an output created after this call, or any
    // frame once timeout has passed. Without a Hold, nothing changes.
    void ReleaseOnNextOutput(std::chrono::milliseconds timeout);
    bool Held() const;

    // Sees every frame published, on the displaying thread under the sink's
    // lock; for tests and the benchmark. Empty: none.
    void SetPublishObserver(std::function<void(const QImage&)> observer);

    // Called, on the displaying thread, when a frame arrives and no repaint
    // is queued; it must only queue one. Empty: nobody is shown frames.
    void SetRepaintRequest(std::function<void()> request);
    // The painter has taken the latest frame: the next one queues again.
    void RepaintTaken();

private:
    class Output;
    friend class Output;
    // Creates an output of the given size: its serial comes from here.
    std::uint64_t NewOutputSerial();
    void Publish(Frame frame, std::uint64_t outputSerial);

    mutable std::mutex mutex;
    Frame latest;
    std::uint64_t count = 0;
    std::optional<Clock::time_point> firstFrame;
    std::function<void()> repaintRequest;
    std::function<void(const QImage&)> publishObserver;
    bool repaintQueued = false;
    std::atomic<int> outputsAlive{0};

    QSize targetSize;
    QSize negotiatedSize;
    std::uint64_t outputsCreated = 0;
    bool held = false;
    // Set by ReleaseOnNextOutput: outputs of a higher serial are newer.
    std::optional<std::uint64_t> releaseAfterSerial;
    Clock::time_point releaseDeadline;
};
