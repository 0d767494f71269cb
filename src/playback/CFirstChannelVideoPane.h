#pragma once
// Channel 1, the front camera, and the pane that drives playback: it loads
// every recording that becomes current into a fresh player, acts on the
// playback messages, turns the player's events into hub messages, shows the
// logo while nothing plays and writes the front snapshots.
//
// The end of a file is reported once: a token armed when a new media is set
// and taken by the first end event (the end, a position of 1.0 or more, a
// playback error), dropped at every media change, so libvlc's 1.0125
// position and its EndReached a moment later advance the playlist once, and
// late events of a player being replaced post nothing.

#include "playback/ChannelPane.h"

#include <QString>

#include <atomic>
#include <mutex>
#include <optional>

class ChannelLogo;
class ImageSource;

class CFirstChannelVideoPane : public ChannelPane {
    Q_OBJECT
public:
    static constexpr int kTemplate = 101;
    enum Control : int { VideoArea = 1157, LogoArea = 1026 };
    static constexpr int kLogoBitmap = 310;
    // "Невозможно воспроизвести файл.": the file libvlc could not play.
    static constexpr int kCannotPlayText = 5001;

    // Builds template 101 on the pane and attaches it to the hub; the owner
    // calls OnInitDialog right after. UI thread.
    CFirstChannelVideoPane(QWidget* parent, ChannelPaneHost& host, ApplicationHub& hub, VlcFunctionExecutor& vlc,
                           const ImageSource& images);
    // Detaches, then releases the player and its instance.
    ~CFirstChannelVideoPane() override;

    // UI thread: the logo shown, a first player, the logo bitmap.
    void OnInitDialog();

    // Hub worker.
    void update(int code, const MessageParam* payload) override;

    // Sets a player up with the current CH1 flips and this pane's handlers;
    // the caller holds playerLock.
    void initVideoPlayer();
    // A fresh player, the current entry loaded into it (worker).
    void SetCurrentVideoMedia();
    // Play when not playing, else pause (worker).
    void PlayVideo();
    // UI thread: the report's snapshot, and the boxes when folder is set.
    void CaptureSnapshot(const QString& path, const QString& folder) override;
    // UI thread: stops the player; returns when it has let go of the file.
    void StopPlayer() override;
    // UI thread: repaints the logo.
    void DrawLogo();

    // libvlc's event threads; data is the pane.
    static void OnMediaPlayerPositionChanged(const libvlc_event_t* event, void* data);
    static void OnMediaPlayerPlaying(const libvlc_event_t* event, void* data);
    static void OnMediaPlayerPaused(const libvlc_event_t* event, void* data);
    static void OnMediaPlayerEndReached(const libvlc_event_t* event, void* data);
    static void OnMediaPlayerOpening(const libvlc_event_t* event, void* data);
    static void OnMediaPlayerEncounteredError(const libvlc_event_t* event, void* data);

    ChannelLogo* Logo() const { return logo; }
    bool LogoShown() const { return logoShown; }

protected:
    std::vector<QWidget*> FillingAreas() const override;

private:
    // Worker: the snapshot of code 21; the boxes run on the UI thread while
    // the worker waits.
    void CaptureSnapshotFromWorker(const QString& path, const QString& folder);
    // The snapshot itself: the path tagged for two cameras; none without a
    // current entry. Any thread.
    struct Snapshot {
        QString path;
        bool written = false;
    };
    std::optional<Snapshot> WriteSnapshot(const QString& path);
    void ShowSnapshotBoxes(const Snapshot& snapshot, const QString& folder);

    // The window work of one update: nothing when the areas already show
    // what is asked for.
    void ShowVideoArea();
    void ShowLogoArea();
    void SetAreas(bool showLogo);

    bool TakeEndToken();
    void ReachEndOfFile();
    void ReportPlaybackError();

    const ImageSource& images;
    ChannelLogo* logo = nullptr;

    std::atomic<int> volume{50};
    std::atomic<float> rate{1.0f};
    std::atomic<float> brightness{1.0f};
    std::atomic<bool> mediaSwitching{false};
    std::atomic<bool> endToken{false};
    // Which area shows; written on the worker once initialised.
    std::atomic<bool> logoShown{true};

    // The file loaded into the player, and the one it could not play.
    std::mutex pathMutex;
    QString loadedPath;
    std::optional<QString> failedPath;
};
