#include "platform/ThreadSanitizerQt.h"
#include "playback/VideoFrameSink.h"
#include "playback/VideoSurface.h"
#include "support/ChildWatch.h"

#include <QApplication>
#include <QPixmap>
#include <atomic>
#include <gtest/gtest.h>
#include <latch>
#include <thread>

KESTROV_TSAN_IGNORE_QT_INTERNALS()

namespace {

using testsupport::WaitUntil;

// Drives one output of a sink the way libvlc does.
class OutputDriver {
public:
    OutputDriver(VideoFrameSink& sink, unsigned width, unsigned height) : width(width), height(height)
    {
        opaque = &sink;
        char chroma[5] = "I420";
        unsigned pitches[3] = {}, lines[3] = {};
        buffers = VideoFrameSink::Format(&opaque, chroma, &this->width, &this->height, pitches, lines);
        EXPECT_EQ(std::string(chroma, 4), "RV32");
        EXPECT_EQ(pitches[0], width * 4);
        EXPECT_EQ(lines[0], height);
    }
    ~OutputDriver() { Close(); }
    void Close()
    {
        if (buffers)
            VideoFrameSink::Cleanup(opaque);
        buffers = 0;
    }
    // A frame of one colour; libvlc unlocks before or after displaying.
    void Show(QRgb colour, bool unlockFirst = true)
    {
        void* planes[3] = {};
        void* picture = VideoFrameSink::Lock(opaque, planes);
        auto* pixels = static_cast<quint32*>(planes[0]);
        std::fill(pixels, pixels + width * height, colour);
        if (unlockFirst)
            VideoFrameSink::Unlock(opaque, picture, planes);
        VideoFrameSink::Display(opaque, picture);
        if (!unlockFirst)
            VideoFrameSink::Unlock(opaque, picture, planes);
    }
    // A picture that is locked and unlocked but never shown.
    void Drop()
    {
        void* planes[3] = {};
        void* picture = VideoFrameSink::Lock(opaque, planes);
        VideoFrameSink::Unlock(opaque, picture, planes);
    }

