#include "playback/CSecondChannelVideoPane.h"

#include "core/Logger.h"
#include "hub/ApplicationHub.h"
#include "hub/HubCodes.h"
#include "hub/HubMessage.h"
#include "platform/UiThread.h"
#include "playback/VideoSurface.h"
#include "recordings/RecordingEntry.h"

namespace {

const QString kClass = QStringLiteral("CSecondChannelVideoPane");

void Log(const QString& message, const QString& method)
{
    Logger::GetInstance().Log(message, kClass, method, 3, 3);
}

CSecondChannelVideoPane* Pane(void* data)
{
    return static_cast<CSecondChannelVideoPane*>(data);
}

// The line each handled code writes first; empty for the codes ignored.
QString UpdateLine(int code)
{
    switch (code) {
    case VIDEO_PLAY: return QStringLiteral("VIDEO_PLAY msg ");
    case VIDEO_PAUSE: return QStringLiteral("VIDEO_PAUSE msg ");
    case VIDEO_STOP: return QStringLiteral("VIDEO_STOP msg ");
    case VIDEO_PREVIOUS:
    case VIDEO_NEXT:
    case NEW_VIDEO_PLAY: return QStringLiteral("NEW_VIDEO_PLAY VIDEO_PREVIOUS VIDEO_NEXT msg ");
    case VIDEO_METADATA_CREATED: return QStringLiteral("VIDEO_METADATA_CREATED msg ");
    case CHANGE_VIDEO_FRAME_POSITION: return QStringLiteral("CHANGE_VIDEO_FRAME_POSITION msg ");
    case CHANGE_VIDEO_SPEED: return QStringLiteral("CHANGE_VIDEO_SPEED msg ");
    case CHANGE_VIDEO_BRIGHTNESS: return QStringLiteral("CHANGE_VIDEO_BRIGHTNESS msg ");
    case CAPTURE_VIDEO_SNAPSHOT: return QStringLiteral("CAPTURE_VIDEO_SNAPSHOT msg ");
    default: return {};
    }
}

}  // namespace

CSecondChannelVideoPane::CSecondChannelVideoPane(QWidget* parent, ChannelPaneHost& host, ApplicationHub& hub,
                                                 VlcFunctionExecutor& vlc)
    : ChannelPane(parent, host, hub, vlc)
{
    Log(QStringLiteral("create"), kClass);
    BuildTemplate(kTemplate, VideoArea);
    // Black until a two-camera recording shows its rear.
    sink.Hold();
    hub.AttachListener(this);
}

CSecondChannelVideoPane::~CSecondChannelVideoPane()
{
    hub.DetachListener(this);
    tasks.Stop();
    ReleasePlayer();
}

std::vector<QWidget*> CSecondChannelVideoPane::FillingAreas() const
{
    return {surface};
}

void CSecondChannelVideoPane::OnInitDialog()
{
    Q_ASSERT(UiThread::IsUiThread());
    Log(QStringLiteral("init"), QStringLiteral("OnInitDialog"));
    {
        std::lock_guard lock(playerLock);
        initVideoPlayer();
    }
    MarkInitialized();
}

void CSecondChannelVideoPane::initVideoPlayer()
{
    Log(QStringLiteral("init Video player"), QStringLiteral("initVideoPlayer"));
    VlcPlayerSetup setup;
    setup.vflip = host.IsCh2VerticalFlip();
    setup.hflip = host.IsCh2HorizontalFlip();
    setup.sink = &sink;
    setup.events = {
        {vlc::MediaPlayerPlaying, &OnMediaPlayerPlaying, this},
        {vlc::MediaPlayerOpening, &OnMediaPlayerOpening, this},
    };
    handles = SetUpVlcPlayer(vlc, setup);
}

int CSecondChannelVideoPane::libvlc_video_set_track(int track)
{
    return vlc.libvlc_video_set_track(handles.player(), track);
}

