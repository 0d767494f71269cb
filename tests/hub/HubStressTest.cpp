// Playlist traffic from three sides at once; meant for the thread sanitizer.
#include "support/hub/HubFixtures.h"

#include "hub/HubCodes.h"

#include <gtest/gtest.h>

namespace {

using namespace hubtest;

TEST(HubStress, UiSortsWhileTheWorkerStepsAndLoadsAndAThirdThreadPosts)
{
    EntryFactory factory;
    std::atomic<int> parses{0};
    ApplicationHub hub{[&](RecordingEntry& e) {
        ++parses;
        e.duration = 30;
        e.motionTimes = {10, 20, 30};
        e.metadataLoaded = true;
        return true;
    }};
    std::vector<int> types;
    for (int i = 0; i < 40; ++i)
        types.push_back(1 + i % 4);
    hub.SetVideoFiles(factory.MakeTypes(types));

    // The main window and the panes, on the worker.
    Journal journal;
    RecordingListener panes{"panes", journal};
    panes.before = [&](int code, const MessageParam& payload) {
        int next = 0;
        switch (code) {
        case SET_CURRENT_VIDEO_INDEX:
            hub.SetCurrentIndex(payload.index);
            break;
        case CREATE_VIDEO_METADATA:
            hub.LoadCurrentVideoMetadata();
            break;
        case VIDEO_END_REACHED:
            hub.GetNextIndex(next);
            hub.SetCurrentIndex(next);
            break;
        default:
            break;
        }
        if (const auto entry = hub.GetCurrentVideoFile()) {
            std::scoped_lock lock(hub.fileLock);
            EXPECT_TRUE(entry->motionTimes.empty() || entry->motionTimes.size() == 3);
        }
    };
    hub.AttachListener(&panes);

    constexpr int rounds = 2000;
    std::thread poster([&] {
        for (int i = 0; i < rounds; ++i) {
            hub.Post(SET_CURRENT_VIDEO_INDEX, Index(i % 45));
            hub.Post(i % 3 ? VIDEO_END_REACHED : CREATE_VIDEO_METADATA);
            if (i % 50 == 0) {
                int previous = 0;
                hub.GetPreviousIndex(previous);
            }
        }
        hub.Post(VIDEO_STOP);
    });
    // The list pane and the report, on the UI side.
    for (int i = 0; i < rounds / 4; ++i) {
        switch (i % 3) {
        case 0: hub.SortVideoFilesByDate(); break;
        case 1: hub.SortVideoFilesByType(); break;
        default: hub.SortVideoFilesByTime(); break;
        }
        hub.RenumberVideoFiles();
        hub.SetFilterType(i % 5);
        for (const auto& entry : hub.GetVideoFiles()) {
            std::scoped_lock lock(hub.fileLock);
            EXPECT_GE(entry->number, 1);
        }
        hub.SetPosition(static_cast<float>(i) / rounds);
        hub.SetMaximized(i % 2);
    }
    poster.join();
    ASSERT_TRUE(journal.WaitFor("panes", VIDEO_STOP, std::chrono::seconds(20)));
    hub.StopAndWait([] {});

    EXPECT_GT(parses.load(), 0);
    EXPECT_LE(hub.GetCurrentIndex(), 39u);
}

}  // namespace
