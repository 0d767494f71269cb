#pragma once
// Stand-in for the recording list until the real one is wired in: when
// files are opened it shows the playlist, one row per recording (number,
// date, time, file name), read-only.

#include "hub/IListener.h"

#include <QTreeWidget>

class ApplicationHub;

class PlaylistStandIn : public QTreeWidget, public IListener {
    Q_OBJECT
public:
    PlaylistStandIn(QWidget* parent, ApplicationHub& hub);
    ~PlaylistStandIn() override;

    // Code 1 only: the rows are copied on the hub's worker, then shown in
    // one hand-off to the UI thread.
    void update(int code, const MessageParam* payload) override;

private:
    ApplicationHub& hub;
};
