#pragma once
// The viewer's main window: the toolbar and the title strip, the player, map
// and list panes it composes, the loads of recordings (open, drop, the
// start-up drive), and the hub's first listener.

#include "core/OptionRecord.h"
#include "hub/ApplicationHub.h"
#include "hub/IListener.h"
#include "platform/Locks.h"
#include "platform/widgets/DialogBuilder.h"
#include "playback/PlayerPaneSeams.h"
#include "ui/MainWindowServices.h"

#include <QDialog>
#include <QImage>
#include <QString>
#include <QStringList>

#include <memory>

class CButtonStyle;
class CEnhancedSliderCtrl;
class CMyBitmapButton;
class IMapSlot;
class KeyRouter;
class PrintReportData;
struct GpsFix;

enum class MainWindowId : int {
    Template = 230,
    OpenButton = 1154,
    CaptureButton = 1159,
    CutButton = 1160,
    PrintButton = 1161,
    SettingsButton = 1162,
    MaximizeButton = 1163,
    AboutButton = 1164,
    LogoButton = 1107,
    // Kept in the template, hidden and never shown.
    Hidden1018 = 1018,
    Hidden1019 = 1019,
    Hidden1020 = 1020,
    Hidden1135 = 1135,
};

class CKestrovViewerNewDlg : public QDialog, public IListener, public PlayerPaneHost {
    Q_OBJECT
public:
    // Attaches the window to the hub as its first listener.
    explicit CKestrovViewerNewDlg(MainWindowServices services);
    // Waits for the hub's worker (serving the hand-offs its last delivery may
    // wait for), deletes the panes, drops the parked entries, detaches, then
    // releases the singletons.
    ~CKestrovViewerNewDlg() override;

    // The start-up up to the drive selection: controls, options, log, skin,
    // panes, layout, toolbar, tooltips, keys, seek step. What a pane maker
    // throws (a missing libvlc) goes to the caller; the window can then only
    // be destroyed.
    void OnInitDialog();
    // The start-up drive selection; a confirmed drive is loaded as one
    // folder. The choice does not change the options.
    void RunStartupDriveSelection();

    void LayoutControls();
    void ShowToolbarButtons(bool show);
    // Capture, cut and print: their enabled or disabled icons and state.
    void EnableCaptureButtons(bool enable);
    // Posts the options' seek step (code 15).
    void PostSeekStep();

    // Any thread; a consistent copy.
    OptionRecord GetOptionRecord() const override;
    void SetOptionRecord(const OptionRecord& options);
    void OnBnClickedVideoMinimizeBtn() override;

    // The hub's first listener; runs on the hub's worker.
    void update(int code, const MessageParam* payload) override;
    // The map pane's fix, on the UI thread: shown when both coordinates are
    // non-zero.
    void OnMapPositionChange(const GpsFix& fix);

    // Loads: each finds the recordings synchronously under the loading
    // notice, then parks them and posts the load.
    void OnBnClickedOpenVideoBtn();
    void OnDropFiles(const QStringList& paths);
    void OpenVideoFiles(const QStringList& folders, const QStringList& files);
    // Parks the entries and posts 0, 1, 10 (index 0), 11, 16 as one kept
    // batch; while an earlier batch's 0 is still queued, only replaces the
    // parked entries, which that batch then hands over.
    void SetPendingVideoFiles(ApplicationHub::Entries entries);

    // The close: ends the modal run, stops the hub, writes the options,
    // logs the end.
    void OnClose();

    // The toolbar's commands. Each that opens a dialog or takes a picture
    // pauses first; none resumes.
    // A snapshot of both channels into the capture folder (code 21).
    void OnBnClickedVideoCaptureBtn();
    // The cut dialog, then the cut, on this thread under the wait cursor.
    void OnBnClickedVideoRecordBtn();
    void OnBnClickedPrintBtn();
    // The drive (asked for when none is chosen yet), the settings session,
    // option.ini written, the seek step posted.
    void OnBnClickedOptionBtn();
    // The player pane over the whole client, the rest hidden; and back.
    void OnBnClickedVideoMaximizeBtn();
    void ToggleVideoMaximize();
    void OnBnClickedHelpBtn();
    // The report of the current moment: both snapshots, the map, the five
    // lines. Empty without a current entry. No hub lock is held while the
    // snapshots are waited for.
    void BuildPrintReport(PrintReportData& record);

    // A command of the accelerator table or of the window's menu; modifiers
    // are those of the key press behind it (none from the menu).
    void ExecuteCommand(int id, Qt::KeyboardModifiers modifiers = {});
    // The window's menu at the pointer; its command runs here.
    void OnContextMenu();

    ApplicationHub& Hub() const { return *services.hub; }
    const ImageSource& Images() const { return *services.images; }
    // What the window was given; a pane maker reads the other makers here
    // (the player's maker hands makeGyroscope on).
    const MainWindowServices& Services() const { return services; }

    // Lent for the commands and for tests; null before CreatePanes made them.
    IPlayerCommands* PlayerPane() const { return playerPane; }
    IMapSlot* MapPane() const { return mapPane; }
    QWidget* ListPane() const { return listPane; }
    const ControlMap& Controls() const { return controls; }
    CButtonStyle* ToolbarButton(MainWindowId id) const;
    CMyBitmapButton* LogoButton() const;
    QString CurrentDrive() const { return currentDrive; }
    QString LastOpenFolder() const { return lastOpenFolder; }
    bool IsInitialised() const { return initialised; }
    // Entries parked and not handed to the hub yet.
    std::size_t ParkedEntryCount();

public slots:
    // Esc and the dialog's own rejection do nothing: only the close ends
    // the window.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // One line of the window's log: its class name, type 3, level 3.
    static void Log(const QString& message, const char* function);

    void BuildControls();
    void InitLog();
    void InitSkinBitmaps();
    void CreatePanes();
    void InitToolbarButtons();
    void InitToolTips();
    // The key router, with the player, map and list panes marked as its roots.
    void InitAccelerators();
    bool HasCurrentEntry() const;
    void ShowNormalView(bool shown);
    QString MakeTempSnapshotPath(const QString& folder) const;
    void LoadSnapshotImages(PrintReportData& record, const QString& path, int videoStreamCount);
    QImage CaptureMapImage();
    // Before a card format: both channels stopped and the file closed on
    // return, then the stop posted so the panes follow.
    void StopPlaybackForFormat();
    // Moves a slider of the player pane by delta (kept in its range).
    static void StepSlider(CEnhancedSliderCtrl& slider, int delta);
    void HandOverParkedEntries();
    void FitOuterSizeToFrame();

    MainWindowServices services;
    ControlMap controls;

    IPlayerCommands* playerPane = nullptr;
    IMapSlot* mapPane = nullptr;
    QWidget* listPane = nullptr;
    std::unique_ptr<KeyRouter> keyRouter;

    QImage titleBackground;
    QImage titleLogo;
    QString currentDrive;
    QString lastOpenFolder;
    bool initialised = false;
    bool outerSizeFitted = false;
    bool closed = false;

    // A load's entries until the hub takes them over (code 0), and whether a
    // posted load batch still waits for its 0.
    ApplicationHub::Entries pendingVideoFiles;
    bool batchQueued = false;
    platform::Lock pendingLock{"pendingLock", 2, platform::InvokeRule::Forbidden};

    OptionRecord viewerOptions;
    mutable platform::Lock optionsLock{"optionsLock", 5, platform::InvokeRule::Forbidden};
};
