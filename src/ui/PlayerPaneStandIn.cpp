#include "ui/PlayerPaneStandIn.h"

#include "ui/UiAssert.h"

#include <QPainter>

PlayerPaneStandIn::PlayerPaneStandIn(QWidget* parent) : QWidget(parent)
{
    ui::AssertUiThread();
    setAttribute(Qt::WA_OpaquePaintEvent);
    speedSlider.SetRange(1, 7);
    speedSlider.SetPos(4);
    brightnessSlider.SetPos(50);
}

void PlayerPaneStandIn::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), Qt::black);
}
