#pragma once
// The cut dialog's time slider: horizontal, no ticks. Only a release of the
// left button acts (a drag of the thumb or a click on the groove), after the
// slider has taken its new position; keys move the thumb without telling
// anyone, and the wheel is ignored, since it would move the thumb without a
// release.

#include <QSlider>

class CutSlider : public QSlider {
    Q_OBJECT
public:
    explicit CutSlider(QWidget* parent = nullptr);

    // 0..maximum, a page step of a fifth of it (at least 1).
    void SetSeconds(int maximum);

signals:
    void releasedCapture();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};
