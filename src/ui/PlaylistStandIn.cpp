#include "ui/PlaylistStandIn.h"

#include "hub/ApplicationHub.h"
#include "hub/HubCodes.h"
#include "platform/UiThread.h"
#include "ui/UiAssert.h"

#include <QHeaderView>

#include <mutex>

PlaylistStandIn::PlaylistStandIn(QWidget* parent, ApplicationHub& hub) : QTreeWidget(parent), hub(hub)
{
    ui::AssertUiThread();
    setColumnCount(4);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, QColor(0x33, 0x33, 0x33));
    colours.setColor(QPalette::Text, QColor(200, 200, 200));
    setPalette(colours);
    hub.AttachListener(this);
}

PlaylistStandIn::~PlaylistStandIn()
{
    hub.DetachListener(this);
}

void PlaylistStandIn::update(int code, const MessageParam*)
{
    if (code != VIDEO_FILES_OPENED)
        return;
    std::vector<QStringList> rows;
    {
        const ApplicationHub::Entries entries = hub.GetVideoFiles();
        std::lock_guard lock(hub.fileLock);
        for (const auto& entry : entries)
            rows.push_back({QString::number(entry->number), entry->dateText, entry->timeText, entry->fileName});
    }
    UiThread::Invoke([this, &rows] {
        clear();
        for (const QStringList& row : rows)
            addTopLevelItem(new QTreeWidgetItem(row));
    });
}
