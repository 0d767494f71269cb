#pragma once
// Fixtures of the main window suites: panes that journal what the hub
// delivers to them, a window with its own hub, temporary working, home and
// configuration folders, recorded boxes and a loader that counts its calls.

#include "controls/CEnhancedSliderCtrl.h"
#include "controls/SkinSupport.h"
#include "support/hub/HubFixtures.h"
#include "playback/PlayerPaneSeams.h"
#include "platform/UiThread.h"
#include "platform/UserNotifier.h"
#include "recordings/RecordingEntry.h"
#include "support/EventLoop.h"
#include "support/TestSupport.h"
#include "ui/CKestrovViewerNewDlg.h"
#include "ui/CommandSeams.h"
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

class FakeGyroscope : public QWidget, public IGyroscopePane {
public:
    using QWidget::QWidget;
    QWidget* Widget() override { return this; }
    void ClearGraph() override {}
    void SetSensorValueLabels(const MotionSample& sample) override { labels.push_back(sample); }
    std::vector<MotionSample> labels;
};

// The player pane's commands, journaled by name (UI thread); the sliders are
// real track bars in the player's ranges.
class FakePlayer : public FakePane, public IPlayerCommands {
public:
    FakePlayer(QWidget* parent, ApplicationHub& hub, std::string name, hubtest::Journal& journal, PaneProbe& probe);
    QWidget* Widget() override { return this; }

    void OnBnClickedPlayBtn() override { calls.push_back("OnBnClickedPlayBtn"); }
    void OnBnClickedPreviousBtn() override { calls.push_back("OnBnClickedPreviousBtn"); }
    void OnBnClickedNextBtn() override { calls.push_back("OnBnClickedNextBtn"); }
    void OnBnClickedRewindBtn() override { calls.push_back("OnBnClickedRewindBtn"); }
    void OnBnClickedForwardBtn() override { calls.push_back("OnBnClickedForwardBtn"); }
    void OnBnClickedMuteBtn() override { calls.push_back("OnBnClickedMuteBtn"); }
    void OnBnClickedSpeedDefaultBtn() override { calls.push_back("OnBnClickedSpeedDefaultBtn"); }
    void OnBnClickedBrightnessDefaultBtn() override { calls.push_back("OnBnClickedBrightnessDefaultBtn"); }
    void StepVolume(int delta) override { calls.push_back("StepVolume(" + std::to_string(delta) + ")"); }
    void ChangeVideoPlaySpeedFromSpeedSlider() override;
    void ChangeVideoBrightnessFromBrightnessSlider() override;
    CEnhancedSliderCtrl& SpeedSlider() override { return speed; }
    CEnhancedSliderCtrl& BrightnessSlider() override { return brightness; }
    bool IsPlayerSliderEnabled() const override { return sliderEnabled; }
    void TakeSnapshot(const QString& path, const QString& folder) override;
    IGyroscopePane* GyroscopePane() override { return &gyroscope; }
    void StopPlayback() override;

    std::vector<std::string> calls;
    bool sliderEnabled = true;
    // What TakeSnapshot does besides being journaled.
    std::function<void(const QString& path, const QString& folder)> onSnapshot;
    std::function<void()> onStop;
    CEnhancedSliderCtrl speed{this};
    CEnhancedSliderCtrl brightness{this};
    FakeGyroscope gyroscope{this};
};

class FakeMap : public FakePane, public IMapSlot {
public:
    using FakePane::FakePane;
    // The widget the slot lends; null stands for a floating map without a
    // placeholder.
    QWidget* slot = this;
    std::vector<GpsFix> shown;  // ShowPosition calls
    int popups = 0;
    QImage picture;  // what GrabMapImage gives
    QWidget* Widget() override { return this; }
    QWidget* SlotWidget() override { return slot; }
    void ShowPosition(const GpsFix& fix) override { shown.push_back(fix); }
    void SetShown(bool visible) override { setVisible(visible); }
    void OnBnClickedPopup() override { ++popups; }
    QImage GrabMapImage() override { return picture; }
};

class FakeList : public FakePane {
public:
    using FakePane::FakePane;
};

// The command dialogs, answered by the test.
class FakeCommandDialogs : public CommandDialogs {
public:
    std::optional<CutChoice> RunCutDialog(QWidget* owner, std::shared_ptr<const RecordingEntry> entry) override;
    bool PrintReport(QWidget* owner, const PrintReportData& record) override;
    OptionRecord RunSettingsSession(QWidget* owner, const OptionRecord& options,
                                    std::function<void()> stopPlayback) override;

    std::optional<CutChoice> cutAnswer;  // none: cancelled
    std::vector<std::shared_ptr<const RecordingEntry>> cutEntries;
    std::vector<PrintReportData> printed;
    std::vector<OptionRecord> sessionOptions;
    // Runs inside the session; its result is the session's. Default: the
    // options unchanged.
    std::function<OptionRecord(const OptionRecord&, const std::function<void()>& stopPlayback)> session;
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
    // The real recording list in place of the fake one (not journaled).
    bool realList = false;
    QWidget* listPane = nullptr;

    std::optional<QString> startupDrive;       // the chooser's answer
    int chooserRuns = 0;
    std::optional<PickedPaths> pickerAnswer;   // the picker's answer
    QStringList pickerStarts;                  // where each pick started
    std::vector<LoaderCall> loads;
    // Default: two fresh entries per call.
    std::function<ApplicationHub::Entries(const LoaderCall&)> loader;
    int releases = 0;
    FakeCommandDialogs dialogs;
    QStringList openedFolders;  // openFolder calls
    bool openFolderAnswer = true;
    // The clock of capture and report names: 2013-10-16 09:05:07.042.
    QDateTime now{QDate(2013, 10, 16), QTime(9, 5, 7, 42)};

    std::unique_ptr<CKestrovViewerNewDlg> window;
};

}  // namespace uitest
