#include "playback/GyroscopePaneStub.h"

#include "platform/UiThread.h"

#include <QPainter>

GyroscopePaneStub::GyroscopePaneStub(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GyroscopePaneStub::ClearGraph()
{
    Q_ASSERT(UiThread::IsUiThread());
    ++clearGraphCalls;
}

void GyroscopePaneStub::SetSensorValueLabels(const MotionSample&)
{
    Q_ASSERT(UiThread::IsUiThread());
    ++sensorValueCalls;
}

void GyroscopePaneStub::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), Qt::black);
}
