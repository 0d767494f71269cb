// One bench case per process, printed as key=value on one line.
//
//   playback_bench one|two <recording> [WxH [adjust]]
//     The player set-up alone, its surface 960x540: the milliseconds from
//     play to the first frame and from process start to it, the CPU of the
//     whole process over a window of play, and with "two" the rear's first
//     frame of its own track. WxH is the sink's target size (- or none: the
//     offer libvlc makes), to compare the frame sizes one could ask for;
//     "adjust" switches libvlc's adjust filter on at brightness 1.0, as the
//     panes do at every start of playback.
//   playback_bench panes <recording>
//     Both channel panes, 960x540 each, driven through a hub harness as the
//     viewer drives them: from posting the load to the front's first frame
//     and to the rear's first frame of its own track, the CPU, and the
//     rear's position less the front's after 5 s.
//   playback_bench after <two-camera recording> <one-camera recording>
//   playback_bench fresh <one-camera recording>
//     The CPU of playing the one-camera recording right after the
//     two-camera one, and from a fresh start.

#include "BenchSupport.h"
#include "playback/ChannelPaneFixtures.h"
#include "playback/VideoFrameSink.h"
#include "playback/VideoSurface.h"
#include "playback/VlcPlayerSetup.h"

#include "hub/HubCodes.h"
#include "platform/UiThread.h"

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
    Channel(VlcFunctionExecutor& vlc, const std::string& file, bool rear, QSize target) : vlc(vlc), surface(sink)
    {
        surface.resize(960, 540);
        surface.show();
        sink.SetTargetSize(target);
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

    void Adjust()
    {
        vlc.Functions().libvlc_video_set_adjust_int(handles.player(), vlc::AdjustEnable, 1);
        vlc.Functions().libvlc_video_set_adjust_float(handles.player(), vlc::AdjustBrightness, 1.0f);
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

// The CPU of the whole process over the window, as % of one core.
double CpuOverWindow()
{
    const long long before = CpuTicks();
    RunEventLoop(kWindowMs);
    const long long after = CpuTicks();
    return 100.0 * (after - before) / sysconf(_SC_CLK_TCK) / (kWindowMs / 1000.0);
}

std::shared_ptr<RecordingEntry> Recording(const char* path)
{
    const QString file = QString::fromLocal8Bit(path);
    return std::make_shared<RecordingEntry>(OleDateTime(), RECORDING_NORMAL, file, file.section('/', -1));
}

std::unique_ptr<channeltest::ChannelPanes> MakePanes(VlcFunctionExecutor& vlc)
{
    channeltest::ChannelPanes::Options options;
    options.paneSize = QSize(960, 540);
    options.loader = ApplicationHub::DefaultMetadataLoader();
    auto panes = std::make_unique<channeltest::ChannelPanes>(vlc, options);
    panes->Make();
    return panes;
}

int RunPanes(VlcFunctionExecutor& vlc, const char* file)
{
    auto panes = MakePanes(vlc);
    const Clock::time_point posted = Clock::now();
    panes->harness.Load({Recording(file)});
    if (!RunEventLoopUntil([&] { return panes->front->Sink().FirstFrameTime().has_value(); }, 10000)) {
        std::fprintf(stderr, "no front frame\n");
        return 2;
    }
    const double firstFrame = Milliseconds(*panes->front->Sink().FirstFrameTime() - posted);
    RunEventLoopUntil([&] { return panes->rear->Sink().FirstFrameTime().has_value(); }, 5000);
    const auto rearFrame = panes->rear->Sink().FirstFrameTime();

    RunEventLoop(std::max(0, kWarmUpMs - static_cast<int>(Milliseconds(Clock::now() - posted))));
    const double cpu = CpuOverWindow();

    // 5 s after the load, both still playing: where each is.
    RunEventLoop(std::max(0, 5000 - static_cast<int>(Milliseconds(Clock::now() - posted))));
    const VlcFunctionTable& f = vlc.Functions();
    const float front = f.libvlc_media_player_get_position(panes->front->CurrentPlayer());
    const float rear = f.libvlc_media_player_get_position(panes->rear->CurrentPlayer());
    const std::shared_ptr<RecordingEntry> entry = panes->Hub().GetCurrentVideoFile();
    int duration = 0;
    {
        std::lock_guard lock(panes->Hub().fileLock);
        duration = entry ? entry->duration : 0;
    }
    std::printf("first_frame_ms=%.1f rear_track_frame_ms=%.1f cpu_percent=%.1f rear_minus_front_ms=%.1f"
                " front_size=%dx%d rear_size=%dx%d\n",
                firstFrame, rearFrame ? Milliseconds(*rearFrame - posted) : -1.0, cpu,
                (rear - front) * duration * 1000.0, panes->front->Sink().NegotiatedSize().width(),
                panes->front->Sink().NegotiatedSize().height(), panes->rear->Sink().NegotiatedSize().width(),
                panes->rear->Sink().NegotiatedSize().height());
    panes->harness.StopAndWait();
    return 0;
}

// The one-camera recording's CPU, after the two-camera one or fresh.
int RunOneCamera(VlcFunctionExecutor& vlc, const char* twoCameras, const char* oneCamera)
{
    auto panes = MakePanes(vlc);
    if (twoCameras) {
        panes->harness.Load({Recording(twoCameras), Recording(oneCamera)});
        RunEventLoop(kWarmUpMs);
        panes->harness.Select(1);
    } else {
        panes->harness.Load({Recording(oneCamera)});
    }
    const Clock::time_point selected = Clock::now();
    if (!RunEventLoopUntil([&] { return panes->harness.CountOf(VIDEO_PLAY_STARTED) >= (twoCameras ? 2 : 1); },
                           10000)) {
        std::fprintf(stderr, "the one-camera recording did not start\n");
        return 2;
    }
    RunEventLoop(std::max(0, kWarmUpMs - static_cast<int>(Milliseconds(Clock::now() - selected))));
    std::printf("cpu_percent=%.1f rear_playing=%d\n", CpuOverWindow(),
                vlc.libvlc_media_player_is_playing(panes->rear->CurrentPlayer()));
    panes->harness.StopAndWait();
    return 0;
}

QSize ParseSize(const char* text)
{
    int width = 0, height = 0;
    return std::sscanf(text, "%dx%d", &width, &height) == 2 ? QSize(width, height) : QSize();
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    const bool raw = mode == "one" || mode == "two";
    const bool known = ((raw || mode == "panes" || mode == "fresh") && argc >= 3) || (mode == "after" && argc >= 4);
    if (!known) {
        std::fprintf(stderr, "usage: playback_bench one|two <recording> [WxH] | panes <recording> |"
                             " after <two-camera> <one-camera> | fresh <one-camera>\n");
        return 2;
    }
    VlcFunctionExecutor* vlc = nullptr;
    try {
        vlc = VlcFunctionExecutor::GetInstance();
    } catch (const VlcLoadError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 2;
    }
    if (!raw) {
        // The panes hand their window work to the UI thread, as the viewer's.
        UiThread::Install();
        const int result = mode == "panes"   ? RunPanes(*vlc, argv[2])
                           : mode == "after" ? RunOneCamera(*vlc, argv[2], argv[3])
                                             : RunOneCamera(*vlc, nullptr, argv[2]);
        UiThread::Close();
        return result;
    }
    const bool two = mode == "two";
    const std::string file = argv[2];
    const QSize target = argc > 3 ? ParseSize(argv[3]) : QSize();
    const bool adjust = argc > 4 && std::string(argv[4]) == "adjust";

    Channel front(*vlc, file, false, target);
    std::unique_ptr<Channel> rear;
    if (two) {
        rear = std::make_unique<Channel>(*vlc, file, true, target);
        rear->SelectRearTrackWhenPlaying();
    }
    if (!front.handles.ready() || (rear && !rear->handles.ready())) {
        std::fprintf(stderr, "no player\n");
        return 2;
    }
    front.Play();
    if (rear)
        rear->Play();
    if (adjust) {
        front.Adjust();
        if (rear)
            rear->Adjust();
    }
    if (!RunEventLoopUntil([&] { return front.sink.FirstFrameTime().has_value(); }, 10000)) {
        std::fprintf(stderr, "no frame\n");
        return 2;
    }
    const double processFirstFrame = SinceProcessStart() - Milliseconds(Clock::now() - *front.sink.FirstFrameTime());
    const double firstFrame = Milliseconds(*front.sink.FirstFrameTime() - front.played);

    RunEventLoop(std::max(0, kWarmUpMs - static_cast<int>(Milliseconds(Clock::now() - front.played))));
    const double cpu = CpuOverWindow();

    std::printf("first_frame_ms=%.1f process_first_frame_ms=%.1f cpu_percent=%.1f", firstFrame,
                processFirstFrame, cpu);
    if (rear) {
        const auto rearFrame = rear->sink.FirstFrameTime();
        std::printf(" rear_track_frame_ms=%.1f", rearFrame ? Milliseconds(*rearFrame - rear->played) : -1.0);
    }
    std::printf("\n");
    return 0;
}
