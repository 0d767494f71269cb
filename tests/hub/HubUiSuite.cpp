// The hub against the UI-thread hand-off: the test thread is the UI thread.
#include "support/hub/HubFixtures.h"

#include "hub/HubCodes.h"
#include "platform/UiThread.h"
#include "support/LockRecorder.h"
#include "support/EventLoop.h"

#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using namespace hubtest;
using testsupport::RunUntil;

constexpr int A = 101;

TEST(HubUi, NotFoundBoxIsPostedAndTheNextListenerGetsTheCodeFirst)
{
    Journal journal;
    RecordingListener mainWindow{"main", journal};
    RecordingListener list{"list", journal};
    QObject window;
    std::atomic<bool> boxShown{false};
    bool listSawBox = true;
    mainWindow.before = [&](int code, const MessageParam&) {
        if (code == VIDEO_FILE_NOT_FOUND)
            UiThread::Post(&window, [&] { boxShown = true; });
    };
    list.before = [&](int code, const MessageParam&) {
        if (code == VIDEO_FILE_NOT_FOUND)
            listSawBox = boxShown;
    };
    ApplicationHub hub{NoLoader()};
    hub.AttachListener(&mainWindow);
    hub.AttachListener(&list);
    hub.Post(VIDEO_FILE_NOT_FOUND);
    ASSERT_TRUE(journal.WaitFor("list", VIDEO_FILE_NOT_FOUND));
    EXPECT_FALSE(listSawBox);
    EXPECT_TRUE(RunUntil([&] { return boxShown.load(); }));
    hub.StopAndWait([] { UiThread::ServePending(); });
}

TEST(HubUi, StopAndWaitServesADeliveryBlockedInAHandOff)
{
    Journal journal;
    RecordingListener map{"map", journal};
    RecordingListener later{"later", journal};
    Gate invoking;
    int taskRuns = 0;  // UI thread only
    map.before = [&](int code, const MessageParam&) {
        if (code != A)
            return;
        invoking.Open();
        UiThread::Invoke([&] {
            ++taskRuns;
            QEventLoop loop;  // a modal box for 50 ms
            QTimer::singleShot(50, &loop, &QEventLoop::quit);
            loop.exec();
        });
    };
    QObject window;
    bool postRan = false;
    ApplicationHub hub{NoLoader()};
    hub.AttachListener(&map);
    hub.AttachListener(&later);
    UiThread::Post(&window, [&] { postRan = true; });
    hub.Post(A);
    ASSERT_TRUE(invoking.Wait());
    {
        Watchdog watchdog("StopAndWait");
        hub.StopAndWait([] { UiThread::ServePending(); });
    }
    EXPECT_EQ(taskRuns, 1);
    EXPECT_FALSE(postRan);
    EXPECT_EQ(journal.Sequence(), (std::vector<std::string>{"map:101"}));
}

TEST(HubUi, AttachOnTheUiThreadServesTheDeliveryWaitingForIt)
{
    Journal journal;
    RecordingListener pane{"pane", journal};
    RecordingListener added{"added", journal};
    Gate invoking;
    bool served = false;
    pane.before = [&](int code, const MessageParam&) {
        if (code == A) {
            invoking.Open();
            UiThread::Invoke([&] { served = true; });
        }
    };
    ApplicationHub hub{NoLoader()};
    hub.AttachListener(&pane);
    hub.Post(A);
    ASSERT_TRUE(invoking.Wait());
    {
        Watchdog watchdog("AttachListener");
        hub.AttachListener(&added);
        hub.DetachListener(&added);
    }
    EXPECT_TRUE(served);
    hub.StopAndWait([] { UiThread::ServePending(); });
}

struct HubLockRules : ::testing::Test {
    void SetUp() override
    {
        if (!platform::LockChecks::Enabled())
            GTEST_SKIP() << "built without LOCK_CHECKS";
    }
    LockRecorder recorder;
    ApplicationHub hub{NoLoader()};
    void TearDown() override { hub.StopAndWait([] { UiThread::ServePending(); }); }
};

TEST_F(HubLockRules, HandOffUnderFileLockAndListenerChangesInATaskAreViolations)
{
    {
        std::scoped_lock lock(hub.fileLock);
        UiThread::Invoke([] {});
    }
    auto violations = recorder.Take();
    ASSERT_EQ(violations.size(), 1u);
    EXPECT_NE(violations[0].find("fileLock"), std::string::npos);

    Journal journal;
    RecordingListener pane{"pane", journal};
    UiThread::Invoke([&] { hub.AttachListener(&pane); });
    UiThread::Invoke([&] { hub.DetachListener(&pane); });
    violations = recorder.Take();
    ASSERT_EQ(violations.size(), 2u);
    EXPECT_NE(violations[0].find("AttachListener"), std::string::npos);
    EXPECT_NE(violations[1].find("DetachListener"), std::string::npos);

    // Two pending locks, so that the thread sanitizer sees no cycle.
    platform::Lock misusedPendingLock{"pendingLock", 2, platform::InvokeRule::Forbidden};
    {
        std::scoped_lock files(hub.fileLock);
        std::scoped_lock pending(misusedPendingLock);
    }
    EXPECT_EQ(recorder.Take().size(), 1u);
    platform::Lock pendingLock{"pendingLock", 2, platform::InvokeRule::Forbidden};
    {
        std::scoped_lock pending(pendingLock);
        std::scoped_lock files(hub.fileLock);
        hub.Post(A);  // pendingLock, then the queue's lock: the load's order
        hub.SetVideoFiles({});
    }
    EXPECT_TRUE(recorder.Take().empty());
}

}  // namespace
