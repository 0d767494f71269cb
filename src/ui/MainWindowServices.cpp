#include "ui/MainWindowServices.h"

#include "controls/ImageSource.h"
#include "core/resources/ResourceManager.h"
#include "platform/OpenFolder.h"
#include "platform/Paths.h"
#include "platform/UserNotifier.h"
#include "playback/VlcFunctionExecutor.h"
#include "recordings/CFileLoader.h"
#include "settings/dialogs/DriverSelectDlg.h"
#include "ui/CKestrovViewerNewDlg.h"
#include "ui/CSelDialog.h"
#include "ui/CommandSeams.h"
#include "ui/GPSMapControl.h"
#include "ui/PlayerPaneStandIn.h"
#include "ui/VideoListControl.h"

RecordingLoader MainWindowServices::ProgramRecordingLoader()
{
    return [](const QStringList& folders, const QStringList& files) {
        return CFileLoader(UserNotifier::Current(), Paths::DocumentsFolder()).LoadVideoFiles(folders, files);
    };
}

MainWindowServices MainWindowServices::ForProgram(ProgramOverrides overrides)
{
    MainWindowServices services;
    services.hub = ApplicationHub::GetInstance();
    services.images = &ImageSource::Resources();
    services.notifier = &UserNotifier::Current();
    const auto drives = std::make_shared<const Drives>(overrides.driveSources.value_or(DriveSources{}));

    PaneFactory& panes = services.paneFactory;
    panes.makePlayer = [](CKestrovViewerNewDlg& window) -> IPlayerCommands* {
        // The binding first: without libvlc the start-up ends with its text.
        VlcFunctionExecutor::GetInstance();
        return new PlayerPaneStandIn(&window);
    };
    panes.makeMap = [](CKestrovViewerNewDlg& window) -> IMapSlot* {
        auto* map = new GPSMapControl(&window, window.Hub(), MapPaneServices::ForProgram([&window](const GpsFix& fix) {
                                          window.OnMapPositionChange(fix);
                                      }));
        map->Create(&window);
        return map;
    };
    panes.makeList = [](CKestrovViewerNewDlg& window) -> QWidget* {
        return new VideoListControl(&window, window.Hub(), window.Images());
    };

    services.startupDriveChooser = [drives](QWidget* owner) { return ChooseDrive(drives, owner); };
    services.openPicker = [drives](QWidget* owner, const QString& startFolder) -> std::optional<PickedPaths> {
        if (!CSelDialog::Run(owner, startFolder, *drives))
            return std::nullopt;
        return PickedPaths{CSelDialog::SelectedFolder(), CSelDialog::SelectedPaths()};
    };
    services.recordingLoader = ProgramRecordingLoader();
    services.commandDialogs =
        std::make_shared<ProgramCommandDialogs>(*services.hub, drives, std::move(overrides.makeFormatter));
    services.openFolder = [](const QString& folder) { return platform::OpenFolder(folder); };
    services.clock = [] { return QDateTime::currentDateTime(); };
    services.releaseSingletons = [] {
        ApplicationHub::DestroyInstance();
        VlcFunctionExecutor::DestroyInstance();
        ResourceManager::DestroyInstance();
    };
    return services;
}
