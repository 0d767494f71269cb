// The player pane: construction, initialisation, the hub's messages, the
// flip readers, snapshots and keys.

#include "playback/CVideoPlayerPane.h"

#include "controls/CBitmapSlider.h"
#include "controls/CButtonStyle.h"
#include "controls/CMyBitmapButton.h"
#include "controls/CMySliderControl.h"
#include "controls/CPicture.h"
#include "core/Common.h"
#include "core/Logger.h"
#include "core/OptionRecord.h"
#include "hub/ApplicationHub.h"
#include "hub/HubCodes.h"
#include "hub/HubMessage.h"
#include "platform/UiThread.h"
#include "platform/widgets/FitTexts.h"

#include <QKeyEvent>
#include <QLabel>
#include <QSlider>

#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <system_error>

using namespace playerpane;

namespace {

const QString kClass = QStringLiteral("CVideoPlayerPane");

constexpr gdi::ColorRef kTextColour = gdi::Rgb(200, 200, 200);

// Tooltips: control and string id.
constexpr std::array<std::pair<int, int>, 12> kToolTips{{
    {PreviousButton, 243},
    {RewindButton, 244},
    {PlayButton, 245},
    {ForwardButton, 246},
    {NextButton, 247},
    {SpeedDefaultButton, 295},
    {MuteButton, 226},
    {playerpane::BrightnessSlider, 285},
    {BrightnessDefaultButton, 296},
    {playerpane::SpeedSlider, 284},
    {FullViewButton, 242},
    {VolumeControl, 286},
}};

constexpr std::array<int, 9> kLabels{UnusedLabel1, TimeCaption, SeparatorLabel, UnusedLabel2, UnusedLabel3,
                                     ElapsedLabel, TotalLabel,  SpeedCaption,   SpeedLabel};

bool IsTrue(const QString& flag)
{
    return flag == QStringLiteral("TRUE");
}

// A directory, or anything else that is not a file, counts as missing.
bool FileExists(const QString& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(path.toStdString()), error);
}

}  // namespace

CVideoPlayerPane::CVideoPlayerPane(QWidget* parent, PlayerPaneHost& host, ApplicationHub& hub,
                                   const ImageSource& images, PlayerPaneParts parts)
    : QWidget(parent), host(host), hub(hub), images(images), parts(std::move(parts))
{
    Q_ASSERT(UiThread::IsUiThread());
    BuildControls();
    ConnectControls();
    hub.AttachListener(this);
}

CVideoPlayerPane::~CVideoPlayerPane()
{
    hub.DetachListener(this);
    for (IChannelView** channel : {&channel1, &channel2}) {
        if (*channel)
            delete (*channel)->Widget();
        *channel = nullptr;
    }
    if (gyroscope)
        delete gyroscope->Widget();
    gyroscope = nullptr;
}

