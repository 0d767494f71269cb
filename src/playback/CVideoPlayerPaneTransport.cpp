// The player pane's transport buttons and sliders: what each posts to the
// hub. A handler never drives a player; the pane's slider moves when its own
// position message comes back.

#include "playback/CVideoPlayerPane.h"

#include "controls/CBitmapSlider.h"
#include "controls/CButtonStyle.h"
#include "controls/CMyBitmapButton.h"
#include "controls/CMySliderControl.h"
#include "hub/ApplicationHub.h"
#include "hub/HubCodes.h"
#include "hub/HubMessage.h"
#include "platform/UiThread.h"

#include <QLabel>
#include <QSlider>

#include <algorithm>

using namespace playerpane;

namespace {

std::unique_ptr<MessageParam> PositionPayload(float position)
{
    auto payload = std::make_unique<MessageParam>();
    payload->position = position;
    return payload;
}

}  // namespace

void CVideoPlayerPane::initSliderUi()
{
    Log(QStringLiteral("Slider Ui Init"), "initSliderUi");
    positionSlider->SetRange(0, kSliderRange);
    positionSlider->SetPageSize(100);
    EnablePlayerSliderUi(false);
    speedSlider->SetRange(1, 7);
    speedSlider->SetTicFreq(1);
    speedSlider->SetLineSize(1);
    speedSlider->SetPos(4);
    brightnessSlider->SetPos(50);
    // Kept from the template, where the volume control took its place.
    auto* volumeTrackbar = controls.Get<QSlider>(VolumeTrackbar);
    volumeTrackbar->setRange(0, 100);
    volumeTrackbar->setValue(50);
    volumeControl->LoadChannelBitmaps();
    volumeControl->SetRange(0, 100);
    volumeControl->SetPos(50);
    volumeControl->update();
    volumeControl->SetMargin(0, 0);
    volumeControl->SetPageSize(25);
    volumeTrackbar->hide();
}

void CVideoPlayerPane::initSpeedAndBrightnessAndVolumeButtonUi()
{
    Log(QStringLiteral("Speed Birghtness Volume Button Ui Init"), "initSpeedAndBrightnessAndVolumeButtonUi");
    const std::array<std::pair<CMyBitmapButton*, BitmapPair>, 3> buttons{{
        {speedDefaultButton, kSpeedDefaultBitmaps},
        {brightnessDefaultButton, kBrightnessDefaultBitmaps},
        {muteButton, kUnmutedBitmaps},
    }};
    for (const auto& [button, bitmaps] : buttons) {
        button->LoadBitmaps(bitmaps.normal, bitmaps.selected, 0, 0);
        button->SizeToContent();
    }
}

void CVideoPlayerPane::SetLook(int buttonId, const IconLook& look)
{
    CButtonStyle* button = Button(buttonId);
    button->SetIcons(look.normal, look.pressed, look.hover);
    button->update();
    looks[buttonId] = look;
}

IconLook CVideoPlayerPane::LookOf(int buttonId) const
{
    const auto found = looks.find(buttonId);
    return found == looks.end() ? IconLook{0, 0, 0} : found->second;
}

void CVideoPlayerPane::SetVideoButtonUiImage(bool enabled)
{
    Log(QStringLiteral("Video Button Ui Enable Setting"), "SetVideoButtonUiImage");
    for (const TransportButtonLooks& looks : TransportLooks::kButtons)
        SetLook(looks.id, enabled ? looks.enabled : looks.disabled);
}

void CVideoPlayerPane::EnableVideoButtonUi(bool enable)
{
    Log(QStringLiteral("Enable Video Button Ui"), "EnableVideoButtonUi");
    SetVideoButtonUiImage(enable);
    for (const TransportButtonLooks& looks : TransportLooks::kButtons)
        Button(looks.id)->setEnabled(enable);
}

void CVideoPlayerPane::EnablePlayerSliderUi(bool enable)
{
    Log(QStringLiteral("Player Slider Enable"), "EnablePlayerSliderUi", 5);
    playerSliderEnabled = enable;
    positionSlider->setEnabled(enable);
}

void CVideoPlayerPane::PostSequence(std::initializer_list<std::pair<int, int>> codesAndIndices)
{
    std::vector<HubMessage> sequence;
    for (const auto& [code, index] : codesAndIndices) {
        auto payload = std::make_unique<MessageParam>();
        payload->index = index;
        sequence.emplace_back(code, std::move(payload));
    }
    hub.PostBatch(std::move(sequence), KeepOnClear::No);
}

