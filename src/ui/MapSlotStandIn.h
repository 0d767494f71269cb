#pragma once
// Stand-in for the GPS map pane until the real one is wired in: a plain
// panel in the map's place. It is attached to the hub, as the map pane is,
// and ignores every message.

#include "hub/IListener.h"
#include "ui/MainWindowSeams.h"

#include <QWidget>

class ApplicationHub;

class MapSlotStandIn : public QWidget, public IListener, public IMapSlot {
    Q_OBJECT
public:
    MapSlotStandIn(QWidget* parent, ApplicationHub& hub);
    ~MapSlotStandIn() override;

    QWidget* SlotWidget() override { return this; }
    void ShowPosition(const GpsFix&) override {}
    void SetShown(bool shown) override;
    void OnBnClickedPopup() override {}
    QImage GrabMapImage() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ApplicationHub& hub;
};
