// The player pane's geometry and painting: where the controls and the parts
// stand in the normal and the maximized view, the background, and a press
// on the background moving the main window.

#include "playback/CVideoPlayerPane.h"

#include "hub/ApplicationHub.h"
#include "platform/UiThread.h"
#include "platform/gdi/GdiCompat.h"

#include <QMouseEvent>
#include <QPainter>

using namespace playerpane;

void CVideoPlayerPane::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (initialized)
        LayOut();
}

void CVideoPlayerPane::LayOut()
{
    Q_ASSERT(UiThread::IsUiThread());
    const PaneLayout layout = PlayerPaneLayout(width(), height(), hub.GetMaximized());
    gyroscope->Widget()->setVisible(layout.gyroscopeShown);
    controls.Widget(FullViewButton)->setVisible(layout.fullViewShown);
    for (const PlacedControl& placed : layout.controls)
        controls.Widget(placed.id)->setGeometry(placed.rect);
    LayoutVideoPanes();
    gyroscope->Widget()->setGeometry(layout.gyroscope);
    InvalidateControls();
}

void CVideoPlayerPane::LayoutVideoPanes()
{
    const VideoRects rects = VideoPaneRects(width(), height(), hub.GetMaximized(), bothChannelsShown);
    channel1->Widget()->setGeometry(rects.channel1);
    channel2->Widget()->setGeometry(rects.channel2);
    channel1->Widget()->update();
    channel2->Widget()->update();
}

// The channel panes and the G-sensor pane repaint themselves when moved.
void CVideoPlayerPane::InvalidateControls()
{
    QWidget::update();
    for (int id : controls.Ids()) {
        if (id != FullViewButton)
            controls.Widget(id)->update();
    }
}

// Black behind the video and the band below it, the background bitmap
// across the control row.
void CVideoPlayerPane::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!initialized) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    painter.fillRect(QRect(0, 0, width(), channel1->Widget()->height()), Qt::black);
    const PaneLayout layout = PlayerPaneLayout(width(), height(), hub.GetMaximized());
    painter.fillRect(layout.band, Qt::black);
    gdi::Stretch(painter, layout.controlRow, background, background.rect());
}

// Presses on the pane's own surface (its labels and the speedometer pass
// theirs on) move the main window; the other controls keep theirs.
void CVideoPlayerPane::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && moveWindow)
        moveWindow(this);
    event->accept();
}