void CSecondChannelVideoPane::update(int code, const MessageParam* payload)
{
    if (!Initialized())
        return;
    const QString line = UpdateLine(code);
    if (line.isEmpty())
        return;
    Log(line, QStringLiteral("update"));
    libvlc_media_player_t* player = handles.player();
    switch (code) {
    case VIDEO_PLAY:
        if (rearActive) {
            Log(QStringLiteral("VIDEO_PLAY msg Second Video Channel play true"), QStringLiteral("UPDATE"));
            PlayVideo();
        }
        break;
    case VIDEO_PAUSE:
        if (vlc.libvlc_media_player_is_playing(player))
            vlc.libvlc_media_player_set_pause(player);
        break;
    case VIDEO_STOP:
    case VIDEO_PREVIOUS:
    case VIDEO_NEXT:
    case NEW_VIDEO_PLAY:
        // Whatever comes next, this file's rear is over: a hidden player
        // would go on decoding it, and a later 2 would start it again.
        StopRear();
        // Black from now on; once is enough until the next load shows.
        if (!surfaceCleared.exchange(true))
            UiThread::Invoke([this] { surface->Clear(); });
        break;
    case VIDEO_METADATA_CREATED: {
        const QString path = [&] {
            const std::shared_ptr<RecordingEntry> entry = hub.GetCurrentVideoFile();
            std::lock_guard lock(hub.fileLock);
            return entry && entry->videoStreamCount > 1 ? entry->path : QString();
        }();
        if (path.isEmpty() || !handles.ready())
            break;
        sink.SetTargetSize(VisiblePictureSize());
        std::lock_guard lock(playerLock);
        vlc.libvlc_media_player_set_pause(player);
        trackSelected = false;
        sink.Hold();
        sink.Reset();
        surfaceCleared = false;
        LoadLocked(path);
        // The events of this play belong to the new generation.
        tasks.Advance();
        vlc.libvlc_media_player_play(player);
        rearActive = true;
        break;
    }
    case CHANGE_VIDEO_FRAME_POSITION:
        vlc.libvlc_media_player_set_position(player, payload->position);
        break;
    case CHANGE_VIDEO_SPEED:
        vlc.libvlc_media_player_set_rate(player, payload->rate);
        break;
    case CHANGE_VIDEO_BRIGHTNESS:
        rearBrightness = payload->brightness;
        if (handles.ready()) {
            vlc.Functions().libvlc_video_set_adjust_int(player, vlc::AdjustEnable, 1);
            vlc.Functions().libvlc_video_set_adjust_float(player, vlc::AdjustBrightness, rearBrightness);
        }
        break;
    case CAPTURE_VIDEO_SNAPSHOT:
        CaptureSnapshot(payload->GetSnapshotPath());
        break;
    default:
        break;
    }
}

void CSecondChannelVideoPane::SetCurrentVideoMedia()
{
    const std::shared_ptr<RecordingEntry> entry = hub.GetCurrentVideoFile();
    if (!entry || !handles.ready())
        return;
    std::lock_guard lock(playerLock);
    LoadLocked(entry->path);
}

void CSecondChannelVideoPane::LoadLocked(const QString& path)
{
    Log(QStringLiteral("Current Video Media"), QStringLiteral("SetCurrentVideoMedia"));
    libvlc_media_player_t* player = handles.player();
    std::string utf8;
    if (ConvertToUtf8Path(utf8, path)) {
        const VlcFunctionTable& f = vlc.Functions();
        libvlc_media_t* media = f.libvlc_media_new_path(handles.instance(), utf8.c_str());
        if (media) {
            // The option's name alone, as the recorder's viewer always gave it.
            f.libvlc_media_add_option(media, "brightness");
            // libvlc drops a player's audio output at every stop and makes a
            // new one at the next play, at the process's last volume: the
            // volume below would not keep the rear silent after a stop.
            f.libvlc_media_add_option(media, ":no-audio");
            vlc.libvlc_media_player_set_media(player, media);
            f.libvlc_media_release(media);
        }
    }
    // The front carries the sound; the rear decodes none (above).
    vlc.libvlc_audio_set_volume(player, 0);
}

void CSecondChannelVideoPane::PlayVideo()
{
    libvlc_media_player_t* player = handles.player();
    if (vlc.libvlc_media_player_is_playing(player))
        vlc.libvlc_media_player_set_pause(player);
    else
        vlc.libvlc_media_player_play(player);
}

