#include "ui/MainWindowServices.h"

#include "controls/ImageSource.h"
#include "core/resources/ResourceManager.h"
#include "platform/Paths.h"
#include "platform/UserNotifier.h"
#include "playback/VlcFunctionExecutor.h"
#include "recordings/CFileLoader.h"
#include "ui/CKestrovViewerNewDlg.h"
#include "ui/ChooserStandIns.h"
#include "ui/MapSlotStandIn.h"
#include "ui/PlayerPaneStandIn.h"
#include "ui/VideoListControl.h"

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
    panes.makeMap = [](CKestrovViewerNewDlg& window) -> IMapSlot* { return new MapSlotStandIn(&window, window.Hub()); };
    panes.makeList = [](CKestrovViewerNewDlg& window) -> QWidget* {
        return new VideoListControl(&window, window.Hub(), window.Images());
    };

    services.startupDriveChooser = DriveChooserStandIn();
    services.openPicker = FolderPickerStandIn();
    services.recordingLoader = ProgramRecordingLoader();
    services.releaseSingletons = [] {
        ApplicationHub::DestroyInstance();
        VlcFunctionExecutor::DestroyInstance();
        ResourceManager::DestroyInstance();
    };
    return services;
}
