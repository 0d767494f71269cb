#include "ui/PlayerPaneStandIn.h"

#include "ui/UiAssert.h"

#include <QPainter>

PlayerPaneStandIn::PlayerPaneStandIn(QWidget* parent) : QWidget(parent)
{
    ui::AssertUiThread();
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PlayerPaneStandIn::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), Qt::black);
}
