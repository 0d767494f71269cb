#include "ui/CutSlider.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>

CutSlider::CutSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent)
{
    setTickPosition(QSlider::NoTicks);
}

void CutSlider::SetSeconds(int maximum)
{
    setRange(0, std::max(maximum, 0));
    setPageStep(std::max(1, maximum / 5));
}

void CutSlider::mouseReleaseEvent(QMouseEvent* event)
{
    QSlider::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit releasedCapture();
    }
}

void CutSlider::wheelEvent(QWheelEvent* event)
{
    event->ignore();
}