void CVideoPlayerPane::BuildControls()
{
    const auto slider = [this](CMySliderControl*& target, int channel, int thumb, int pressed, int fill, bool drawFill) {
        return [this, &target, channel, thumb, pressed, fill, drawFill](QWidget* dialog, const DialogControl&) {
            return target = new CMySliderControl(channel, thumb, pressed, fill, drawFill, dialog, images);
        };
    };
    const auto iconButton = [this](QWidget* dialog, const DialogControl&) { return new CButtonStyle(dialog, images); };
    const auto bitmapButton = [this](CMyBitmapButton*& target) {
        return [this, &target](QWidget* dialog, const DialogControl&) {
            return target = new CMyBitmapButton(dialog, images);
        };
    };
    DialogBuilder::Overrides overrides;
    overrides.emplace(PositionSlider, slider(positionSlider, 170, 171, 172, 167, true));
    overrides.emplace(playerpane::SpeedSlider, slider(speedSlider, 173, 168, 169, 0, false));
    overrides.emplace(playerpane::BrightnessSlider, slider(brightnessSlider, 173, 168, 169, 0, false));
    overrides.emplace(VolumeControl, [this](QWidget* dialog, const DialogControl&) -> QWidget* {
        volumeControl = new CBitmapSlider(dialog, images);
        volumeControl->SetControlId(VolumeControl);
        return volumeControl;
    });
    overrides.emplace(Speedometer, [this](QWidget* dialog, const DialogControl&) -> QWidget* {
        speedometer = new CPicture(dialog);
        speedometer->SetTransparentColor(gdi::Rgb(255, 255, 255));
        return speedometer;
    });
    overrides.emplace(SpeedDefaultButton, bitmapButton(speedDefaultButton));
    overrides.emplace(BrightnessDefaultButton, bitmapButton(brightnessDefaultButton));
    overrides.emplace(MuteButton, bitmapButton(muteButton));
    overrides.emplace(FrontViewButton, bitmapButton(viewButtons[0]));
    overrides.emplace(RearViewButton, bitmapButton(viewButtons[1]));
    overrides.emplace(BothViewButton, bitmapButton(viewButtons[2]));
    for (int id : {PreviousButton, RewindButton, PlayButton, ForwardButton, NextButton, FullViewButton})
        overrides.emplace(id, iconButton);
    controls = DialogBuilder::Build(DialogTemplate::Get(kTemplate), this, overrides);

    // Labels: light grey on black; the buttons and the speedometer fill
    // nothing, so the background shows around their pictures.
    for (int id : kLabels) {
        QLabel* label = Label(id);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, gdi::ToQColor(kTextColour));
        palette.setColor(QPalette::Window, Qt::black);
        label->setPalette(palette);
        label->setAutoFillBackground(true);
    }
    installEventFilter(this);
    for (int id : controls.Ids())
        controls.Widget(id)->installEventFilter(this);
}

void CVideoPlayerPane::ConnectControls()
{
    // Queued, as the messages the controls once posted: each slot reads its
    // control when it runs.
    const auto onClick = [this](int id, void (CVideoPlayerPane::*handler)()) {
        connect(qobject_cast<QAbstractButton*>(controls.Widget(id)), &QAbstractButton::clicked, this,
                [this, handler] { (this->*handler)(); }, Qt::QueuedConnection);
    };
    onClick(PlayButton, &CVideoPlayerPane::OnBnClickedPlayBtn);
    onClick(PreviousButton, &CVideoPlayerPane::OnBnClickedPreviousBtn);
    onClick(NextButton, &CVideoPlayerPane::OnBnClickedNextBtn);
    onClick(RewindButton, &CVideoPlayerPane::OnBnClickedRewindBtn);
    onClick(ForwardButton, &CVideoPlayerPane::OnBnClickedForwardBtn);
    onClick(SpeedDefaultButton, &CVideoPlayerPane::OnBnClickedSpeedDefaultBtn);
    onClick(BrightnessDefaultButton, &CVideoPlayerPane::OnBnClickedBrightnessDefaultBtn);
    onClick(MuteButton, &CVideoPlayerPane::OnBnClickedMuteBtn);
    onClick(FrontViewButton, &CVideoPlayerPane::OnBnClickedFirstChannelVideoBtn);
    onClick(RearViewButton, &CVideoPlayerPane::OnBnClickedSecondChannelVideoBtn);
    onClick(BothViewButton, &CVideoPlayerPane::OnBnClickedAllChannelVideoBtn);
    onClick(FullViewButton, &CVideoPlayerPane::OnBnClickedVideoMinimizeImageBtn);

    const auto thumbTrack = CEnhancedSliderCtrl::SB_THUMBTRACK;
    connect(positionSlider, &CEnhancedSliderCtrl::hScroll, this, [this](int code, int) { OnPositionSliderScroll(code); },
            Qt::QueuedConnection);
    connect(speedSlider, &CEnhancedSliderCtrl::hScroll, this,
            [this, thumbTrack](int code, int) {
                if (code == thumbTrack)
                    ChangeVideoPlaySpeedFromSpeedSlider();
            },
            Qt::QueuedConnection);
    connect(brightnessSlider, &CEnhancedSliderCtrl::hScroll, this,
            [this, thumbTrack](int code, int) {
                if (code == thumbTrack)
                    ChangeVideoBrightnessFromBrightnessSlider();
            },
            Qt::QueuedConnection);
    connect(volumeControl, &CBitmapSlider::positionChanging, this, &CVideoPlayerPane::OnSliderPosChanging,
            Qt::QueuedConnection);
    connect(volumeControl, &CBitmapSlider::positionChanged, this, &CVideoPlayerPane::OnSliderPosChanged,
            Qt::QueuedConnection);
}

