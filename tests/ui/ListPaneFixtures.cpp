#include "ListPaneFixtures.h"

#include "controls/CMyBitmapButton.h"
#include "controls/CSkinListCtrl.h"
#include "hub/HubCodes.h"
#include "platform/UiThread.h"

namespace listtest {

void IndexKeeper::update(int code, const MessageParam* payload)
{
    if (code == SET_CURRENT_VIDEO_INDEX)
        hub.SetCurrentIndex(payload->index);
}

ListPaneTest::ListPaneTest() : hub(std::make_unique<ApplicationHub>(hubtest::NoLoader()))
{
    hub->AttachListener(&keeper);
    window.resize(400, 500);
    pane = std::make_unique<VideoListControl>(&window, *hub);
    hub->AttachListener(&tail);
}

ListPaneTest::~ListPaneTest()
{
    hubtest::Watchdog watchdog("the list pane's hub");
    hub->StopAndWait([] { UiThread::ServePending(); });
    pane.reset();
    hub->DetachListener(&tail);
    hub->DetachListener(&keeper);
    hub.reset();
}

void ListPaneTest::Load(ApplicationHub::Entries playlist)
{
    hub->SetVideoFiles(std::move(playlist));
    Deliver(VIDEO_FILES_OPENED);
    Deliver(NEW_VIDEO_PLAY);
}

void ListPaneTest::Deliver(int code, std::unique_ptr<MessageParam> payload)
{
    const std::size_t before = Seen(code).size();
    hub->Post(code, std::move(payload));
    ASSERT_TRUE(Eventually([&] { return Seen(code).size() > before; })) << "code " << code;
}

std::vector<hubtest::Delivery> ListPaneTest::Seen(int code)
{
    std::vector<hubtest::Delivery> seen;
    for (const hubtest::Delivery& delivery : journal.Entries()) {
        if (delivery.code == code)
            seen.push_back(delivery);
    }
    return seen;
}

QStringList ListPaneTest::Rows() const
{
    QStringList rows;
    CSkinListCtrl* list = pane->ListControl();
    for (int row = 0; row < list->GetItemCount(); ++row)
        rows.append(list->GetItemText(row, 0) + " " + list->GetItemText(row, 3));
    return rows;
}

int ListPaneTest::PlayingNumber() const
{
    return pane->ListControl()->PlayingNumber();
}

bool ListPaneTest::Checked(FilterButton button) const
{
    return pane->Button(button)->GetCheck();
}

bool ListPaneTest::Enabled(FilterButton button) const
{
    return pane->Button(button)->isEnabled();
}

}  // namespace listtest
