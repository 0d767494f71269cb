#pragma once
// Stand-in for the player pane until the real one is wired in: a black area
// where the video goes. It listens to nothing and plays nothing.

#include "playback/PlayerPaneSeams.h"

#include <QWidget>

class PlayerPaneStandIn : public QWidget, public IPlayerCommands {
    Q_OBJECT
public:
    explicit PlayerPaneStandIn(QWidget* parent);

    QWidget* Widget() override { return this; }

protected:
    void paintEvent(QPaintEvent* event) override;
};