void CSecondChannelVideoPane::StopRear()
{
    std::lock_guard lock(playerLock);
    tasks.Advance();
    vlc.libvlc_media_player_stop(handles.player());
    trackSelected = false;
    rearActive = false;
    sink.Hold();
}

void CSecondChannelVideoPane::StopPlayer()
{
    Q_ASSERT(UiThread::IsUiThread());
    StopRear();
    surfaceCleared = true;
    surface->Clear();
}

void CSecondChannelVideoPane::CaptureSnapshot(const QString& path)
{
    if (CurrentStreamCount() < 2)
        return;
    TakeSnapshot(InsertTrackTag(path, QStringLiteral("(Track2)")));
}

void CSecondChannelVideoPane::CaptureSnapshot(const QString& path, const QString&)
{
    Q_ASSERT(UiThread::IsUiThread());
    CaptureSnapshot(path);
}

void CSecondChannelVideoPane::OnMediaPlayerPlaying(const libvlc_event_t*, void* data)
{
    CSecondChannelVideoPane* pane = Pane(data);
    pane->tasks.Queue(pane->tasks.Current(), [pane](std::uint64_t generation) { pane->SelectTrack(generation); });
}

void CSecondChannelVideoPane::OnMediaPlayerOpening(const libvlc_event_t*, void* data)
{
    CSecondChannelVideoPane* pane = Pane(data);
    pane->tasks.Queue(pane->tasks.Current(), [pane](std::uint64_t generation) { pane->ApplyBrightness(generation); });
}

std::optional<bool> CSecondChannelVideoPane::RequestTrack(std::uint64_t generation, int track)
{
    for (int attempt = 1;; ++attempt) {
        {
            std::lock_guard lock(playerLock);
            if (tasks.Current() != generation)
                return std::nullopt;
            if (libvlc_video_set_track(track) == 0)
                return true;
        }
        if (attempt == kTrackAttempts)
            return false;
        if (!tasks.Pause(kTrackRetryPause))
            return std::nullopt;
    }
}

void CSecondChannelVideoPane::SelectTrack(std::uint64_t generation)
{
    // Once per load: a Playing after a pause changes nothing.
    if (trackSelected)
        return;
    const std::shared_ptr<RecordingEntry> entry = hub.GetCurrentVideoFile();
    if (!entry)
        return;
    bool track1 = false;
    bool track2 = false;
    {
        std::lock_guard lock(hub.fileLock);
        track1 = entry->selectTrack1;
        track2 = entry->selectTrack2;
    }
    const int wanted = track2 && !track1 ? 2 : track1 && !track2 ? 1 : -1;

    const std::optional<bool> none = RequestTrack(generation, -1);
    if (!none)
        return;
    bool refused = !*none;
    if (wanted > 0) {
        // From the wanted track's output on; while no video track was
        // accepted the front's picture may still come, and stays held.
        if (*none)
            sink.ReleaseOnNextOutput(kHoldAfterTrack);
        const std::optional<bool> chosen = RequestTrack(generation, wanted);
        if (!chosen)
            return;
        refused = refused || !*chosen;
    }
    std::lock_guard lock(playerLock);
    if (tasks.Current() != generation)
        return;
    if (handles.ready())
        vlc.Functions().libvlc_video_set_adjust_float(handles.player(), vlc::AdjustBrightness, rearBrightness);
    if (refused)
        Log(QStringLiteral("Track Not Selected"), QStringLiteral("OnMediaPlayerPlaying"));
    trackSelected = true;
}

void CSecondChannelVideoPane::ApplyBrightness(std::uint64_t generation)
{
    std::lock_guard lock(playerLock);
    if (tasks.Current() != generation || !handles.ready())
        return;
    vlc.Functions().libvlc_video_set_adjust_int(handles.player(), vlc::AdjustEnable, 1);
    vlc.Functions().libvlc_video_set_adjust_float(handles.player(), vlc::AdjustBrightness, rearBrightness);
}
