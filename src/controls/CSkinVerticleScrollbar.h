#pragma once
// The image scroll bar that stands beside the skinned list in place of the
// list's own: caps, arrows and a thumb from the skin. It scrolls the list by
// lines and pages; a held arrow repeats after a delay; the thumb drags.

#include "controls/ImageSource.h"
#include "controls/ScrollBarRules.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

class CSkinListCtrl;

class CSkinVerticleScrollbar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kControlId = 0xFFFF;
    static constexpr int kTopImage = 180;
    static constexpr int kUpImage = 177;
    static constexpr int kDownImage = 175;
    static constexpr int kBottomImage = 178;
    static constexpr int kThumbImage = 176;
    static constexpr int kRepeatDelayMs = 250;
    static constexpr int kRepeatIntervalMs = 50;

    // A sibling of the list: `parent` is the list's parent.
    CSkinVerticleScrollbar(CSkinListCtrl& list, QWidget* parent, const ImageSource& images = ImageSource::Resources());

    int GetControlId() const { return kControlId; }

    // The thumb from the list's scroll position and limit, then Draw.
    void UpdateThumb();
    // Asks for the bar to be painted.
    void Draw();

    bool UpPressed() const { return flags.upPressed; }
    bool DownPressed() const { return flags.downPressed; }
    bool ThumbDragging() const { return flags.thumbDragging; }
    int ThumbTop() const { return thumbTop; }
    double ThumbInterval() const { return thumbInterval; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    // The delay before a held arrow repeats has passed.
    void OnDelayTimer();
    // One repeat of a held arrow.
    void OnRepeatTimer();
    bool DelayTimerActive() const { return delayTimer.isActive(); }
    bool RepeatTimerActive() const { return repeatTimer.isActive(); }

private:
    void Perform(scrollbar::Action action);
    void EndPress();

    CSkinListCtrl& list;
    QImage top;
    QImage up;
    QImage down;
    QImage bottom;
    QImage thumb;
    QTimer delayTimer;
    QTimer repeatTimer;
    scrollbar::PressFlags flags;
    int thumbTop = 36;
    double thumbInterval = 0.0;
};