void CVideoPlayerPane::OnInitDialog()
{
    Q_ASSERT(UiThread::IsUiThread());
    Log(QStringLiteral("create"), "OnInitDialog");
    for (int id : {UnusedLabel1, UnusedLabel2, UnusedLabel3})
        Label(id)->hide();

    // The parts attach to the hub as they are made: after this pane, in
    // this order.
    if (!parts.channel1 || !parts.channel2 || !parts.gyroscope)
        throw std::logic_error("the player pane needs both channels and the G-sensor pane");
    channel1 = parts.channel1(*this);
    channel2 = parts.channel2(*this);
    gyroscope = parts.gyroscope(*this);
    if (!channel1 || !channel2 || !gyroscope)
        throw std::logic_error("a player pane part was not made");
    for (QWidget* part : {channel1->Widget(), channel2->Widget(), gyroscope->Widget()}) {
        if (part->parentWidget() != this)
            part->setParent(this);
    }
    gyroscope->Widget()->show();

    background = images.Bitmap(kBackgroundBitmap);
    speedometerImages = SpeedometerImages::Load(images);
    speedShown = false;
    for (int id : {PreviousButton, ForwardButton, RewindButton, PlayButton, NextButton})
        Button(id)->SetBackgroundBitmap(kBackgroundBitmap);
    InitImage();
    initSliderUi();
    initButtonUi();
    OnBnClickedFirstChannelVideoBtn();
    InitToolTips();
    initialized = true;
    LayOut();
    platform::FitTexts(*this);
}

void CVideoPlayerPane::initButtonUi()
{
    Log(QStringLiteral("Button Ui Init"), "initButtonUi");
    EnableVideoButtonUi(false);
    InitChannelBtnUI();
    initSpeedAndBrightnessAndVolumeButtonUi();
    Button(FullViewButton)->SetBackgroundBitmap(kBackgroundBitmap);
    SetLook(FullViewButton, TransportLooks::kFullView);
}

void CVideoPlayerPane::InitToolTips()
{
    for (const auto& [id, text] : kToolTips)
        controls.Widget(id)->setToolTip(Common::GetResourceString(text));
}

std::optional<CVideoPlayerPane::EntryFacts> CVideoPlayerPane::CurrentEntryFacts(ApplicationHub& hub, float position)
{
    std::lock_guard lock(hub.fileLock);
    const std::shared_ptr<RecordingEntry> entry = hub.GetCurrentVideoFile();
    if (!entry)
        return std::nullopt;
    EntryFacts facts{entry->path, entry->duration, entry->durationSpan, entry->totalFrames, entry->videoStreamCount,
                     std::nullopt};
    if (const std::optional<GpsFix> fix = entry->GetGpsFixAt(float(entry->duration) * ClampPosition(position)))
        facts.gpsSpeed = fix->speed;
    return facts;
}

