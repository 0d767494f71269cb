#include "playback/CFirstChannelVideoPane.h"

#include "controls/ImageSource.h"
#include "core/Common.h"
#include "core/Logger.h"
#include "hub/ApplicationHub.h"
#include "hub/HubCodes.h"
#include "hub/HubMessage.h"
#include "platform/UiThread.h"
#include "platform/UserNotifier.h"
#include "playback/ChannelLogo.h"
#include "playback/VideoSurface.h"
#include "recordings/RecordingEntry.h"

#include <filesystem>
#include <system_error>

namespace {

const QString kClass = QStringLiteral("CFirstChannelVideoPane");
const QString kSnapshotFailedText =
    QString::fromUtf8("캡처에 실패 하였습니다.\n관리자권한으로 실행해주시기 바랍니다.");
const QString kQuestionCaption = QString::fromUtf8("경고");
constexpr int kSnapshotSavedText = 255;

void Log(const QString& message, const QString& method)
{
    Logger::GetInstance().Log(message, kClass, method, 3, 3);
}

CFirstChannelVideoPane* Pane(void* data)
{
    return static_cast<CFirstChannelVideoPane*>(data);
}

bool IsRegularFile(const QString& path)
{
    std::string native;
    if (!ConvertToUtf8Path(native, path))
        return false;
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(native), error);
}

}  // namespace

CFirstChannelVideoPane::CFirstChannelVideoPane(QWidget* parent, ChannelPaneHost& host, ApplicationHub& hub,
                                               VlcFunctionExecutor& vlc, const ImageSource& images)
    : ChannelPane(parent, host, hub, vlc), images(images)
{
    BuildTemplate(kTemplate, VideoArea, {{LogoArea, [this](QWidget* dialog, const DialogControl&) {
                                              return logo = new ChannelLogo(dialog);
                                          }}});
    hub.AttachListener(this);
}

CFirstChannelVideoPane::~CFirstChannelVideoPane()
{
    hub.DetachListener(this);
    ReleasePlayer();
}

std::vector<QWidget*> CFirstChannelVideoPane::FillingAreas() const
{
    return {logo, surface};
}

void CFirstChannelVideoPane::OnInitDialog()
{
    Q_ASSERT(UiThread::IsUiThread());
    Log(QStringLiteral("CFirstChannelVideoPane Init"), QStringLiteral("OnInitDialog"));
    logo->show();
    surface->hide();
    logoShown = true;
    logo->SetBitmap(images.Bitmap(kLogoBitmap));
    {
        std::lock_guard lock(playerLock);
        initVideoPlayer();
    }
    DrawLogo();
    brightness = 1.0f;
    MarkInitialized();
}

void CFirstChannelVideoPane::initVideoPlayer()
{
    VlcPlayerSetup setup;
    // Read at every set-up: a changed option shows from the next recording.
    setup.vflip = host.IsCh1VerticalFlip();
    setup.hflip = host.IsCh1HorizontalFlip();
    setup.sink = &sink;
    setup.events = {
        {vlc::MediaPlayerPositionChanged, &OnMediaPlayerPositionChanged, this},
        {vlc::MediaPlayerPlaying, &OnMediaPlayerPlaying, this},
        {vlc::MediaPlayerPaused, &OnMediaPlayerPaused, this},
        {vlc::MediaPlayerEndReached, &OnMediaPlayerEndReached, this},
        {vlc::MediaPlayerOpening, &OnMediaPlayerOpening, this},
        {vlc::MediaPlayerEncounteredError, &OnMediaPlayerEncounteredError, this},
    };
    handles = SetUpVlcPlayer(vlc, setup);
}

void CFirstChannelVideoPane::SetCurrentVideoMedia()
{
    const std::shared_ptr<RecordingEntry> entry = hub.GetCurrentVideoFile();
    sink.SetTargetSize(VisiblePictureSize());
    std::lock_guard lock(playerLock);
    // The old player's late end events find the token gone.
    endToken = false;
    handles.reset();
    initVideoPlayer();
    if (!entry || !handles.ready())
        return;
    std::string utf8;
    if (ConvertToUtf8Path(utf8, entry->path)) {
        const VlcFunctionTable& f = vlc.Functions();
        libvlc_media_t* media = f.libvlc_media_new_path(handles.instance(), utf8.c_str());
        vlc.libvlc_media_player_set_media(handles.player(), media);
        if (media)
            f.libvlc_media_release(media);
        {
            std::lock_guard paths(pathMutex);
            loadedPath = entry->path;
        }
        endToken = media != nullptr;
    }
    vlc.libvlc_audio_set_volume(handles.player(), volume);
    vlc.libvlc_media_player_set_rate(handles.player(), rate);
}

