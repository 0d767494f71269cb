#pragma once
// The player area of the main window: the two channel panes and the G-sensor
// pane, and below them the position slider, the time and speed labels, the
// transport buttons, the speed, brightness and volume controls, the
// speedometer and the view buttons. It keeps the controls in step with the
// hub's messages and turns the user's input into messages.
//
// Threads: update runs on the hub worker. It decides there, copies what it
// needs of the current entry under fileLock, and hands all widget work to
// the UI thread in one UiThread::Invoke (none when nothing changes); posts
// it makes go out after that hand-off. Everything else, the handlers the main
// window calls included, runs on the UI thread.

#include "controls/CMySliderControl.h"
#include "hub/IListener.h"
#include "platform/widgets/DialogBuilder.h"
#include "platform/widgets/WindowMove.h"
#include "playback/PlayerPaneLogic.h"
#include "playback/PlayerPaneSeams.h"

#include <QImage>
#include <QWidget>

#include <array>
#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>

class ApplicationHub;
class CBitmapSlider;
class CButtonStyle;
class CMyBitmapButton;
class CPicture;
class ImageSource;
class QLabel;

class CVideoPlayerPane : public QWidget, public IListener, public ChannelPaneHost, public IPlayerCommands {
    Q_OBJECT
public:
    static constexpr int kTemplate = 234;
    static constexpr int kBackgroundBitmap = 107;

    // What a message needs of the current entry, copied under fileLock so the
    // hand-off reads no shared entry.
    struct EntryFacts {
        QString path;
        int duration = 0;
        std::int64_t durationSpan = 0;
        int totalFrames = 0;
        int videoStreamCount = 0;
        // The GPS speed at the position asked for; none without fixes.
        std::optional<double> gpsSpeed;
    };

    // Builds template 234's controls on the pane and attaches it to the hub;
    // OnInitDialog makes the parts and initialises the controls.
    CVideoPlayerPane(QWidget* parent, PlayerPaneHost& host, ApplicationHub& hub, const ImageSource& images,
                     PlayerPaneParts parts);
    // Detaches first, then deletes channel 1, channel 2 and the G-sensor pane;
    // the controls go with the widget.
    ~CVideoPlayerPane() override;

    // Once, right after construction (UI thread).
    void OnInitDialog();

    // Hub worker.
    using QWidget::update;
    void update(int code, const MessageParam* payload) override;

    // Any thread: the flip options as the main window holds them now.
    bool IsCh1VerticalFlip() const override;
    bool IsCh1HorizontalFlip() const override;
    bool IsCh2VerticalFlip() const override;
    bool IsCh2HorizontalFlip() const override;

    QWidget* Widget() override { return this; }

    // What the parts are made with.
    ApplicationHub& Hub() const { return hub; }
    const ImageSource& Images() const { return images; }

    // What a press on the pane's surface asks for (platform::StartWindowMove
    // unless set). UI thread, for tests.
    void SetWindowMoveRequest(platform::WindowMoveRequest request) { moveWindow = std::move(request); }

    // The main window's (UI thread).
    CMySliderControl& SpeedSlider() override { return *speedSlider; }
    CMySliderControl& BrightnessSlider() override { return *brightnessSlider; }
    bool IsPlayerSliderEnabled() const override { return playerSliderEnabled; }
    IGyroscopePane* GyroscopePane() override { return gyroscope; }
    // Channel 1's snapshot, then channel 2's.
    void TakeSnapshot(const QString& path, const QString& folder) override;
    // Both channels stopped, the file let go of, on return.
    void StopPlayback() override;

    // Transport buttons and sliders (UI thread).
    void OnBnClickedPlayBtn() override;
    void OnBnClickedPreviousBtn() override;
    void OnBnClickedNextBtn() override;
    void OnBnClickedRewindBtn() override;
    void OnBnClickedForwardBtn() override;
    void OnBnClickedSpeedDefaultBtn() override;
    void OnBnClickedBrightnessDefaultBtn() override;
    void OnBnClickedMuteBtn() override;
    void ChangeVideoPlaySpeedFromSpeedSlider() override;
    void ChangeVideoBrightnessFromBrightnessSlider() override;
    void ChangeVideoVolumeFromVolumeSlider();
    void PostVolume();
    void StepVolume(int delta) override;
    // The volume control's two notifications; another control id is ignored.
    void OnSliderPosChanging(int controlId, int position);
    void OnSliderPosChanged(int controlId, int position);

    // View buttons and the full-view button (UI thread).
    void OnBnClickedFirstChannelVideoBtn();
    void OnBnClickedSecondChannelVideoBtn();
    void OnBnClickedAllChannelVideoBtn();
    void OnBnClickedVideoMinimizeImageBtn();

