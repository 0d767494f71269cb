#include "ui/MapSlotStandIn.h"

#include "hub/ApplicationHub.h"
#include "platform/gdi/GdiCompat.h"
#include "ui/UiAssert.h"

#include <QPainter>

namespace {

constexpr gdi::ColorRef kPanel = 0x333333;

}  // namespace

MapSlotStandIn::MapSlotStandIn(QWidget* parent, ApplicationHub& hub) : QWidget(parent), hub(hub)
{
    ui::AssertUiThread();
    setAttribute(Qt::WA_OpaquePaintEvent);
    hub.AttachListener(this);
}

MapSlotStandIn::~MapSlotStandIn()
{
    hub.DetachListener(this);
}

void MapSlotStandIn::SetShown(bool shown)
{
    ui::AssertUiThread();
    setVisible(shown);
}

QImage MapSlotStandIn::GrabMapImage()
{
    ui::AssertUiThread();
    return grab().toImage();
}

void MapSlotStandIn::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), gdi::ToQColor(kPanel));
}
