#pragma once
// Fixtures of the player pane suites: a host with options and call counters,
// channel stand-ins that paint one colour and note their snapshots, and the
// parts that put them in the pane.

#include "controls/ControlsTestSupport.h"
#include "core/OptionRecord.h"
#include "platform/UiThread.h"
#include "playback/CVideoPlayerPane.h"
#include "playback/GyroscopePaneStub.h"
#include "playback/PlayerPaneSeams.h"
#include "recordings/RecordingEntry.h"
#include "support/hub/HubHarness.h"

#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace playerpanetest {

// The main window as the pane sees it. Options are replaced and read under
// a lock, as the window does, so any thread may read them.
class FakePlayerPaneHost : public PlayerPaneHost {
public:
    OptionRecord GetOptionRecord() const override
    {
        std::lock_guard lock(mutex);
        ++optionReads;
        return options;
    }
    void OnBnClickedVideoMinimizeBtn() override
    {
        minimizeOnUiThread = UiThread::IsUiThread();
        ++minimizeCalls;
    }
    void SetOptions(const OptionRecord& record)
    {
        std::lock_guard lock(mutex);
        options = record;
    }

    mutable std::atomic<int> optionReads{0};
    int minimizeCalls = 0;
    bool minimizeOnUiThread = false;

private:
    mutable std::mutex mutex;
    OptionRecord options;
};

// A channel pane's place: one colour, and a note of every snapshot asked.
class StubChannelView : public QWidget, public IChannelView {
public:
    struct Snapshot {
        QString channel;
        QString path;
        QString folder;
        bool onUiThread;
    };

    StubChannelView(QWidget* parent, QString name, QColor colour, std::vector<Snapshot>& snapshots)
        : QWidget(parent), name(std::move(name)), colour(colour), snapshots(snapshots)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    QWidget* Widget() override { return this; }
    void CaptureSnapshot(const QString& path, const QString& folder) override
    {
        snapshots.push_back({name, path, folder, UiThread::IsUiThread()});
    }
    void StopPlayer() override { ++stops; }

    int stops = 0;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), colour); }

private:
    QString name;
    QColor colour;
    std::vector<Snapshot>& snapshots;
};

inline const QColor kChannel1Colour{200, 0, 0};
inline const QColor kChannel2Colour{0, 0, 200};

// Stub parts: channel 1 red, channel 2 blue, the black G-sensor stub. The
// made parts are noted here; the pane owns them.
struct StubParts {
    std::vector<StubChannelView::Snapshot> snapshots;
    StubChannelView* channel1 = nullptr;
    StubChannelView* channel2 = nullptr;
    GyroscopePaneStub* gyroscope = nullptr;
    std::vector<std::string> made;  // the order the factories ran in

    PlayerPaneParts Parts()
    {
        PlayerPaneParts parts;
        parts.channel1 = [this](CVideoPlayerPane& pane) -> IChannelView* {
            made.push_back("channel1");
            return channel1 = new StubChannelView(&pane, QStringLiteral("front"), kChannel1Colour, snapshots);
        };
        parts.channel2 = [this](CVideoPlayerPane& pane) -> IChannelView* {
            made.push_back("channel2");
            return channel2 = new StubChannelView(&pane, QStringLiteral("rear"), kChannel2Colour, snapshots);
        };
        parts.gyroscope = [this](CVideoPlayerPane& pane) -> IGyroscopePane* {
            made.push_back("gyroscope");
            return gyroscope = new GyroscopePaneStub(&pane);
        };
        return parts;
    }
};

// A top-level window holding the pane, black as the main window's client.
class Window : public QWidget {
public:
    Window();
};

// The fake skin: every image the pane asks for, bitmaps the colour
// BitmapColour(n) and icons IconColour(n), so a grab tells which is drawn.
// The digits and the point are white around their body, as the skin's.
QRgb BitmapColour(int id);
QRgb IconColour(int id);
void AddPaneSkin(controlstest::FakeImageSource& images);

// A recording of the given length in seconds and frames, with its streams
// and one fix a second at the given speeds (km/h), its file made in folder
// (none: a path that does not exist).
struct EntrySpec {
    int duration = 60;
    int totalFrames = 1800;
    int streams = 2;
    std::vector<double> speeds;
    QString name = QStringLiteral("rec.avi");
    int type = RECORDING_NORMAL;
};
std::shared_ptr<RecordingEntry> MakeEntry(const EntrySpec& spec, const QTemporaryDir* folder);

std::unique_ptr<MessageParam> Position(float position);

// The pane in a window over the shared harness: the stand-in main window
// first, then the pane, then the recorder.
class PlayerPaneTest : public ::testing::Test {
protected:
    explicit PlayerPaneTest(ApplicationHub::MetadataLoader loader = hubtest::NoLoader());
    ~PlayerPaneTest() override;

    // The pane at size, initialised unless told otherwise, on the harness's
    // hub or the one given.
    CVideoPlayerPane& Make(QSize size = {754, 655}, bool initialise = true, const ImageSource* images = nullptr,
                           ApplicationHub* onHub = nullptr);

    template <typename T>
    T* Control(int id)
    {
        return pane->Controls().Get<T>(id);
    }
    QWidget* Control(int id) { return pane->Controls().Widget(id); }
    QLabel* Label(int id) { return Control<QLabel>(id); }
    // The colour a control shows at its centre.
    QRgb ShownAt(int id);

    // Runs the queued slots the controls' signals reach, then waits until
    // what they posted has gone round.
    void Settle();
    // The payloads the recorder saw for code.
    std::vector<MessageParam> Payloads(int code);
    // The current entry's playlist, made current at index.
    void SetPlaylist(ApplicationHub::Entries entries, int current = 0);

    hubtest::HubHarness harness;
    ApplicationHub& hub = harness.Hub();
    FakePlayerPaneHost host;
    controlstest::FakeImageSource fakeImages;
    StubParts stubs;
    // The parts Make gives the pane: the stubs unless set.
    std::function<PlayerPaneParts()> parts;
    QTemporaryDir files;
    Window* window = nullptr;
    CVideoPlayerPane* pane = nullptr;
};

}  // namespace playerpanetest
