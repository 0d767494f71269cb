#pragma once
// Stand-in for the player pane until the real one is wired in: a black area
// where the video goes. It listens to nothing and plays nothing; the
// commands it is given do nothing.

#include "controls/CEnhancedSliderCtrl.h"
#include "playback/PlayerPaneSeams.h"

#include <QWidget>

class PlayerPaneStandIn : public QWidget, public IPlayerCommands {
    Q_OBJECT
public:
    explicit PlayerPaneStandIn(QWidget* parent);

    QWidget* Widget() override { return this; }
    void OnBnClickedPlayBtn() override {}
    void OnBnClickedPreviousBtn() override {}
    void OnBnClickedNextBtn() override {}
    void OnBnClickedRewindBtn() override {}
    void OnBnClickedForwardBtn() override {}
    void OnBnClickedMuteBtn() override {}
    void OnBnClickedSpeedDefaultBtn() override {}
    void OnBnClickedBrightnessDefaultBtn() override {}
    void StepVolume(int) override {}
    void ChangeVideoPlaySpeedFromSpeedSlider() override {}
    void ChangeVideoBrightnessFromBrightnessSlider() override {}
    CEnhancedSliderCtrl& SpeedSlider() override { return speedSlider; }
    CEnhancedSliderCtrl& BrightnessSlider() override { return brightnessSlider; }
    bool IsPlayerSliderEnabled() const override { return false; }
    void TakeSnapshot(const QString&, const QString&) override {}
    IGyroscopePane* GyroscopePane() override { return nullptr; }
    void StopPlayback() override {}

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Hidden; only what the commands read and set.
    CEnhancedSliderCtrl speedSlider;
    CEnhancedSliderCtrl brightnessSlider;
};
