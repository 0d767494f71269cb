// The player pane's displays and view controls: the time labels, the view
// buttons and modes, the full-view button and the speedometer.

#include "playback/CVideoPlayerPane.h"

#include "controls/CButtonStyle.h"
#include "controls/CMyBitmapButton.h"
#include "controls/CPicture.h"
#include "platform/UiThread.h"

#include <QLabel>

using namespace playerpane;

namespace {

const QString kNoTime = QStringLiteral("00:00");

}  // namespace

void CVideoPlayerPane::initLabelUi()
{
    Log(QStringLiteral("Label Ui Init"), "initLabelUi");
    Label(ElapsedLabel)->setText(kNoTime);
    Label(TotalLabel)->setText(kNoTime);
}

void CVideoPlayerPane::SetVideoCurrentTimeLabel(float position, const EntryFacts& entry)
{
    Log(QStringLiteral("Video Current Time Label"), "SetVideoCurrentTimeLabel", 5);
    Label(ElapsedLabel)->setText(FormatMinutesSeconds(ElapsedSeconds(entry.duration, position)));
}

void CVideoPlayerPane::SetVideoTotalTimeLabel(const EntryFacts& entry)
{
    Log(QStringLiteral("Video Total Time Label"), "SetVideoTotalTimeLabel", 5);
    Label(TotalLabel)->setText(FormatMinutesSeconds(entry.durationSpan));
}

void CVideoPlayerPane::InitChannelBtnUI()
{
    Log(QStringLiteral("Channel Button UI Init"), "InitChannelBtnUI", 5);
    for (CMyBitmapButton* button : viewButtons)
        button->hide();
}

void CVideoPlayerPane::ShowOrHideChannelBtn(bool hide)
{
    Log(QStringLiteral("Channel Button Ui Show"), "ShowOrHideChannelBtn", 5);
    for (CMyBitmapButton* button : viewButtons)
        button->setVisible(!hide);
}

void CVideoPlayerPane::SetChannelBtnBitmaps(int mode)
{
    Log(QStringLiteral("Channel Button UI"), "SetChannelBtnBitmaps", 5);
    const std::optional<std::array<ViewButtonBitmaps, 3>> bitmaps = ViewModeBitmaps(mode);
    if (!bitmaps)
        return;
    for (std::size_t i = 0; i < viewButtons.size(); ++i) {
        const ViewButtonBitmaps& b = (*bitmaps)[i];
        viewButtons[i]->LoadBitmaps(b[0], b[1], b[2], b[3]);
        viewButtons[i]->update();
    }
}

void CVideoPlayerPane::OnBnClickedFirstChannelVideoBtn()
{
    Log(QStringLiteral("Click"), "OnBnClickedFirstChannelVideoBtn");
    ChangeViewMode(1);
    Log(QStringLiteral("end"), "OnBnClickedFirstChannelVideoBtn");
}

void CVideoPlayerPane::OnBnClickedSecondChannelVideoBtn()
{
    Log(QStringLiteral("Click"), "OnBnClickedSecondChannelVideoBtn");
    ChangeViewMode(2);
    Log(QStringLiteral("end"), "OnBnClickedSecondChannelVideoBtn");
}

void CVideoPlayerPane::OnBnClickedAllChannelVideoBtn()
{
    Log(QStringLiteral("Click"), "OnBnClickedAllChannelVideoBtn");
    ChangeViewMode(3);
    Log(QStringLiteral("end"), "OnBnClickedAllChannelVideoBtn");
}

// The button of the current mode changes nothing.
void CVideoPlayerPane::ChangeViewMode(int mode)
{
    Q_ASSERT(UiThread::IsUiThread());
    const std::optional<ChannelVisibility> view = ViewModeFor(mode);
    if (!view || viewMode == mode)
        return;
    SetChannelBtnBitmaps(mode);
    channel1->Widget()->setVisible(view->channel1Shown);
    channel2->Widget()->setVisible(view->channel2Shown);
    bothChannelsShown = view->bothChannelsShown;
    LayoutVideoPanes();
    viewMode = mode;
}

void CVideoPlayerPane::OnBnClickedVideoMinimizeImageBtn()
{
    Q_ASSERT(UiThread::IsUiThread());
    Log(QStringLiteral("Click"), "OnBnClickedVideoMinimizeImageBtn", 5);
    Button(FullViewButton)->hide();
    host.OnBnClickedVideoMinimizeBtn();
}

void CVideoPlayerPane::SetSpeedImage(const EntryFacts& entry)
{
    Log(QStringLiteral("Speed Image"), "SetSpeedImage", 5);
    // Without fixes the speedometer keeps what it shows.
    if (!entry.gpsSpeed) {
        speedShown = false;
        return;
    }
    speedText = SpeedText(*entry.gpsSpeed);
    UpdateSpeedImage(speedText);
}

void CVideoPlayerPane::UpdateSpeedImage(const QString& text)
{
    Log(QStringLiteral("Speed Ui Update"), "UpdateSpeedImage", 5);
    speedShown = true;
    ShowSpeedometer(text);
}

void CVideoPlayerPane::InitImage()
{
    Log(QStringLiteral("Speed Ui Init"), "InitImage", 5);
    ShowSpeedometer(QString());
}

// The picture is composed again only when what it shows changes; between
// changes the control repaints the one it holds.
void CVideoPlayerPane::ShowSpeedometer(const QString& text)
{
    Q_ASSERT(UiThread::IsUiThread());
    if (composedText == text)
        return;
    speedometer->SetBitmap(ComposeSpeedometer(speedometerImages, text));
    composedText = text;
}