void CVideoPlayerPane::OnBnClickedPlayBtn()
{
    Q_ASSERT(UiThread::IsUiThread());
    Log(QStringLiteral("Click"), "OnBnClickedPlayBtn");
    if (hub.GetCurrentVideoFile())
        hub.Post(VIDEO_PLAY);
    // The button's own toggle, whatever the player reports later.
    SetLook(PlayButton, playLook ? TransportLooks::kPaused : TransportLooks::kPlaying);
    playLook = !playLook;
}

void CVideoPlayerPane::OnBnClickedPreviousBtn()
{
    Q_ASSERT(UiThread::IsUiThread());
    Log(QStringLiteral("Click"), "OnBnClickedPreviousBtn");
    int index = 0;
    if (hub.GetPreviousIndex(index)) {
        PostSequence({{SET_CURRENT_VIDEO_INDEX, index}, {SET_CURRENT_VIDEO_MEDIA, 0}, {VIDEO_PREVIOUS, 0}});
    } else {
        // No previous entry: the first one is loaded and playback stops.
        SetLook(PlayButton, TransportLooks::kPaused);
        SetLook(RewindButton, TransportLooks::For(RewindButton).disabled);
        SetLook(ForwardButton, TransportLooks::For(ForwardButton).disabled);
        Button(ForwardButton)->setEnabled(false);
        Button(RewindButton)->setEnabled(false);
        PostSequence({{SET_CURRENT_VIDEO_INDEX, 0}, {SET_CURRENT_VIDEO_MEDIA, 0}, {VIDEO_STOP, 0}});
    }
    Log(QStringLiteral("end"), "OnBnClickedPreviousBtn");
}

void CVideoPlayerPane::OnBnClickedNextBtn()
{
    Q_ASSERT(UiThread::IsUiThread());
    Log(QStringLiteral("Click"), "OnBnClickedNextBtn");
    // Without a next entry under the filter the first one is loaded and played.
    int index = 0;
    if (!hub.GetNextIndex(index))
        index = 0;
    PostSequence({{SET_CURRENT_VIDEO_INDEX, index}, {SET_CURRENT_VIDEO_MEDIA, 0}, {VIDEO_NEXT, 0}});
    Log(QStringLiteral("end"), "OnBnClickedNextBtn");
}

void CVideoPlayerPane::OnBnClickedRewindBtn()
{
    StepBy(false);
}

void CVideoPlayerPane::OnBnClickedForwardBtn()
{
    StepBy(true);
}

void CVideoPlayerPane::StepBy(bool forward)
{
    Q_ASSERT(UiThread::IsUiThread());
    const char* method = forward ? "OnBnClickedForwardBtn" : "OnBnClickedRewindBtn";
    Log(QStringLiteral("Click"), method);
    const std::optional<EntryFacts> entry = CurrentEntryFacts(hub);
    if (!entry)
        return;
    const std::optional<int> step = SeekStepUnits(paused, entry->duration, entry->totalFrames, currentSeekStep);
    if (!step)
        return;
    const std::optional<float> target = SeekTarget(positionSlider->GetPos(), *step, forward);
    if (!target)
        return;
    hub.Post(CHANGE_VIDEO_FRAME_POSITION, PositionPayload(*target));
    Log(QStringLiteral("end"), method);
}

// Only a moving thumb (a drag, or a click that makes it jump) seeks.
void CVideoPlayerPane::OnPositionSliderScroll(int code)
{
    if (code != CEnhancedSliderCtrl::SB_THUMBTRACK)
        return;
    const int position = positionSlider->GetPos();
    if (position >= kSliderRange) {
        OnBnClickedNextBtn();
        return;
    }
    // Positions still queued are older than the thumb; everything else
    // (an end of file's sequence, an opening's metadata) must still arrive.
    hub.ClearMessages({CHANGE_VIDEO_FRAME_POSITION, VIDEO_FRAME_POSITION_CHANGED});
    hub.Post(CHANGE_VIDEO_FRAME_POSITION, PositionPayload(float(position / double(kSliderRange))));
}

