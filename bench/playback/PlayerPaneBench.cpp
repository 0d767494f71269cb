// One bench case per process, through the real player pane with its real
// channel panes on a hub harness (the stand-in main window first), the pane
// at 1001 x 700 in view mode 3, so each channel is 500 wide and the frame
// size is chosen for that at the load:
//
//   player_pane_bench pane <recording>     the load batch's post to the
//       front's first frame, and the CPU of the process over 10 s after 2 s
//   player_pane_bench update <recording>   for 10 s of play, with 30 extra
//       position messages a second: the worker's time in the pane's update
//       of a position (its hand-off to the UI thread included), and the
//       hub's latency from a post to the delivery, medians and 99th
//       percentiles
//
// Prints one line of key=value figures.

#include "BenchSupport.h"
#include "controls/ImageSource.h"
#include "core/OptionRecord.h"
#include "core/resources/ResourceManager.h"
#include "hub/HubCodes.h"
#include "hub/HubMessage.h"
#include "platform/UiThread.h"
#include "platform/gdi/GdiCompat.h"
#include "playback/CVideoPlayerPane.h"
#include "playback/ChannelPane.h"
#include "playback/VlcFunctionExecutor.h"
#include "support/hub/HubHarness.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace bench;

constexpr int kWarmUpMs = 2000;
constexpr int kWindowMs = 10000;
constexpr int kExtraPositionsPerSecond = 30;

double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(fraction * double(values.size() - 1) + 0.5))];
}

class DefaultHost : public PlayerPaneHost {
public:
    OptionRecord GetOptionRecord() const override { return {}; }
    void OnBnClickedVideoMinimizeBtn() override {}
};

// Notes when position messages reach it: one listener just before the pane,
// one just after it.
class Stamp : public IListener {
public:
    struct Mark {
        int index;
        Clock::time_point at;
    };
    void update(int code, const MessageParam* payload) override
    {
        if (code != VIDEO_FRAME_POSITION_CHANGED)
            return;
        std::lock_guard lock(mutex);
        marks.push_back({payload->index, Clock::now()});
    }
    std::vector<Mark> All()
    {
        std::lock_guard lock(mutex);
        return marks;
    }

private:
    std::mutex mutex;
    std::vector<Mark> marks;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    UiThread::Install();
    gdi::InstallFontSubstitutes();
    const std::string mode = argc == 3 ? argv[1] : "";
    if (mode != "pane" && mode != "update") {
        std::fprintf(stderr, "usage: player_pane_bench pane|update <recording>\n");
        return 2;
    }
    VlcFunctionExecutor* vlc = nullptr;
    try {
        vlc = VlcFunctionExecutor::GetInstance();
    } catch (const VlcLoadError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 2;
    }
    ResourceManager::SetSearchFolders({QStringLiteral(KESTROV_SKIN_FOLDER)});

    int result = 0;
    {
        hubtest::HubHarness harness;
        Stamp before, after;
        harness.Hub().AttachListener(&before);
        DefaultHost host;
        PlayerPaneParts parts = PlayerPaneParts::Defaults(*vlc);
        // The channels attach as they are made: the stamp made first lies
        // between the pane and channel 1.
        parts.channel1 = [&, make = parts.channel1](CVideoPlayerPane& pane) {
            harness.Hub().AttachListener(&after);
            return make(pane);
        };
        QWidget window;
        window.resize(1001, 700);
        auto* pane = new CVideoPlayerPane(&window, host, harness.Hub(), ImageSource::Resources(), parts);
        pane->OnInitDialog();
        pane->setGeometry(0, 0, 1001, 700);
        window.show();
        pane->OnBnClickedAllChannelVideoBtn();
        auto* front = dynamic_cast<ChannelPane*>(pane->Channel1());

        // The bench recording's metadata, as the decoder gives it.
        const QString path = QString::fromLocal8Bit(argv[2]);
        auto entry = std::make_shared<RecordingEntry>(OleDateTime(), RECORDING_NORMAL, path, path.section('/', -1));
        entry->videoStreamCount = 2;
        entry->duration = 30;
        entry->durationSpan = 30;
        entry->totalFrames = 1800;
        entry->selectTrack1 = true;
        entry->metadataLoaded = true;

        const Clock::time_point loaded = Clock::now();
        harness.Load({entry});
        if (!RunEventLoopUntil([&] { return front->Sink().FirstFrameTime().has_value(); }, 10000)) {
            std::fprintf(stderr, "no frame\n");
            result = 2;
        } else if (mode == "pane") {
            const double firstFrame = Milliseconds(*front->Sink().FirstFrameTime() - loaded);
            RunEventLoop(std::max(0, kWarmUpMs - int(Milliseconds(Clock::now() - loaded))));
            const long long start = CpuTicks();
            RunEventLoop(kWindowMs);
            const long long end = CpuTicks();
            const double cpu = 100.0 * double(end - start) / double(sysconf(_SC_CLK_TCK)) / (kWindowMs / 1000.0);
            const QSize frame = front->Sink().NegotiatedSize();
            std::printf("first_frame_ms=%.1f cpu_percent=%.1f frame=%dx%d\n", firstFrame, cpu, frame.width(),
                        frame.height());
        } else {
            RunEventLoop(kWarmUpMs);
            std::mutex postedMutex;
            std::vector<Clock::time_point> posted{Clock::now()};  // index 0: libvlc's own
            QTimer extra;
            extra.setInterval(1000 / kExtraPositionsPerSecond);
            QObject::connect(&extra, &QTimer::timeout, [&] {
                auto payload = std::make_unique<MessageParam>();
                std::lock_guard lock(postedMutex);
                payload->index = int(posted.size());
                payload->position = float(posted.size() % 997) / 1000.0f;
                posted.push_back(Clock::now());
                harness.Hub().Post(VIDEO_FRAME_POSITION_CHANGED, std::move(payload));
            });
            extra.start();
            RunEventLoop(kWindowMs);
            extra.stop();
            harness.Drain();
            const std::vector<Stamp::Mark> in = before.All();
            const std::vector<Stamp::Mark> out = after.All();
            std::vector<double> inPane, latency;
            for (std::size_t i = 0; i < std::min(in.size(), out.size()); ++i) {
                inPane.push_back(Milliseconds(out[i].at - in[i].at));
                std::lock_guard lock(postedMutex);
                if (in[i].index > 0 && std::size_t(in[i].index) < posted.size())
                    latency.push_back(Milliseconds(in[i].at - posted[std::size_t(in[i].index)]));
            }
            std::printf("positions=%zu update_median_ms=%.3f update_p99_ms=%.3f latency_median_ms=%.3f "
                        "latency_p99_ms=%.3f\n",
                        inPane.size(), Percentile(inPane, 0.5), Percentile(inPane, 0.99), Percentile(latency, 0.5),
                        Percentile(latency, 0.99));
        }
        harness.StopAndWait();
        delete pane;
        harness.Hub().DetachListener(&before);
        harness.Hub().DetachListener(&after);
    }
    UiThread::Close();
    return result;
}
