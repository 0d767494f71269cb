#pragma once
// The seams between the player pane, its parts and its owner. The player pane
// composes two channel panes and the G-sensor pane through these interfaces,
// so the pane's tests can put stubs in their place and the main window can
// hand in the graph pane, which lives in a layer playback must not link.

#include <QString>

#include <functional>

class QWidget;
class OptionRecord;
class CEnhancedSliderCtrl;
class CVideoPlayerPane;
class VlcFunctionExecutor;
struct MotionSample;

// What a channel pane asks of the pane that holds it. Any thread: a channel
// reads its flips while it sets up a player on the hub's worker.
class ChannelPaneHost {
public:
    virtual ~ChannelPaneHost() = default;
    virtual bool IsCh1VerticalFlip() const = 0;
    virtual bool IsCh1HorizontalFlip() const = 0;
    virtual bool IsCh2VerticalFlip() const = 0;
    virtual bool IsCh2HorizontalFlip() const = 0;
};

// One camera's pane as the player pane sees it. UI thread only.
class IChannelView {
public:
    virtual ~IChannelView() = default;
    virtual QWidget* Widget() = 0;
    // Writes the channel's current picture as a PNG; the front pane tags the
    // path of a two-camera recording with "(Track1)", the rear with
    // "(Track2)". `folder` is where the user is offered to look (empty: ask
    // nothing).
    virtual void CaptureSnapshot(const QString& path, const QString& folder) = 0;
    // Stops the channel's player and waits until it has let go of the file.
    virtual void StopPlayer() = 0;
};

// The G-sensor pane as the player pane sees it. UI thread only.
class IGyroscopePane {
public:
    virtual ~IGyroscopePane() = default;
    virtual QWidget* Widget() = 0;
    virtual void ClearGraph() = 0;
    // Shows one sample's three values (the print command fills the labels
    // with the sample it reports).
    virtual void SetSensorValueLabels(const MotionSample& sample) = 0;
};

// What the player pane asks of the window that holds it.
class PlayerPaneHost {
public:
    virtual ~PlayerPaneHost() = default;
    // A consistent copy of the viewer's options; any thread.
    virtual OptionRecord GetOptionRecord() const = 0;
    // The pane's own full-view button asks the window to restore the normal
    // view. UI thread.
    virtual void OnBnClickedVideoMinimizeBtn() = 0;
};

// The player pane as the main window sees it: the window places it, and its
// keys, menu and commands call the pane's own control handlers. UI thread.
class IPlayerCommands {
public:
    virtual ~IPlayerCommands() = default;
    virtual QWidget* Widget() = 0;

    // The transport and the small buttons, as their clicks run them.
    virtual void OnBnClickedPlayBtn() = 0;
    virtual void OnBnClickedPreviousBtn() = 0;
    virtual void OnBnClickedNextBtn() = 0;
    virtual void OnBnClickedRewindBtn() = 0;
    virtual void OnBnClickedForwardBtn() = 0;
    virtual void OnBnClickedMuteBtn() = 0;
    virtual void OnBnClickedSpeedDefaultBtn() = 0;
    virtual void OnBnClickedBrightnessDefaultBtn() = 0;
    // The volume one step up (+1) or down (-1).
    virtual void StepVolume(int delta) = 0;
    // Post what the speed or brightness slider shows, after the window moved it.
    virtual void ChangeVideoPlaySpeedFromSpeedSlider() = 0;
    virtual void ChangeVideoBrightnessFromBrightnessSlider() = 0;
    virtual CEnhancedSliderCtrl& SpeedSlider() = 0;
    virtual CEnhancedSliderCtrl& BrightnessSlider() = 0;
    // Whether the position slider is enabled (seeking by keys and menu).
    virtual bool IsPlayerSliderEnabled() const = 0;

    // Both channels' pictures as PNG files, taken at once; `folder` is where
    // the user is offered to look (empty: ask nothing).
    virtual void TakeSnapshot(const QString& path, const QString& folder) = 0;
    // The G-sensor pane under the video (the report shows its values).
    virtual IGyroscopePane* GyroscopePane() = 0;
    // Returns when both channels are stopped and the file is closed.
    virtual void StopPlayback() = 0;
};

// The factories the player pane calls while it initialises, in this order:
// channel 1, channel 2, then the G-sensor pane. Each takes the player pane
// (the parent, the channels' host, the hub and the images come from it); the
// pane owns what they return through Qt's parent.
struct PlayerPaneParts {
    std::function<IChannelView*(CVideoPlayerPane&)> channel1;
    std::function<IChannelView*(CVideoPlayerPane&)> channel2;
    std::function<IGyroscopePane*(CVideoPlayerPane&)> gyroscope;

    // The real channel panes over the given binding, each initialised as it
    // is made, and GyroscopePaneStub: the real G-sensor pane lives in a layer
    // playback does not link, so its owner replaces `gyroscope`.
    static PlayerPaneParts Defaults(VlcFunctionExecutor& binding);
};
