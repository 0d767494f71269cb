#pragma once
// A G-sensor pane with nothing in it: a black strip that counts what it is
// asked. It stands in where the real graph pane, which lives in a layer
// playback must not link, is not handed in. It listens to nothing.

#include "playback/PlayerPaneSeams.h"

#include <QWidget>

class GyroscopePaneStub : public QWidget, public IGyroscopePane {
    Q_OBJECT
public:
    explicit GyroscopePaneStub(QWidget* parent);

    QWidget* Widget() override { return this; }
    void ClearGraph() override;
    void SetSensorValueLabels(const MotionSample& sample) override;

    int ClearGraphCalls() const { return clearGraphCalls; }
    int SensorValueCalls() const { return sensorValueCalls; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int clearGraphCalls = 0;
    int sensorValueCalls = 0;
};
