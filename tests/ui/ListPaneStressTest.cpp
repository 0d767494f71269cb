// The list pane while playlists come and go: a thread loads playlists and
// posts 1, 16 and 22 as fast as the hub takes them, while the UI thread
// clicks the filters, sorts and double-clicks rows. Run whole under the
// thread sanitizer, repeated.

#include "ListPaneFixtures.h"

#include "controls/CSkinListCtrl.h"
#include "hub/HubCodes.h"

#include <QCoreApplication>

#include <atomic>
#include <thread>

namespace listtest {
namespace {

TEST_F(ListPaneTest, FiltersSortsAndDoubleClicksWhileTheWorkerLoadsAndEmptiesThePlaylist)
{
    constexpr int kRounds = 600;
    std::atomic<bool> done{false};
    std::thread poster([&] {
        hubtest::EntryFactory own;  // this thread's alone
        const std::vector<int> types{1, 2, 3, 4, 5, 2, 1, 3};
        for (int round = 0; round < kRounds; ++round) {
            hub->SetVideoFiles(own.MakeTypes(types));
            hub->Post(VIDEO_FILES_OPENED);
            auto index = std::make_unique<MessageParam>();
            index->index = round % 8;
            hub->Post(SET_CURRENT_VIDEO_INDEX, std::move(index));
            hub->Post(NEW_VIDEO_PLAY);
            if (round % 3 == 2)
                hub->Post(VIDEO_FILE_NOT_FOUND);
            std::this_thread::yield();
        }
        done = true;
    });

    CSkinListCtrl* list = pane->ListControl();
    int step = 0;
    while (!done) {
        switch (step++ % 6) {
        case 0: pane->OnBnClickedFilterButton(kFilterButtons[std::size_t(step) % 4]); break;
        case 1: pane->OnColumnClick(1 + step % 3); break;
        case 2: pane->OnNMDblclkVideolist(list->GetItemCount() > 0 ? step % list->GetItemCount() : -1); break;
        case 3: pane->OnCommand(VideoListControl::ShowAll + step % 4); break;
        case 4: pane->OnListClick(); break;
        default: break;
        }
        QCoreApplication::processEvents();
    }
    poster.join();
    constexpr int kDrained = 102;  // behind everything posted so far
    Deliver(kDrained);
    hub->SetVideoFiles(entries.MakeTypes({2, 1, 3, 2}));
    hub->SetCurrentIndex(2);
    Deliver(VIDEO_FILES_OPENED);
    Deliver(NEW_VIDEO_PLAY);

    // Quiet again: the rows are the shown category's, the highlight is on
    // the current entry.
    const int filter = hub->GetFilterType();
    EXPECT_EQ(filter, 0);
    EXPECT_EQ(std::size_t(list->GetItemCount()), pane->State().EntriesFor(filter).size());
    EXPECT_EQ(list->GetItemCount(), 4);
    EXPECT_EQ(PlayingNumber(), int(hub->GetCurrentIndex()) + 1);
    EXPECT_EQ(pane->State().highlightRow, int(hub->GetCurrentIndex()));
}

}  // namespace
}  // namespace listtest