void CVideoPlayerPane::update(int code, const MessageParam* payload)
{
    if (!initialized)
        return;
    const auto onUi = [](const std::function<void()>& task) { UiThread::Invoke(task); };
    const auto logMessage = [this](const char* text) { Log(QString::fromLatin1(text), "update", 5); };
    switch (code) {
    case VIDEO_FILES_OPENED:
        logMessage("VIDEO_FILES_OPENED Msg");
        onUi([this] { OnFilesOpened(); });
        break;
    case VIDEO_PAUSE:
        logMessage("VIDEO_PAUSE Msg");
        if (fileLoaded)
            onUi([this] { OnPaused(); });
        paused = true;
        break;
    case VIDEO_STOP: {
        logMessage("VIDEO_STOP Msg");
        const bool hasEntries = !hub.GetVideoFiles().empty();
        onUi([this, hasEntries] { ResetPlayerUi(hasEntries); });
        break;
    }
    case VIDEO_END_REACHED:
        if (const std::optional<EntryFacts> entry = CurrentEntryFacts(hub, 1.0f)) {
            logMessage("VIDEO_END_REACHED Msg");
            onUi([this, &entry] { OnEndReached(*entry); });
        }
        break;
    case VIDEO_PLAY_STARTED: {
        int volume = 0;
        onUi([this, &volume] { volume = OnPlayStarted(); });
        paused = false;
        auto message = std::make_unique<MessageParam>();
        message->volume = volume;
        hub.Post(CHANGE_VIDEO_VOLUME, std::move(message));
        break;
    }
    case VIDEO_PREVIOUS:
    case VIDEO_NEXT:
    case NEW_VIDEO_PLAY: {
        const std::optional<EntryFacts> entry = CurrentEntryFacts(hub);
        if (!entry)
            break;
        if (!FileExists(entry->path)) {
            const bool hasEntries = !hub.GetVideoFiles().empty();
            onUi([this, hasEntries] {
                positionSlider->EndDrag();
                gyroscope->ClearGraph();
                ResetPlayerUi(hasEntries);
            });
            hub.Post(VIDEO_FILE_NOT_FOUND);
            break;
        }
        logMessage("VIDEO_PREVIOUS NEW_VIDEO_PLAY VIDEO_NEXT Msg");
        onUi([this] { OnRecordingStart(); });
        lastSliderValue = -1;
        break;
    }
    case VIDEO_METADATA_CREATED:
        if (const std::optional<EntryFacts> entry = CurrentEntryFacts(hub)) {
            logMessage("VIDEO_METADATA_CREATED Msg");
            onUi([this, &entry] { OnMetadataCreated(*entry); });
            fileLoaded = true;
        }
        break;
    case VIDEO_FRAME_POSITION_CHANGED:
    case CHANGE_VIDEO_FRAME_POSITION: {
        const float position = payload->position;
        const std::optional<EntryFacts> entry = CurrentEntryFacts(hub, position);
        if (!entry)
            break;
        logMessage("VIDEO_FRAME_POSITION_CHANGED Msg");
        const int value = SliderValueFromPosition(position);
        if (value == lastSliderValue)
            break;
        onUi([this, value, position, &entry] { OnPosition(value, position, *entry); });
        lastSliderValue = value;
        break;
    }
    case VIDEO_FRAME_POSITION_SLIDER_INTERVAL_VALUE_CHANGED:
        logMessage("VIDEO_FRAME_POSITION_SLIDER_INTERVAL_VALUE_CHANGED Msg");
        currentSeekStep = payload->seekStep;
        break;
    case VIDEO_FILE_NOT_FOUND:
        onUi([this] { OnFileNotFound(); });
        break;
    default:
        break;
    }
}

void CVideoPlayerPane::OnFilesOpened()
{
    EnableVideoButtonUi(true);
    SetLook(PlayButton, TransportLooks::kPlaying);
}

void CVideoPlayerPane::OnPaused()
{
    SetLook(PlayButton, TransportLooks::kPaused);
}

void CVideoPlayerPane::OnEndReached(const EntryFacts& entry)
{
    speedShown = false;
    InitImage();
    initLabelUi();
    positionSlider->SetPos(kSliderRange);
    SetVideoCurrentTimeLabel(1.0f, entry);
}

int CVideoPlayerPane::OnPlayStarted()
{
    const int volume = volumeControl->GetPos();
    EnablePlayerSliderUi(true);
    SetLook(PlayButton, TransportLooks::kPlaying);
    SetLook(RewindButton, TransportLooks::For(RewindButton).enabled);
    SetLook(ForwardButton, TransportLooks::For(ForwardButton).enabled);
    Button(RewindButton)->setEnabled(true);
    Button(ForwardButton)->setEnabled(true);
    return volume;
}

