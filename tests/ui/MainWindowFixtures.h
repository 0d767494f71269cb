#pragma once
// Fixtures of the main window suites: panes that journal what the hub
// delivers to them, a window with its own hub, temporary working, home and
// configuration folders, recorded boxes and a loader that counts its calls.

#include "controls/SkinSupport.h"
#include "support/hub/HubFixtures.h"
#include "playback/PlayerPaneSeams.h"
#include "platform/UiThread.h"
#include "platform/UserNotifier.h"
#include "recordings/RecordingEntry.h"
#include "support/EventLoop.h"
#include "support/TestSupport.h"
#include "ui/CKestrovViewerNewDlg.h"
#include "ui/MainWindowSeams.h"

#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace uitest {

using namespace std::chrono_literals;

// What every fake pane reports to: deliveries in progress and deaths.
struct PaneProbe {
    std::atomic<int> updatesInProgress{0};
    std::atomic<int> deathsDuringDelivery{0};
    std::vector<std::string> deaths;  // UI thread
};

// A pane that attaches a journaling listener under its name in its
// constructor and detaches it first in its destructor, as a real pane does.
class FakePane : public QWidget {
public:
    FakePane(QWidget* parent, ApplicationHub& hub, std::string name, hubtest::Journal& journal, PaneProbe& probe);
    ~FakePane() override;

    using Hook = std::function<void(int code, const MessageParam& payload)>;
    // Runs on the hub's worker after each delivery was journaled; may be set
    // while deliveries run.
    void OnUpdate(Hook hook);

private:
    class Listener : public hubtest::RecordingListener {
    public:
        Listener(FakePane& pane, std::string name, hubtest::Journal& journal);
        void update(int code, const MessageParam* payload) override;

    private:
        FakePane& pane;
    };

    ApplicationHub& hub;
    std::string name;
    PaneProbe& probe;
    std::mutex hookMutex;
    Hook hook;
    Listener listener;
};

class FakePlayer : public FakePane, public IPlayerCommands {
public:
    using FakePane::FakePane;
    QWidget* Widget() override { return this; }
};

class FakeMap : public FakePane, public IMapSlot {
public:
    using FakePane::FakePane;
    // The widget the slot lends; null stands for a floating map without a
    // placeholder.
    QWidget* slot = this;
    std::vector<GpsFix> shown;  // ShowPosition calls
    QWidget* SlotWidget() override { return slot; }
    void ShowPosition(const GpsFix& fix) override { shown.push_back(fix); }
    void SetShown(bool visible) override { setVisible(visible); }
    void OnBnClickedPopup() override {}
    QImage GrabMapImage() override { return {}; }
};

class FakeList : public FakePane {
public:
    using FakePane::FakePane;
};

// Entries the loader hands back, or a call record.
struct LoaderCall {
    QStringList folders;
    QStringList files;
};

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest();
    ~MainWindowTest() override;

    // The window's services: its own hub, the real skin, the recorded
    // boxes, fake panes, and the chooser, picker and loader below.
    MainWindowServices Services();
    // Constructs the window and runs its start-up up to the drive selection.
    void Construct();
    // Construct, show, then the drive selection.
    void Open();
    // Destroys the window (inside a watchdog), the hub after it.
    void Destroy();

    // Runs the event loop (serving the UI-thread hand-offs) until done.
    static bool Eventually(const std::function<bool()>& done, std::chrono::milliseconds limit = 5s);
    // The journal's deliveries of one listener, as codes.
    std::vector<int> CodesOf(const std::string& listener);
    bool Delivered(const std::string& listener, int code, int times = 1);
    // The option.ini the window reads, written before Construct.
    void WriteOptions(const QByteArray& lines);
    QString OptionsPath() const;
    QString LogText() const;

    controlstest::ScopedSkinModule skin;
    testsupport::ScopedWorkingFolder work;
    QTemporaryDir home;
    QTemporaryDir config;
    testsupport::ScopedEnv homeEnv;
    testsupport::ScopedEnv configEnv;
    RecordingNotifier notifier;
    hubtest::Journal journal;
    hubtest::EntryFactory entries;
    PaneProbe probe;
    ApplicationHub::MetadataLoader metadataLoader = hubtest::NoLoader();
    std::unique_ptr<ApplicationHub> hub;

    FakePlayer* player = nullptr;
    FakeMap* map = nullptr;
    FakeList* list = nullptr;
    // Set before Construct to change the panes.
    std::function<void(FakePlayer&)> onPlayerMade;
    std::function<void(FakeMap&)> onMapMade;

    std::optional<QString> startupDrive;       // the chooser's answer
    std::optional<PickedPaths> pickerAnswer;   // the picker's answer
    QStringList pickerStarts;                  // where each pick started
    std::vector<LoaderCall> loads;
    // Default: two fresh entries per call.
    std::function<ApplicationHub::Entries(const LoaderCall&)> loader;
    int releases = 0;

    std::unique_ptr<CKestrovViewerNewDlg> window;
};

}  // namespace uitest
