#pragma once
// What the main window is given: the hub, the skin, the boxes, the makers of
// its panes and the dialogs and loader it runs. The program's set comes from
// ForProgram; tests hand in their own.

#include "hub/ApplicationHub.h"
#include "platform/Drives.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class CKestrovViewerNewDlg;
class CVideoPlayerPane;
class CardFormatter;
class CommandDialogs;
class IGyroscopePane;
class IMapSlot;
class IPlayerCommands;
class ImageSource;
class QWidget;
class UserNotifier;

// The pane makers. Each is called once by CreatePanes with the window, which
// is the pane's parent and the player pane's host and lends its hub and skin;
// a pane attaches to the hub in its constructor, so the order of the calls
// (player, map, list) is the order of delivery after the window.
struct PaneFactory {
    std::function<IPlayerCommands*(CKestrovViewerNewDlg& window)> makePlayer;
    // The player pane's G-sensor pane; empty leaves the player pane's own.
    std::function<IGyroscopePane*(CVideoPlayerPane& player)> makeGyroscope;
    std::function<IMapSlot*(CKestrovViewerNewDlg& window)> makeMap;
    std::function<QWidget*(CKestrovViewerNewDlg& window)> makeList;
};

// What the open command's picker reports: the folder it ended in, and every
// path chosen there (files and folders alike).
struct PickedPaths {
    QString folder;
    QStringList paths;
};

// The drive chosen at start-up (its root), or none after a cancel.
using StartupDriveChooser = std::function<std::optional<QString>(QWidget* owner)>;
// The open command's picker, starting at startFolder; none after a cancel.
using OpenPicker = std::function<std::optional<PickedPaths>(QWidget* owner, const QString& startFolder)>;
// The recordings found in folders (recursively) and among files, sorted and
// numbered. Runs on the UI thread; its boxes are modal there.
using RecordingLoader = std::function<ApplicationHub::Entries(const QStringList& folders, const QStringList& files)>;
// Opens a folder in the desktop's file manager; false when it could not.
using FolderOpener = std::function<bool(const QString& folder)>;

// What a test may change in the program's services: where the drives are
// read from, and the card formatter. Unset: the machine's.
struct ProgramOverrides {
    std::optional<DriveSources> driveSources;
    std::function<std::shared_ptr<CardFormatter>()> makeFormatter;
};

struct MainWindowServices {
    ApplicationHub* hub = nullptr;
    const ImageSource* images = nullptr;
    UserNotifier* notifier = nullptr;
    PaneFactory paneFactory;
    StartupDriveChooser startupDriveChooser;
    OpenPicker openPicker;
    RecordingLoader recordingLoader;
    // The cut dialog, the report's printer and the settings session.
    std::shared_ptr<CommandDialogs> commandDialogs;
    FolderOpener openFolder;
    // The local time of capture and report file names.
    std::function<QDateTime()> clock;
    // Runs last in the window's destructor, once the hub's worker has ended
    // and the panes are gone.
    std::function<void()> releaseSingletons;

    // The program's: the process-wide hub and skin, the installed notifier,
    // the real panes, the drive selection, the picker and the command
    // dialogs over the machine's drives (or the overrides'), the discovery
    // over the documents folder, the desktop's folder opener, the wall
    // clock, and at the end the hub, the libvlc binding and the skin module
    // destroyed in that order.
    static MainWindowServices ForProgram(ProgramOverrides overrides = {});
    // The program's loader alone: the discovery, its boxes through the
    // installed notifier, repairs backed up under the documents folder.
    static RecordingLoader ProgramRecordingLoader();
};
