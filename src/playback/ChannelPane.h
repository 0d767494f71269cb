#pragma once
// What the front and the rear channel pane share: the template with the
// video surface over the pane's own frame sink, the player and the lock that
// guards it, keys and presses, sizing and painting.
//
// Threads: update runs on the hub's worker and keeps libvlc calls, file
// checks and hub reads there; the window work of one update goes to the UI
// thread in one Invoke. libvlc's event threads run the handlers, which only
// post or queue and never take playerLock. The UI thread takes playerLock
// for its own snapshots and stops. No hub lock is taken under playerLock,
// and no Invoke is made while holding it.

#include "hub/IListener.h"
#include "platform/Locks.h"
#include "platform/widgets/DialogBuilder.h"
#include "platform/widgets/WindowMove.h"
#include "playback/PlayerPaneSeams.h"
#include "playback/VideoFrameSink.h"
#include "playback/VlcPlayerSetup.h"

#include <QString>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>

class ApplicationHub;
class RecordingEntry;
class VideoSurface;

// path with tag put before its last four characters (its ".png"); a path
// shorter than four characters gets it at its start.
QString InsertTrackTag(const QString& path, const QString& tag);

class ChannelPane : public QWidget, public IListener, public IChannelView {
    Q_OBJECT
public:
    // Opens a folder in the file manager (platform::OpenFolder in the
    // program); true when it started.
    using FolderOpener = std::function<bool(const QString& folder)>;

    ~ChannelPane() override;

    QWidget* Widget() override { return this; }
    using QWidget::update;

    // Seams for tests; UI thread, before the first message.
    void SetWindowMoveRequest(platform::WindowMoveRequest request) { moveWindow = std::move(request); }
    void SetFolderOpener(FolderOpener opener) { openFolder = std::move(opener); }

    VideoFrameSink& Sink() { return sink; }
    VideoSurface* Surface() const { return surface; }
    const ControlMap& Controls() const { return controls; }
    bool Initialized() const { return initialized; }
    // The player of the latest set-up (null without one). For tests.
    libvlc_media_player_t* CurrentPlayer();

protected:
    ChannelPane(QWidget* parent, ChannelPaneHost& host, ApplicationHub& hub, VlcFunctionExecutor& vlc);

    // Builds the template on the pane with the video surface at surfaceId
    // (and the other overrides), and puts the key filter on every widget.
    void BuildTemplate(int templateId, int surfaceId, DialogBuilder::Overrides overrides = {});
    // The widgets that fill the pane on every resize once initialised.
    virtual std::vector<QWidget*> FillingAreas() const = 0;

    // The surface's visible picture now, for the sink's target at a load.
    QSize VisiblePictureSize() const;
    void MarkInitialized() { initialized = true; }

    // Releases the player, then its instance, under playerLock. Derived
    // destructors call it after detaching, while their handlers' state
    // still lives.
    void ReleasePlayer();

    // Writes the player's snapshot to path under playerLock; true when a
    // file exists at path afterwards. False without a player or when the
    // path does not convert.
    bool TakeSnapshot(const QString& path);

    // The current entry's video stream count; 0 without one. Any thread.
    int CurrentStreamCount();

    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    ChannelPaneHost& host;
    ApplicationHub& hub;
    VlcFunctionExecutor& vlc;
    // Outlives every player bound to it: players are released in the
    // destructors, before the sink goes.
    VideoFrameSink sink;
    VideoSurface* surface = nullptr;
    ControlMap controls;

    // Guards replacing and releasing the player and the calls that must not
    // overlap them. Rank 5, after the hub's locks; nothing of the hub is
    // taken under it.
    platform::Lock playerLock{"playerLock", 5, platform::InvokeRule::Forbidden};
    // Written under playerLock; the worker also reads it without.
    VlcPlayerHandles handles;

    platform::WindowMoveRequest moveWindow = platform::StartWindowMove;
    FolderOpener openFolder;

private:
    std::atomic<bool> initialized{false};
    std::atomic<int> visibleWidth{0};
    std::atomic<int> visibleHeight{0};
};