void CVideoPlayerPane::OnRecordingStart()
{
    positionSlider->EndDrag();
    initLabelUi();
    EnablePlayerSliderUi(true);
    speedShown = false;
    InitImage();
}

void CVideoPlayerPane::OnMetadataCreated(const EntryFacts& entry)
{
    SetVideoTotalTimeLabel(entry);
    SetLook(PlayButton, TransportLooks::kPlaying);
    if (entry.videoStreamCount >= 2) {
        ShowOrHideChannelBtn(false);
        return;
    }
    ShowOrHideChannelBtn(true);
    OnBnClickedFirstChannelVideoBtn();
}

void CVideoPlayerPane::OnPosition(int sliderValue, float position, const EntryFacts& entry)
{
    positionSlider->SetPos(sliderValue);
    SetVideoCurrentTimeLabel(position, entry);
    SetSpeedImage(entry);
}

void CVideoPlayerPane::OnFileNotFound()
{
    EnableVideoButtonUi(false);
    EnablePlayerSliderUi(false);
    InitChannelBtnUI();
    SetVideoButtonUiImage(false);
    initLabelUi();
}

void CVideoPlayerPane::ResetPlayerUi(bool playlistHasEntries)
{
    initLabelUi();
    positionSlider->SetPos(0);
    initLabelUi();
    EnablePlayerSliderUi(false);
    OnBnClickedFirstChannelVideoBtn();
    ShowOrHideChannelBtn(true);
    SetLook(PlayButton, playlistHasEntries ? TransportLooks::kPaused : TransportLooks::For(PlayButton).disabled);
    SetLook(RewindButton, TransportLooks::For(RewindButton).disabled);
    SetLook(ForwardButton, TransportLooks::For(ForwardButton).disabled);
    speedShown = false;
    InitImage();
    Button(ForwardButton)->setEnabled(false);
    Button(RewindButton)->setEnabled(false);
    fileLoaded = false;
}

bool CVideoPlayerPane::IsCh1VerticalFlip() const
{
    return IsTrue(host.GetOptionRecord().GetCh1VerticalFlipText());
}

bool CVideoPlayerPane::IsCh1HorizontalFlip() const
{
    return IsTrue(host.GetOptionRecord().GetCh1HorizontalFlipText());
}

bool CVideoPlayerPane::IsCh2VerticalFlip() const
{
    return IsTrue(host.GetOptionRecord().GetCh2VerticalFlipText());
}

bool CVideoPlayerPane::IsCh2HorizontalFlip() const
{
    return IsTrue(host.GetOptionRecord().GetCh2HorizontalFlipText());
}

void CVideoPlayerPane::TakeSnapshot(const QString& path, const QString& folder)
{
    Q_ASSERT(UiThread::IsUiThread());
    channel1->CaptureSnapshot(path, folder);
    channel2->CaptureSnapshot(path, folder);
}

void CVideoPlayerPane::StopPlayback()
{
    Q_ASSERT(UiThread::IsUiThread());
    // Before the parts exist there is nothing to stop.
    if (!channel1 || !channel2)
        return;
    channel1->StopPlayer();
    channel2->StopPlayer();
}

// Keys reach the application's key filter before any widget; whatever it
// let through stops here, Tab included, so no key works a control by itself.
bool CVideoPlayerPane::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress)
        return true;
    return QWidget::eventFilter(watched, event);
}

QLabel* CVideoPlayerPane::Label(int id) const
{
    return controls.Get<QLabel>(id);
}

CButtonStyle* CVideoPlayerPane::Button(int id) const
{
    return controls.Get<CButtonStyle>(id);
}

void CVideoPlayerPane::Log(const QString& message, const char* method, int level) const
{
    Logger::GetInstance().Log(message, kClass, QString::fromLatin1(method), 3, level);
}
