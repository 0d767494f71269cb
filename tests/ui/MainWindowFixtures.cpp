#include "ui/MainWindowFixtures.h"

#include "controls/ImageSource.h"
#include "core/Logger.h"
#include "platform/UiThread.h"
#include "support/EventLoop.h"
#include "support/FileFixtures.h"
#include "ui/VideoListControl.h"

#include <QDir>

namespace uitest {

FakePane::Listener::Listener(FakePane& pane, std::string name, hubtest::Journal& journal)
    : hubtest::RecordingListener(std::move(name), journal), pane(pane)
{
}

void FakePane::Listener::update(int code, const MessageParam* payload)
{
    ++pane.probe.updatesInProgress;
    hubtest::RecordingListener::update(code, payload);
    FakePane::Hook hook;
    {
        std::lock_guard lock(pane.hookMutex);
        hook = pane.hook;
    }
    if (hook)
        hook(code, *payload);
    --pane.probe.updatesInProgress;
}

void FakePane::OnUpdate(Hook newHook)
{
    std::lock_guard lock(hookMutex);
    hook = std::move(newHook);
}

FakePane::FakePane(QWidget* parent, ApplicationHub& hub, std::string name, hubtest::Journal& journal,
                   PaneProbe& probe)
    : QWidget(parent), hub(hub), name(name), probe(probe), listener(*this, name, journal)
{
    hub.AttachListener(&listener);
}

FakePane::~FakePane()
{
    hub.DetachListener(&listener);
    if (probe.updatesInProgress > 0)
        ++probe.deathsDuringDelivery;
    probe.deaths.push_back(name);
}

FakePlayer::FakePlayer(QWidget* parent, ApplicationHub& hub, std::string name, hubtest::Journal& journal,
                       PaneProbe& probe)
    : FakePane(parent, hub, std::move(name), journal, probe)
{
    speed.SetRange(1, 7);
    speed.SetPos(4);
    brightness.SetRange(0, 100);
    brightness.SetPos(50);
    speed.hide();
    brightness.hide();
    gyroscope.hide();
}

void FakePlayer::ChangeVideoPlaySpeedFromSpeedSlider()
{
    calls.push_back("ChangeVideoPlaySpeedFromSpeedSlider(" + std::to_string(speed.GetPos()) + ")");
}

void FakePlayer::ChangeVideoBrightnessFromBrightnessSlider()
{
    calls.push_back("ChangeVideoBrightnessFromBrightnessSlider(" + std::to_string(brightness.GetPos()) + ")");
}

void FakePlayer::TakeSnapshot(const QString& path, const QString& folder)
{
    calls.push_back("TakeSnapshot");
    if (onSnapshot)
        onSnapshot(path, folder);
}

void FakePlayer::StopPlayback()
{
    calls.push_back("StopPlayback");
    if (onStop)
        onStop();
}

std::optional<CutChoice> FakeCommandDialogs::RunCutDialog(QWidget*, std::shared_ptr<const RecordingEntry> entry)
{
    cutEntries.push_back(std::move(entry));
    return cutAnswer;
}

bool FakeCommandDialogs::PrintReport(QWidget*, const PrintReportData& record)
{
    printed.push_back(record);
    return true;
}

OptionRecord FakeCommandDialogs::RunSettingsSession(QWidget*, const OptionRecord& options,
                                                    std::function<void()> stopPlayback)
{
    sessionOptions.push_back(options);
    return session ? session(options, stopPlayback) : options;
}

MainWindowTest::MainWindowTest()
    : homeEnv("HOME", home.path()), configEnv("XDG_CONFIG_HOME", config.path())
{
    UserNotifier::Install(&notifier);
    hub = std::make_unique<ApplicationHub>([this](RecordingEntry& entry) { return metadataLoader(entry); });
    loader = [this](const LoaderCall&) { return entries.MakeTypes({RECORDING_EVENT, RECORDING_NORMAL}); };
}

MainWindowTest::~MainWindowTest()
{
    Destroy();
    hub.reset();
    notifier.CloseAll();
    UserNotifier::Install(nullptr);
    Logger::GetInstance().SetEnabled(false);
}

MainWindowServices MainWindowTest::Services()
{
    MainWindowServices services;
    services.hub = hub.get();
    services.images = &ImageSource::Resources();
    services.notifier = &notifier;
    services.paneFactory.makePlayer = [this](CKestrovViewerNewDlg& owner) -> IPlayerCommands* {
        player = new FakePlayer(&owner, owner.Hub(), "player", journal, probe);
        if (onPlayerMade)
            onPlayerMade(*player);
        return player;
    };
    services.paneFactory.makeMap = [this](CKestrovViewerNewDlg& owner) -> IMapSlot* {
        map = new FakeMap(&owner, owner.Hub(), "map", journal, probe);
        if (onMapMade)
            onMapMade(*map);
        return map;
    };
    services.paneFactory.makeList = [this](CKestrovViewerNewDlg& owner) -> QWidget* {
        if (realList)
            return listPane = new VideoListControl(&owner, owner.Hub(), owner.Images());
        list = new FakeList(&owner, owner.Hub(), "list", journal, probe);
        return listPane = list;
    };
    services.startupDriveChooser = [this](QWidget*) {
        ++chooserRuns;
        return startupDrive;
    };
    services.openPicker = [this](QWidget*, const QString& start) {
        pickerStarts.append(start);
        return pickerAnswer;
    };
    services.recordingLoader = [this](const QStringList& folders, const QStringList& files) {
        loads.push_back({folders, files});
        return loader(loads.back());
    };
    services.releaseSingletons = [this] { ++releases; };
    // The fixture owns the dialogs; the window only borrows them.
    services.commandDialogs = std::shared_ptr<CommandDialogs>(std::shared_ptr<void>(), &dialogs);
    services.openFolder = [this](const QString& folder) {
        openedFolders.append(folder);
        return openFolderAnswer;
    };
    services.clock = [this] { return now; };
    return services;
}

void MainWindowTest::Construct()
{
    window = std::make_unique<CKestrovViewerNewDlg>(Services());
    window->OnInitDialog();
}

void MainWindowTest::Open()
{
    Construct();
    window->show();
    window->RunStartupDriveSelection();
}

void MainWindowTest::Destroy()
{
    if (!window)
        return;
    hubtest::Watchdog watchdog("the main window's destructor");
    window.reset();
}

bool MainWindowTest::Eventually(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    return testsupport::RunUntil(done, limit);
}

std::vector<int> MainWindowTest::CodesOf(const std::string& listener)
{
    std::vector<int> codes;
    for (const hubtest::Delivery& delivery : journal.Entries()) {
        if (delivery.listener == listener)
            codes.push_back(delivery.code);
    }
    return codes;
}

bool MainWindowTest::Delivered(const std::string& listener, int code, int times)
{
    const std::vector<int> codes = CodesOf(listener);
    return std::count(codes.begin(), codes.end(), code) >= times;
}

QString MainWindowTest::OptionsPath() const
{
    return config.path() + QStringLiteral("/KestrovViewer/option.ini");
}

void MainWindowTest::WriteOptions(const QByteArray& lines)
{
    testsupport::WriteFileBytes(OptionsPath(), lines);
}

QString MainWindowTest::LogText() const
{
    const QDir logs(work.Path() + QStringLiteral("/LOG"));
    QString text;
    for (const QString& name : logs.entryList({QStringLiteral("*.log")}, QDir::Files))
        text += QString::fromLatin1(testsupport::ReadFileBytes(logs.filePath(name)));
    return text;
}

}  // namespace uitest