void CVideoPlayerPane::ChangeVideoPlaySpeedFromSpeedSlider()
{
    Q_ASSERT(UiThread::IsUiThread());
    Log(QStringLiteral("Speed Slider "), "ChangeVideoPlaySpeedFromSpeedSlider", 5);
    auto payload = std::make_unique<MessageParam>();
    payload->rate = RateForSpeedPosition(speedSlider->GetPos());
    const float rate = payload->rate;
    hub.Post(CHANGE_VIDEO_SPEED, std::move(payload));
    Label(SpeedLabel)->setText(SpeedLabelText(rate));
}

void CVideoPlayerPane::ChangeVideoBrightnessFromBrightnessSlider()
{
    Q_ASSERT(UiThread::IsUiThread());
    Log(QStringLiteral("Brightness Slider "), "ChangeVideoBrightnessFromBrightnessSlider", 5);
    auto payload = std::make_unique<MessageParam>();
    payload->brightness = BrightnessForPosition(brightnessSlider->GetPos());
    hub.Post(CHANGE_VIDEO_BRIGHTNESS, std::move(payload));
}

void CVideoPlayerPane::ChangeVideoVolumeFromVolumeSlider()
{
    Log(QStringLiteral("Volume Slider "), "ChangeVideoVolumeFromVolumeSlider", 5);
    PostVolume();
}

void CVideoPlayerPane::PostVolume()
{
    Q_ASSERT(UiThread::IsUiThread());
    auto payload = std::make_unique<MessageParam>();
    payload->volume = volumeControl->GetPos();
    hub.Post(CHANGE_VIDEO_VOLUME, std::move(payload));
}

void CVideoPlayerPane::OnBnClickedSpeedDefaultBtn()
{
    Q_ASSERT(UiThread::IsUiThread());
    Log(QStringLiteral("Click"), "OnBnClickedSpeedDefaultBtn");
    speedSlider->SetPos(4);
    ChangeVideoPlaySpeedFromSpeedSlider();
    Log(QStringLiteral("end"), "OnBnClickedSpeedDefaultBtn");
}

void CVideoPlayerPane::OnBnClickedBrightnessDefaultBtn()
{
    Q_ASSERT(UiThread::IsUiThread());
    Log(QStringLiteral("Click"), "OnBnClickedBrightnessDefaultBtn");
    brightnessSlider->SetPos(50);
    ChangeVideoBrightnessFromBrightnessSlider();
    Log(QStringLiteral("end"), "OnBnClickedBrightnessDefaultBtn");
}

void CVideoPlayerPane::SetMuteBitmaps(const BitmapPair& bitmaps)
{
    muteButton->LoadBitmaps(bitmaps.normal, bitmaps.selected, 0, 0);
    muteButton->SizeToContent();
}

void CVideoPlayerPane::OnBnClickedMuteBtn()
{
    Q_ASSERT(UiThread::IsUiThread());
    Log(QStringLiteral("Click"), "OnBnClickedMuteBtn");
    if (!muted) {
        savedVolume = volumeControl->GetPos();
        volumeControl->SetPos(0);
        SetMuteBitmaps(kMutedBitmaps);
    } else {
        volumeControl->SetPos(savedVolume);
        SetMuteBitmaps(kUnmutedBitmaps);
    }
    muted = !muted;
    volumeControl->update();
    muteButton->update();
    ChangeVideoVolumeFromVolumeSlider();
    Log(QStringLiteral("end"), "OnBnClickedMuteBtn");
}

// Any volume change but the mute button's own un-mutes, leaving the saved
// volume alone.
void CVideoPlayerPane::Unmute()
{
    SetMuteBitmaps(kUnmutedBitmaps);
    muteButton->update();
    muted = false;
}

void CVideoPlayerPane::OnSliderPosChanging(int controlId, int position)
{
    OnSliderPosChanged(controlId, position);
}

// The control has moved itself already; its position is read, not the one
// it reported.
void CVideoPlayerPane::OnSliderPosChanged(int controlId, int)
{
    Q_ASSERT(UiThread::IsUiThread());
    if (controlId != VolumeControl)
        return;
    SetVolumeUnmuted(volumeControl->GetPos());
}

void CVideoPlayerPane::StepVolume(int delta)
{
    Q_ASSERT(UiThread::IsUiThread());
    SetVolumeUnmuted(std::clamp(volumeControl->GetPos() + delta, 0, 100));
}

// The control keeps the position inside its range.
void CVideoPlayerPane::SetVolumeUnmuted(int position)
{
    volumeControl->SetPos(position);
    volumeControl->update();
    Unmute();
    PostVolume();
}