    static QString FormatMinutesSeconds(std::int64_t seconds) { return playerpane::FormatMinutesSeconds(seconds); }

    // The current entry's facts at a position; none without a current entry.
    // Takes fileLock; any thread.
    static std::optional<EntryFacts> CurrentEntryFacts(ApplicationHub& hub, float position = 0.0f);

    // State, for the owner and tests (UI thread).
    const ControlMap& Controls() const { return controls; }
    int ViewMode() const { return viewMode; }
    bool IsSpeedShown() const { return speedShown; }
    bool IsMuted() const { return muted; }
    int CurrentSeekStep() const { return currentSeekStep; }
    bool IsPaused() const { return paused; }
    IChannelView* Channel1() const { return channel1; }
    IChannelView* Channel2() const { return channel2; }
    // The look last given to a transport or full-view button.
    playerpane::IconLook LookOf(int buttonId) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ConnectControls();

    // Initialisation steps.
    void initSliderUi();
    void initButtonUi();
    void initSpeedAndBrightnessAndVolumeButtonUi();
    void InitToolTips();

    // The hub's messages, each applied on the UI thread.
    void OnFilesOpened();
    void OnPaused();
    void OnEndReached(const EntryFacts& entry);
    int OnPlayStarted();  // the volume to post
    void OnRecordingStart();
    void OnMetadataCreated(const EntryFacts& entry);
    void OnPosition(int sliderValue, float position, const EntryFacts& entry);
    void OnFileNotFound();
    void ResetPlayerUi(bool playlistHasEntries);

    // Transport looks and enabling.
    void SetVideoButtonUiImage(bool enabled);
    void EnableVideoButtonUi(bool enable);
    void EnablePlayerSliderUi(bool enable);
    void SetLook(int buttonId, const playerpane::IconLook& look);
    void StepBy(bool forward);
    void OnPositionSliderScroll(int code);
    void Unmute();
    // A volume change other than the mute button's: set, un-muted, posted.
    void SetVolumeUnmuted(int position);
    void SetMuteBitmaps(const playerpane::BitmapPair& bitmaps);
    // Posts a sequence that a clear never splits.
    void PostSequence(std::initializer_list<std::pair<int, int>> codesAndIndices);

    // Labels, view modes and the speedometer.
    void initLabelUi();
    void SetVideoCurrentTimeLabel(float position, const EntryFacts& entry);
    void SetVideoTotalTimeLabel(const EntryFacts& entry);
    void InitChannelBtnUI();
    void ShowOrHideChannelBtn(bool hide);
    void SetChannelBtnBitmaps(int mode);
    void ChangeViewMode(int mode);
    void SetSpeedImage(const EntryFacts& entry);
    void InitImage();
    void UpdateSpeedImage(const QString& text);
    void ShowSpeedometer(const QString& text);

    // Layout and painting.
    void LayOut();
    void LayoutVideoPanes();
    void InvalidateControls();

    QLabel* Label(int id) const;
    CButtonStyle* Button(int id) const;
    void Log(const QString& message, const char* method, int level = 3) const;

    PlayerPaneHost& host;
    ApplicationHub& hub;
    const ImageSource& images;
    PlayerPaneParts parts;
    platform::WindowMoveRequest moveWindow = platform::StartWindowMove;
    ControlMap controls;

    CMySliderControl* positionSlider = nullptr;
    CMySliderControl* speedSlider = nullptr;
    CMySliderControl* brightnessSlider = nullptr;
    CBitmapSlider* volumeControl = nullptr;
    CPicture* speedometer = nullptr;
    CMyBitmapButton* speedDefaultButton = nullptr;
    CMyBitmapButton* brightnessDefaultButton = nullptr;
    CMyBitmapButton* muteButton = nullptr;
    std::array<CMyBitmapButton*, 3> viewButtons{};

    IChannelView* channel1 = nullptr;
    IChannelView* channel2 = nullptr;
    IGyroscopePane* gyroscope = nullptr;

    QImage background;
    playerpane::SpeedometerImages speedometerImages;

    // Shared with the hub worker.
    std::atomic<bool> initialized{false};
    std::atomic<bool> paused{false};
    std::atomic<bool> fileLoaded{false};
    std::atomic<int> currentSeekStep{5};
    std::atomic<int> lastSliderValue{-1};

    // UI thread only.
    int viewMode = 0;
    bool bothChannelsShown = false;
    bool speedShown = false;
    QString speedText;
    // What the speedometer picture was last composed from.
    std::optional<QString> composedText;
    std::map<int, playerpane::IconLook> looks;
    bool playLook = true;
    bool muted = false;
    int savedVolume = 0;
    bool playerSliderEnabled = false;
};