void CFirstChannelVideoPane::PlayVideo()
{
    Log(QStringLiteral("CFirstChannelVideoPane Init"), QStringLiteral("PlayVideo"));
    libvlc_media_player_t* player = handles.player();
    if (vlc.libvlc_media_player_is_playing(player))
        vlc.libvlc_media_player_set_pause(player);
    else
        vlc.libvlc_media_player_play(player);
}

void CFirstChannelVideoPane::update(int code, const MessageParam* payload)
{
    if (!Initialized())
        return;
    // Only this thread replaces the player, so it reads it without the lock.
    libvlc_media_player_t* player = handles.player();
    switch (code) {
    case VIDEO_PLAY:
        ShowVideoArea();
        PlayVideo();
        break;
    case VIDEO_PAUSE:
        if (vlc.libvlc_media_player_is_playing(player))
            vlc.libvlc_media_player_set_pause(player);
        break;
    case VIDEO_STOP:
        vlc.libvlc_media_player_stop(player);
        ReportPlaybackError();
        ShowLogoArea();
        break;
    case VIDEO_PREVIOUS:
    case VIDEO_NEXT:
    case NEW_VIDEO_PLAY: {
        ShowVideoArea();
        const std::shared_ptr<RecordingEntry> entry = hub.GetCurrentVideoFile();
        if (entry && IsRegularFile(entry->path))
            vlc.libvlc_media_player_play(player);
        else
            vlc.libvlc_media_player_stop(player);
        break;
    }
    case SET_CURRENT_VIDEO_MEDIA:
        mediaSwitching = true;
        {
            std::lock_guard paths(pathMutex);
            failedPath.reset();
        }
        vlc.libvlc_media_player_set_pause(player);
        SetCurrentVideoMedia();
        break;
    case CHANGE_VIDEO_FRAME_POSITION:
        vlc.libvlc_media_player_set_position(player, payload->position);
        break;
    case CHANGE_VIDEO_SPEED:
        rate = payload->rate;
        vlc.libvlc_media_player_set_rate(player, rate);
        break;
    case CHANGE_VIDEO_BRIGHTNESS:
        brightness = payload->brightness;
        if (handles.ready()) {
            vlc.Functions().libvlc_video_set_adjust_int(player, vlc::AdjustEnable, 1);
            vlc.Functions().libvlc_video_set_adjust_float(player, vlc::AdjustBrightness, brightness);
        }
        break;
    case CHANGE_VIDEO_VOLUME:
        volume = payload->volume;
        vlc.libvlc_audio_set_volume(player, volume);
        break;
    case CAPTURE_VIDEO_SNAPSHOT:
        CaptureSnapshotFromWorker(payload->GetSnapshotPath(), payload->GetSnapshotFolder());
        break;
    case VIDEO_FILE_NOT_FOUND:
        ShowLogoArea();
        break;
    default:
        break;
    }
}

void CFirstChannelVideoPane::ShowVideoArea()
{
    SetAreas(false);
}

void CFirstChannelVideoPane::ShowLogoArea()
{
    SetAreas(true);
}

void CFirstChannelVideoPane::SetAreas(bool showLogo)
{
    if (logoShown == showLogo)
        return;
    logoShown = showLogo;
    UiThread::Invoke([this, showLogo] {
        logo->setVisible(showLogo);
        surface->setVisible(!showLogo);
        if (showLogo) {
            // The next video starts black, not with this file's last frame.
            surface->Clear();
            DrawLogo();
        }
    });
}

void CFirstChannelVideoPane::DrawLogo()
{
    Q_ASSERT(UiThread::IsUiThread());
    logo->update();
}

void CFirstChannelVideoPane::StopPlayer()
{
    Q_ASSERT(UiThread::IsUiThread());
    std::lock_guard lock(playerLock);
    vlc.libvlc_media_player_stop(handles.player());
}

std::optional<CFirstChannelVideoPane::Snapshot> CFirstChannelVideoPane::WriteSnapshot(const QString& path)
{
    const int streams = CurrentStreamCount();
    if (!hub.GetCurrentVideoFile())
        return std::nullopt;
    Snapshot snapshot;
    snapshot.path = streams > 1 ? InsertTrackTag(path, QStringLiteral("(Track1)")) : path;
    std::string utf8;
    if (!ConvertToUtf8Path(utf8, snapshot.path))
        return std::nullopt;
    snapshot.written = TakeSnapshot(snapshot.path);
    return snapshot;
}

void CFirstChannelVideoPane::CaptureSnapshot(const QString& path, const QString& folder)
{
    Q_ASSERT(UiThread::IsUiThread());
    if (const std::optional<Snapshot> snapshot = WriteSnapshot(path))
        ShowSnapshotBoxes(*snapshot, folder);
}