    unsigned width, height;
    unsigned buffers = 0;

private:
    void* opaque;
};

constexpr QRgb kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kBlack = 0xFF000000;

QRgb ShownAt(QWidget& widget, int x, int y)
{
    return widget.grab().toImage().pixel(x, y);
}

TEST(FrameSink, OutputsComeAndGoWhileFramesAreShown)
{
    VideoFrameSink sink;
    VideoSurface surface(sink);
    surface.resize(640, 360);
    surface.show();
    std::atomic<bool> done{false};
    std::thread libvlc([&] {
        { OutputDriver probe(sink, 320, 194); }  // a decoder tried and dropped
        OutputDriver front(sink, 320, 194);
        OutputDriver rear(sink, 320, 194);
        EXPECT_EQ(sink.OutputsAlive(), 2);
        for (int i = 0; i < 50; ++i) {
            front.Show(kRed, i % 2 == 0);
            rear.Drop();
            rear.Show(kBlue, i % 2 != 0);
        }
        front.Close();
        for (int i = 0; i < 50; ++i)
            rear.Show(kGreen);
        done = true;
    });
    // Paint while the outputs change under the surface.
    while (!done)
        surface.grab();
    libvlc.join();
    EXPECT_EQ(sink.OutputsAlive(), 0);
    EXPECT_EQ(sink.FrameCount(), 150u);
    EXPECT_EQ(ShownAt(surface, 320, 180), kGreen);
    const VideoFrameSink::Latest latest = sink.LatestFrame();
    ASSERT_TRUE(latest.frame);
    EXPECT_EQ(latest.frame->size(), QSize(320, 194));
}

TEST(FrameSink, RefusesSizesOutOfRange)
{
    VideoFrameSink sink;
    const QSize refused[] = {{0, 180}, {320, 0}, {8193, 180}, {320, 8193}};
    for (QSize size : refused) {
        void* opaque = &sink;
        char chroma[5] = "I420";
        unsigned width = size.width(), height = size.height(), pitches[3] = {}, lines[3] = {};
        EXPECT_EQ(VideoFrameSink::Format(&opaque, chroma, &width, &height, pitches, lines), 0u);
        EXPECT_EQ(opaque, &sink);
    }
    EXPECT_EQ(sink.OutputsAlive(), 0);
    OutputDriver largest(sink, 8192, 16);
    EXPECT_EQ(largest.buffers, 1u);
}

// The size a new output is given: the padded offer without a target, else
// the picture (the offer's width, its 16:9 height at most) or the target
// when at most a quarter as wide, both even.
TEST(FrameSink, NegotiatesThePictureOrTheSmallerTarget)
{
    struct Case {
        QSize offer, target, given;
    };
    const Case cases[] = {
        {{1920, 1088}, {}, {1920, 1088}},
        {{1920, 1088}, {960, 540}, {1920, 1080}},
        {{1920, 1088}, {480, 270}, {480, 270}},
        {{1920, 1090}, {1920, 1080}, {1920, 1080}},
        {{1280, 738}, {1920, 1080}, {1280, 720}},
        {{1280, 738}, {320, 180}, {320, 180}},
        {{320, 194}, {640, 360}, {320, 180}},
        {{320, 194}, {80, 45}, {80, 44}},
        {{321, 181}, {641, 361}, {320, 180}},
        {{640, 362}, {161, 91}, {640, 360}},
        {{644, 362}, {161, 91}, {160, 90}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.offer.width() << "x" << c.offer.height() << " to "
                                        << c.target.width() << "x" << c.target.height());
        EXPECT_EQ(VideoFrameSink::NegotiateSize(c.offer, c.target), c.given);
        VideoFrameSink sink;
        sink.SetTargetSize(c.target);
        void* opaque = &sink;
        char chroma[5] = "I420";
        unsigned width = c.offer.width(), height = c.offer.height(), pitches[3] = {}, lines[3] = {};
        ASSERT_EQ(VideoFrameSink::Format(&opaque, chroma, &width, &height, pitches, lines), 1u);
        EXPECT_EQ(QSize(width, height), c.given);
        EXPECT_EQ(pitches[0], width * 4);
        EXPECT_EQ(lines[0], height);
        EXPECT_EQ(sink.NegotiatedSize(), c.given);
        VideoFrameSink::Cleanup(opaque);
    }
}

// Held, the sink publishes nothing of the outputs it has; once released it
// publishes the first frame of a newer output, or any frame after the
// timeout.
TEST(FrameSink, HeldUntilANewerOutputOrTheTimeout)
{
    VideoFrameSink sink;
    std::vector<QRgb> published;
    sink.SetPublishObserver([&](const QImage& frame) { published.push_back(frame.pixel(0, 0)); });
    {
        OutputDriver front(sink, 64, 36);
        sink.Hold();
        front.Show(kRed);
        OutputDriver alsoOld(sink, 64, 36);  // made before the release: older
        sink.ReleaseOnNextOutput(std::chrono::minutes(1));
        front.Show(kRed);
        alsoOld.Show(kRed);
        EXPECT_EQ(sink.FrameCount(), 0u);
        EXPECT_TRUE(sink.Held());
        OutputDriver rear(sink, 64, 36);
        rear.Show(kBlue);
        EXPECT_FALSE(sink.Held());
        front.Show(kGreen);  // released: anything is shown again
    }
    EXPECT_EQ(published, (std::vector<QRgb>{kBlue, kGreen}));

    published.clear();
    OutputDriver old(sink, 64, 36);
    sink.Hold();
    sink.ReleaseOnNextOutput(std::chrono::milliseconds(30));
    old.Show(kRed);
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    old.Show(kGreen);
    EXPECT_EQ(published, std::vector<QRgb>{kGreen});

    // Without a release nothing is published, whatever the outputs.
    published.clear();
    sink.Hold();
    OutputDriver later(sink, 64, 36);
    later.Show(kBlue);
    old.Show(kBlue);
    EXPECT_TRUE(published.empty());
    sink.SetPublishObserver({});
}

TEST(FrameSink, DisplayNeverWaitsForTheUiThread)
{
    VideoFrameSink sink;
    VideoSurface surface(sink);
    surface.resize(320, 180);
    surface.show();
    std::latch finished(1);
    std::thread libvlc([&] {
        OutputDriver output(sink, 64, 36);
        for (int i = 0; i < 200; ++i)
            output.Show(i % 2 ? kRed : kBlue);
        output.Close();
        finished.count_down();
    });
    // The UI thread is held until all frames are through.
    finished.wait();
    libvlc.join();
    EXPECT_EQ(sink.FrameCount(), 200u);
    EXPECT_TRUE(sink.FirstFrameTime().has_value());

    // One repaint is queued until the painter takes the frame.
    int requests = 0;
    sink.SetRepaintRequest([&] { ++requests; });
    OutputDriver output(sink, 64, 36);
    for (int i = 0; i < 10; ++i)
        output.Show(kRed);
    EXPECT_EQ(requests, 1);
    sink.RepaintTaken();
    output.Show(kRed);
    EXPECT_EQ(requests, 2);
    output.Close();
    sink.SetRepaintRequest({});
}

TEST(VideoSurface, LetterboxesIntoSixteenByNine)
{
    VideoFrameSink sink;
    VideoSurface surface(sink);
    OutputDriver output(sink, 320, 194);
    output.Show(kRed);
    struct Case {
        QSize widget;
        QRect picture;
    };
    const Case cases[] = {{{640, 360}, {0, 0, 640, 360}},
                          {{400, 400}, {0, 87, 400, 225}},
                          {{1000, 360}, {180, 0, 640, 360}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.widget.width() << "x" << c.widget.height());
        EXPECT_EQ(VideoSurface::PictureRect(c.widget), c.picture);
        surface.resize(c.widget);
        const QImage shown = surface.grab().toImage();
        const QRect r = c.picture;
        for (QPoint inside : {r.topLeft(), r.bottomRight(), r.center()})
            EXPECT_EQ(shown.pixel(inside), kRed) << inside.x() << "," << inside.y();
        for (QPoint outside : {r.topLeft() - QPoint(1, 1), r.bottomRight() + QPoint(1, 1)}) {
            if (shown.rect().contains(outside)) {
                EXPECT_EQ(shown.pixel(outside), kBlack) << outside.x() << "," << outside.y();
            }
        }
    }
    output.Close();
}

TEST(VideoSurface, BlackBeforeTheFirstFrameAndAfterClear)
{
    VideoFrameSink sink;
    VideoSurface surface(sink);
    surface.resize(320, 180);
    EXPECT_EQ(ShownAt(surface, 160, 90), kBlack);
    OutputDriver output(sink, 320, 180);
    output.Show(kBlue);
    EXPECT_EQ(ShownAt(surface, 160, 90), kBlue);
    surface.Clear();
    EXPECT_EQ(ShownAt(surface, 160, 90), kBlack);
    output.Show(kGreen);
    EXPECT_EQ(ShownAt(surface, 160, 90), kGreen);
    output.Close();
}

TEST(VideoSurface, DestroyedMidStream)
{
    VideoFrameSink sink;
    auto surface = std::make_unique<VideoSurface>(sink);
    surface->resize(320, 180);
    surface->show();
    std::atomic<bool> stop{false};
    std::atomic<int> shown{0};
    std::thread libvlc([&] {
        OutputDriver output(sink, 320, 180);
        while (!stop) {
            output.Show(kRed);
            ++shown;
        }
    });
    ASSERT_TRUE(WaitUntil([&] { return shown > 20; }, 5000));
    surface.reset();
    const int before = shown;
    ASSERT_TRUE(WaitUntil([&] { return shown > before + 20; }, 5000));
    stop = true;
    libvlc.join();
    QApplication::processEvents();
    EXPECT_EQ(sink.OutputsAlive(), 0);
}

}  // namespace
