// One bench case per process: plays a recording through the viewer's own
// set-up and prints, on one line, the milliseconds from play to the first
// frame, from process start to the first frame, the CPU of the whole
// process over a window of play, and with "two" the rear's first frame of
// its own track.
//
//   playback_bench one|two <recording>

#include "BenchSupport.h"
#include "playback/VideoFrameSink.h"
#include "playback/VideoSurface.h"
#include "playback/VlcPlayerSetup.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

using namespace bench;

constexpr int kWarmUpMs = 2000;
constexpr int kWindowMs = 10000;

struct Channel {
    Channel(VlcFunctionExecutor& vlc, const std::string& file, bool rear) : vlc(vlc), surface(sink)
    {
        surface.resize(960, 540);
        surface.show();
        VlcPlayerSetup setup;
        setup.vflip = setup.hflip = false;
        setup.sink = &sink;
        setup.events = {{vlc::MediaPlayerPlaying, &Channel::OnPlaying, this}};
        handles = SetUpVlcPlayer(vlc, setup);
        libvlc_media_t* media = vlc.Functions().libvlc_media_new_path(handles.instance(), file.c_str());
        vlc.libvlc_media_player_set_media(handles.player(), media);
        vlc.Functions().libvlc_media_release(media);
        if (rear)
            vlc.libvlc_audio_set_volume(handles.player(), 0);
    }
    ~Channel()
    {
        if (selector.joinable())
            selector.join();
        handles.reset();
    }

    static void OnPlaying(const libvlc_event_t*, void* data) { static_cast<Channel*>(data)->playing = true; }

    void Play()
    {
        played = Clock::now();
        vlc.libvlc_media_player_play(handles.player());
    }

    // The rear's track choice, off libvlc's event thread.
    void SelectRearTrackWhenPlaying()
    {
        selector = std::thread([this] {
            while (!playing)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            vlc.libvlc_video_set_track(handles.player(), -1);
            sink.Reset();
            vlc.libvlc_video_set_track(handles.player(), 1);
        });
    }

    VlcFunctionExecutor& vlc;
    VideoFrameSink sink;
    VideoSurface surface;
    VlcPlayerHandles handles;
    std::atomic<bool> playing{false};
    Clock::time_point played;
    std::thread selector;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 3 || (std::string(argv[1]) != "one" && std::string(argv[1]) != "two")) {
        std::fprintf(stderr, "usage: playback_bench one|two <recording>\n");
        return 2;
    }
    const bool two = std::string(argv[1]) == "two";
    VlcFunctionExecutor* vlc = nullptr;
    try {
        vlc = VlcFunctionExecutor::GetInstance();
    } catch (const VlcLoadError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 2;
    }
    const std::string file = argv[2];

    Channel front(*vlc, file, false);
    std::unique_ptr<Channel> rear;
    if (two) {
        rear = std::make_unique<Channel>(*vlc, file, true);
        rear->SelectRearTrackWhenPlaying();
    }
    if (!front.handles.ready() || (rear && !rear->handles.ready())) {
        std::fprintf(stderr, "no player\n");
        return 2;
    }
    front.Play();
    if (rear)
        rear->Play();
    if (!RunEventLoopUntil([&] { return front.sink.FirstFrameTime().has_value(); }, 10000)) {
        std::fprintf(stderr, "no frame\n");
        return 2;
    }
    const double processFirstFrame = SinceProcessStart() - Milliseconds(Clock::now() - *front.sink.FirstFrameTime());
    const double firstFrame = Milliseconds(*front.sink.FirstFrameTime() - front.played);

    RunEventLoop(std::max(0, kWarmUpMs - static_cast<int>(Milliseconds(Clock::now() - front.played))));
    const long long before = CpuTicks();
    RunEventLoop(kWindowMs);
    const long long after = CpuTicks();
    const double cpu = 100.0 * (after - before) / sysconf(_SC_CLK_TCK) / (kWindowMs / 1000.0);

    std::printf("first_frame_ms=%.1f process_first_frame_ms=%.1f cpu_percent=%.1f", firstFrame,
                processFirstFrame, cpu);
    if (rear) {
        const auto rearFrame = rear->sink.FirstFrameTime();
        std::printf(" rear_track_frame_ms=%.1f", rearFrame ? Milliseconds(*rearFrame - rear->played) : -1.0);
    }
    std::printf("\n");
    return 0;
}
