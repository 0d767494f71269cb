#include "support/LockRecorder.h"

#include "platform/UiThread.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using platform::InvokeRule;

struct LockRules : ::testing::Test {
    void SetUp() override
    {
        if (!platform::LockChecks::Enabled())
            GTEST_SKIP() << "built without LOCK_CHECKS";
    }
    LockRecorder recorder;
    platform::RecursiveLock listeners{"listenerLock", 1, InvokeRule::Allowed};
    platform::Lock pending{"pendingLock", 2, InvokeRule::Forbidden};
    platform::RecursiveLock files{"fileLock", 3, InvokeRule::Forbidden};
    platform::Lock messages{"messageLock", 4, InvokeRule::Forbidden};
};

bool Mentions(const std::vector<std::string>& violations, const std::string& name)
{
    return violations.size() == 1 && violations.front().find(name) != std::string::npos;
}

TEST_F(LockRules, HandOffUnderEachForbiddenLockIsOneViolationNamingIt)
{
    {
        std::scoped_lock lock(files);
        UiThread::Invoke([] {});
    }
    EXPECT_TRUE(Mentions(recorder.Take(), "fileLock"));
    {
        std::scoped_lock lock(pending);
        UiThread::Invoke([] {});
    }
    EXPECT_TRUE(Mentions(recorder.Take(), "pendingLock"));
    {
        std::scoped_lock lock(messages);
        UiThread::Invoke([] {});
    }
    EXPECT_TRUE(Mentions(recorder.Take(), "messageLock"));
    {
        std::scoped_lock lock(listeners);
        std::scoped_lock again(listeners);
        UiThread::Invoke([] {});
    }
    EXPECT_TRUE(recorder.Take().empty());
    {
        std::scoped_lock lock(files);
        std::scoped_lock again(files);  // re-entered: still one violation
        UiThread::Invoke([] {});
    }
    EXPECT_TRUE(Mentions(recorder.Take(), "fileLock"));
}

TEST_F(LockRules, LowerRankAfterHigherIsAViolation)
{
    {
        // Locks of their own, so that the thread sanitizer sees no cycle.
        platform::RecursiveLock otherFiles{"fileLock", 3, InvokeRule::Forbidden};
        platform::Lock otherPending{"pendingLock", 2, InvokeRule::Forbidden};
        std::scoped_lock a(otherFiles);
        std::scoped_lock b(otherPending);
    }
    EXPECT_TRUE(Mentions(recorder.Take(), "pendingLock"));
    {
        platform::Lock otherMessages{"messageLock", 4, InvokeRule::Forbidden};
        platform::RecursiveLock otherListeners{"listenerLock", 1, InvokeRule::Allowed};
        std::scoped_lock a(otherMessages);
        std::scoped_lock b(otherListeners);
    }
    EXPECT_TRUE(Mentions(recorder.Take(), "listenerLock"));
    {
        // The lock order, with a held recursive lock re-entered.
        std::scoped_lock a(listeners);
        std::scoped_lock b(pending);
        std::scoped_lock c(files);
        std::scoped_lock d(files);
        std::scoped_lock e(messages);
        std::scoped_lock f(listeners);
    }
    EXPECT_TRUE(recorder.Take().empty());
    EXPECT_EQ(platform::LockChecks::HeldCount(), 0);
}

TEST_F(LockRules, EachThreadHasItsOwnHeldLocks)
{
    std::scoped_lock a(files);
    std::thread other([this] {
        std::scoped_lock b(pending);
        EXPECT_EQ(platform::LockChecks::HeldCount(), 1);
    });
    other.join();
    EXPECT_TRUE(recorder.Take().empty());
}

TEST(UiThreadNotInstalled, InvokeAndPostFailAtOnce)
{
    bool ran = false;
    EXPECT_FALSE(UiThread::Invoke([&] { ran = true; }));
    EXPECT_FALSE(UiThread::Post(nullptr, [&] { ran = true; }));
    EXPECT_FALSE(UiThread::IsUiThread());
    EXPECT_FALSE(ran);
}

}  // namespace
