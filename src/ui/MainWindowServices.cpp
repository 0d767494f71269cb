#include "ui/MainWindowServices.h"

#include "controls/ImageSource.h"
#include "core/resources/ResourceManager.h"
#include "platform/Drives.h"
#include "platform/Paths.h"
#include "platform/UserNotifier.h"
#include "playback/VlcFunctionExecutor.h"
#include "recordings/CFileLoader.h"
#include "settings/dialogs/DriverSelectDlg.h"
#include "ui/CKestrovViewerNewDlg.h"
#include "ui/CSelDialog.h"
#include "ui/GPSMapControl.h"
#include "ui/MapPaneServices.h"
#include "ui/PlayerPaneStandIn.h"
#include "ui/PlaylistStandIn.h"

RecordingLoader MainWindowServices::ProgramRecordingLoader()
{
    return [](const QStringList& folders, const QStringList& files) {
        return CFileLoader(UserNotifier::Current(), Paths::DocumentsFolder()).LoadVideoFiles(folders, files);
    };
}

MainWindowServices MainWindowServices::ForProgram()
{
    MainWindowServices services;
    services.hub = ApplicationHub::GetInstance();
    services.images = &ImageSource::Resources();
    services.notifier = &UserNotifier::Current();

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
        return new PlaylistStandIn(&window, window.Hub());
    };

    services.startupDriveChooser = [](QWidget* owner) {
        return ChooseDrive(std::make_shared<const Drives>(), owner);
    };
    services.openPicker = [](QWidget* owner, const QString& startFolder) -> std::optional<PickedPaths> {
        if (!CSelDialog::Run(owner, startFolder, Drives()))
            return std::nullopt;
        return PickedPaths{CSelDialog::SelectedFolder(), CSelDialog::SelectedPaths()};
    };
    services.recordingLoader = ProgramRecordingLoader();
    services.releaseSingletons = [] {
        ApplicationHub::DestroyInstance();
        VlcFunctionExecutor::DestroyInstance();
        ResourceManager::DestroyInstance();
    };
    return services;
}