void CFirstChannelVideoPane::CaptureSnapshotFromWorker(const QString& path, const QString& folder)
{
    const std::optional<Snapshot> snapshot = WriteSnapshot(path);
    if (!snapshot || folder.isEmpty())
        return;
    // The boxes are modal: the worker waits for the answer.
    UiThread::Invoke([&] { ShowSnapshotBoxes(*snapshot, folder); });
}

void CFirstChannelVideoPane::ShowSnapshotBoxes(const Snapshot& snapshot, const QString& folder)
{
    if (folder.isEmpty())
        return;
    UserNotifier& notifier = UserNotifier::Current();
    if (!snapshot.written) {
        notifier.ShowMessage(kSnapshotFailedText);
        return;
    }
    const UserNotifier::Button answer =
        notifier.Ask(snapshot.path + Common::GetResourceString(kSnapshotSavedText), kQuestionCaption,
                     UserNotifier::Button::Yes | UserNotifier::Button::No, UserNotifier::Button::Yes);
    if (answer == UserNotifier::Button::Yes && openFolder)
        openFolder(folder);
}

bool CFirstChannelVideoPane::TakeEndToken()
{
    bool armed = true;
    return endToken.compare_exchange_strong(armed, false);
}

void CFirstChannelVideoPane::ReachEndOfFile()
{
    if (!TakeEndToken())
        return;
    int next = 0;
    const bool found = hub.GetNextIndex(next);
    auto index = std::make_unique<MessageParam>();
    index->index = found ? next : 0;
    // One batch: a clear meanwhile drops the whole end or none of it.
    std::vector<HubMessage> batch;
    batch.emplace_back(VIDEO_END_REACHED);
    batch.emplace_back(SET_CURRENT_VIDEO_INDEX, std::move(index));
    batch.emplace_back(SET_CURRENT_VIDEO_MEDIA);
    batch.emplace_back(found ? VIDEO_NEXT : VIDEO_STOP);
    hub.PostBatch(std::move(batch), KeepOnClear::No);
}

void CFirstChannelVideoPane::ReportPlaybackError()
{
    std::optional<QString> path;
    {
        std::lock_guard paths(pathMutex);
        path.swap(failedPath);
    }
    if (path)
        UserNotifier::Current().PostMessage(Common::GetResourceString(kCannotPlayText) + "\n" + *path);
}

void CFirstChannelVideoPane::OnMediaPlayerPositionChanged(const libvlc_event_t* event, void* data)
{
    const float position = event->u.media_player_position_changed.new_position;
    if (position >= 1.0f) {
        Pane(data)->ReachEndOfFile();
        return;
    }
    auto payload = std::make_unique<MessageParam>();
    payload->position = position;
    Pane(data)->hub.Post(VIDEO_FRAME_POSITION_CHANGED, std::move(payload));
}

void CFirstChannelVideoPane::OnMediaPlayerPlaying(const libvlc_event_t*, void* data)
{
    CFirstChannelVideoPane* pane = Pane(data);
    pane->hub.Post(VIDEO_PLAY_STARTED);
    auto payload = std::make_unique<MessageParam>();
    payload->brightness = pane->brightness;
    pane->hub.Post(CHANGE_VIDEO_BRIGHTNESS, std::move(payload));
}

void CFirstChannelVideoPane::OnMediaPlayerPaused(const libvlc_event_t*, void* data)
{
    CFirstChannelVideoPane* pane = Pane(data);
    if (!pane->mediaSwitching)
        pane->hub.Post(VIDEO_PAUSE);
}

void CFirstChannelVideoPane::OnMediaPlayerEndReached(const libvlc_event_t*, void* data)
{
    Pane(data)->ReachEndOfFile();
}

void CFirstChannelVideoPane::OnMediaPlayerOpening(const libvlc_event_t*, void* data)
{
    CFirstChannelVideoPane* pane = Pane(data);
    pane->mediaSwitching = false;
    // Together and kept: a clear between them would leave the metadata
    // loaded without the panes told.
    std::vector<HubMessage> batch;
    batch.emplace_back(CREATE_VIDEO_METADATA);
    batch.emplace_back(VIDEO_METADATA_CREATED);
    pane->hub.PostBatch(std::move(batch), KeepOnClear::Yes);
}

// libvlc cannot play the file (empty, unreadable, gone since the check):
// the end of this file, reported as a stop with a box.
void CFirstChannelVideoPane::OnMediaPlayerEncounteredError(const libvlc_event_t*, void* data)
{
    CFirstChannelVideoPane* pane = Pane(data);
    if (!pane->TakeEndToken())
        return;
    {
        std::lock_guard paths(pane->pathMutex);
        pane->failedPath = pane->loadedPath;
    }
    pane->hub.Post(VIDEO_STOP);
}
