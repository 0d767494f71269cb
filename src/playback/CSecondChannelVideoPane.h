#pragma once
// Channel 2, the rear camera: a second player, set up once, that follows the
// front. When the metadata of a two-camera recording is ready it loads the
// same file, muted, and chooses the rear's video track once it plays; it
// posts nothing. It also writes the rear snapshots.
//
// Its event handlers only queue work to RearPlayerTasks; every stop (4, 8,
// 9, 16) stops the player, moves the load generation on and holds the sink,
// so neither a queued track request nor the old file's picture outlives it.
// From a load until the track is chosen the sink is held as well, so the
// rear never shows the front camera's picture.

#include "playback/ChannelPane.h"
#include "playback/RearPlayerTasks.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <optional>

class CSecondChannelVideoPane : public ChannelPane {
    Q_OBJECT
public:
    static constexpr int kTemplate = 1160;
    enum Control : int { VideoArea = 1158 };
    // Track requests libvlc refuses are repeated this often, this far apart.
    static constexpr int kTrackAttempts = 25;
    static constexpr std::chrono::milliseconds kTrackRetryPause{20};
    // After the track choice, frames of an older output (the front track's)
    // stay unpublished this long at most.
    static constexpr std::chrono::milliseconds kHoldAfterTrack{500};

    // Logs, builds template 1160 and attaches to the hub; the owner calls
    // OnInitDialog right after. UI thread.
    CSecondChannelVideoPane(QWidget* parent, ChannelPaneHost& host, ApplicationHub& hub, VlcFunctionExecutor& vlc);
    // Detaches, ends the tasks' thread, then releases the player.
    ~CSecondChannelVideoPane() override;

    // UI thread: the player, set up once.
    void OnInitDialog();
    void initVideoPlayer();

    // Hub worker.
    void update(int code, const MessageParam* payload) override;
    // Loads the current entry's file, muted (worker).
    void SetCurrentVideoMedia();
    // Play when not playing, else pause (worker).
    void PlayVideo();
    // The rear snapshot of a two-camera recording (any thread; no box).
    void CaptureSnapshot(const QString& path);
    // UI thread; the folder is the front's business.
    void CaptureSnapshot(const QString& path, const QString& folder) override;
    // UI thread: a stop as 4 makes it, the surface black.
    void StopPlayer() override;

    // The one player whose track is chosen, so the track is all it takes.
    int libvlc_video_set_track(int track);

    // libvlc's event threads; data is the pane. They only queue.
    static void OnMediaPlayerPlaying(const libvlc_event_t* event, void* data);
    static void OnMediaPlayerOpening(const libvlc_event_t* event, void* data);

    bool RearActive() const { return rearActive; }
    bool TrackSelected() const { return trackSelected; }
    RearPlayerTasks& Tasks() { return tasks; }

protected:
    std::vector<QWidget*> FillingAreas() const override;

private:
    // The Playing task: no video track, then the entry's, then brightness.
    void SelectTrack(std::uint64_t generation);
    // The Opening task: brightness.
    void ApplyBrightness(std::uint64_t generation);
    // One track, asked again while refused: true accepted, false refused
    // kTrackAttempts times, none when the generation moved on meanwhile.
    std::optional<bool> RequestTrack(std::uint64_t generation, int track);
    // The libvlc calls of a load; the caller holds playerLock.
    void LoadLocked(const QString& path);
    // The worker's and the UI thread's stop; the surface is the caller's.
    void StopRear();

    std::atomic<float> rearBrightness{1.0f};
    // Written under playerLock (the track task checks its generation there).
    std::atomic<bool> trackSelected{false};
    std::atomic<bool> rearActive{false};
    // The surface was cleared since the last load (black at start).
    std::atomic<bool> surfaceCleared{true};
    RearPlayerTasks tasks;
};
