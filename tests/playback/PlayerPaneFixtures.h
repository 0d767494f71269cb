#pragma once
// Fixtures of the player pane suites: a host with options and call counters,
// channel stand-ins that paint one colour and note their snapshots, and the
// parts that put them in the pane.

#include "core/OptionRecord.h"
#include "platform/UiThread.h"
#include "playback/CVideoPlayerPane.h"
#include "playback/GyroscopePaneStub.h"
#include "playback/PlayerPaneSeams.h"

#include <QPainter>
#include <QWidget>

#include <atomic>
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

}  // namespace playerpanetest
