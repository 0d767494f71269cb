// The main window's keys and menu: the key router over the window and its
// panes, one handler per command of the accelerator table and the menu.

#include "ui/CKestrovViewerNewDlg.h"

#include "controls/CEnhancedSliderCtrl.h"
#include "ui/KeyRouter.h"
#include "ui/MainWindowSeams.h"
#include "ui/MenuResource.h"
#include "ui/UiAssert.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QMenu>

namespace {

// The commands of the accelerator table and of the window's menu.
enum Command : int {
    CloseWindow = 40032,
    Cut = 40033,
    Print = 40034,
    NextEntry = 40037,
    PlayPause = 40038,
    PreviousEntry = 40039,
    Forward = 40040,
    Rewind = 40041,
    VolumeUp = 40042,
    VolumeDown = 40043,
    Mute = 40044,
    BrightnessDefault = 40045,
    SpeedDefault = 40046,
    DockMap = 40047,
    ToggleViewByEscape = 40048,
    Open = 40051,
    Faster = 40052,
    Slower = 40053,
    Brighter = 40056,
    Darker = 40057,
    ToggleView = 40058,
    KeyW = 40059,
    KeyS = 40060,
    KeyA = 40061,
    KeyD = 40062,
    MenuRewind = 40068,
    MenuForward = 40069,
};

constexpr int kBrightnessStep = 2;
constexpr int kSpeedStep = 1;

}  // namespace

void CKestrovViewerNewDlg::InitAccelerators()
{
    keyRouter = std::make_unique<KeyRouter>(*this, AcceleratorTable::Embedded(),
                                            [this](int id, Qt::KeyboardModifiers modifiers) {
                                                ExecuteCommand(id, modifiers);
                                            });
    // The map's pane stays marked while it floats as a window of its own.
    keyRouter->MarkPane(playerPane->Widget());
    keyRouter->MarkPane(mapPane->Widget());
    keyRouter->MarkPane(listPane);
}

void CKestrovViewerNewDlg::StepSlider(CEnhancedSliderCtrl& slider, int delta)
{
    slider.SetPos(slider.GetPos() + delta);
    slider.update();
}

void CKestrovViewerNewDlg::ExecuteCommand(int id, Qt::KeyboardModifiers modifiers)
{
    ui::AssertUiThread();
    IPlayerCommands& player = *playerPane;
    switch (id) {
    case BrightnessDefault: player.OnBnClickedBrightnessDefaultBtn(); break;
    case SpeedDefault: player.OnBnClickedSpeedDefaultBtn(); break;
    case Mute: player.OnBnClickedMuteBtn(); break;
    case VolumeUp: player.StepVolume(+1); break;
    case VolumeDown: player.StepVolume(-1); break;
    case Forward:
    case MenuForward:
        if (player.IsPlayerSliderEnabled())
            player.OnBnClickedForwardBtn();
        break;
    case Rewind:
    case MenuRewind:
        if (player.IsPlayerSliderEnabled())
            player.OnBnClickedRewindBtn();
        break;
    case NextEntry:
        if (HasCurrentEntry())
            player.OnBnClickedNextBtn();
        break;
    case PreviousEntry:
        if (HasCurrentEntry())
            player.OnBnClickedPreviousBtn();
        break;
    case PlayPause:
        if (HasCurrentEntry())
            player.OnBnClickedPlayBtn();
        break;
    case DockMap:
        if (HasCurrentEntry())
            mapPane->OnBnClickedPopup();
        break;
    case Print:
        // Ctrl as the press behind the command had it.
        if (HasCurrentEntry() && modifiers.testFlag(Qt::ControlModifier))
            OnBnClickedPrintBtn();
        break;
    case Darker:
    case Brighter:
        StepSlider(player.BrightnessSlider(), id == Darker ? -kBrightnessStep : kBrightnessStep);
        player.ChangeVideoBrightnessFromBrightnessSlider();
        break;
    case Faster:
    case Slower:
        StepSlider(player.SpeedSlider(), id == Faster ? kSpeedStep : -kSpeedStep);
        player.ChangeVideoPlaySpeedFromSpeedSlider();
        break;
    case ToggleView:
    case ToggleViewByEscape: ToggleVideoMaximize(); break;
    case Open: OnBnClickedOpenVideoBtn(); break;
    case Cut: OnBnClickedVideoRecordBtn(); break;
    case CloseWindow: close(); break;
    case KeyW:
    case KeyS:
    case KeyA:
    case KeyD:
    default: break;
    }
}

void CKestrovViewerNewDlg::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    OnContextMenu();
}

void CKestrovViewerNewDlg::OnContextMenu()
{
    ui::AssertUiThread();
    QMenu menu(this);
    MenuResource::BuildPopup(MenuResource::kWindowPopup, menu);
    // At the pointer, not where the request says.
    if (QAction* chosen = menu.exec(QCursor::pos()))
        ExecuteCommand(chosen->data().toInt());
}
