#include "platform/UiThread.h"

#include "support/EventLoop.h"

#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace {

using testsupport::RunUntil;

// A worker whose result the UI thread waits for while serving its loop.
template <typename Fn>
auto OnWorker(Fn fn)
{
    auto future = std::async(std::launch::async, std::move(fn));
    EXPECT_TRUE(RunUntil([&] { return future.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    return future.get();
}

// Runs the loop until every Post task queued before now has had its turn.
void DrainPosts()
{
    bool reached = false;
    ASSERT_TRUE(UiThread::Post(nullptr, [&] { reached = true; }));
    ASSERT_TRUE(RunUntil([&] { return reached; }));
}

class Signal {
public:
    void Set()
    {
        {
            std::lock_guard lock(mutex);
            set = true;
        }
        changed.notify_all();
    }
    bool Wait()
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(5), [this] { return set; });
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    bool set = false;
};

TEST(UiThreadInvoke, RunsInlineOnTheUiThread)
{
    ASSERT_TRUE(UiThread::IsUiThread());
    bool ran = false;
    EXPECT_TRUE(UiThread::Invoke([&] {
        ran = true;
        EXPECT_TRUE(UiThread::InInvokeTask());
    }));
    EXPECT_TRUE(ran);
    EXPECT_FALSE(UiThread::InInvokeTask());
}

TEST(UiThreadInvoke, FromAWorkerRunsOnTheUiThreadAndReturnsAfterIt)
{
    const std::thread::id ui = std::this_thread::get_id();
    const bool consistent = OnWorker([ui] {
        std::thread::id ranOn;
        int value = 0;  // plain: the hand-off orders the accesses
        const bool ran = UiThread::Invoke([&] {
            ranOn = std::this_thread::get_id();
            value = 42;
        });
        return ran && ranOn == ui && value == 42 && !UiThread::IsUiThread();
    });
    EXPECT_TRUE(consistent);
}

TEST(UiThreadInvoke, TasksRunInArrivalOrderAndAnExceptionReachesTheCaller)
{
    const std::string text = OnWorker([] {
        std::vector<int> order;
        for (int i = 0; i < 5; ++i)
            UiThread::Invoke([&order, i] { order.push_back(i); });
        if (order != std::vector<int>{0, 1, 2, 3, 4})
            return std::string("order");
        try {
            UiThread::Invoke([] { throw std::runtime_error("no player"); });
        } catch (const std::runtime_error& e) {
            return std::string(e.what());
        }
        return std::string("nothing thrown");
    });
    EXPECT_EQ(text, "no player");
}

TEST(UiThreadInvoke, IsServedInsideANestedLoop)
{
    Signal nested;
    bool served = false;
    bool nestedDone = false;
    UiThread::Post(nullptr, [&] {
        // Stands in for a modal box: its own loop, until the worker was served.
        QEventLoop loop;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
            if (served)
                loop.quit();
        });
        tick.start(1);
        nested.Set();
        loop.exec();
        nestedDone = true;
    });
    std::thread worker([&] {
        ASSERT_TRUE(nested.Wait());
        EXPECT_TRUE(UiThread::Invoke([&] { served = true; }));
    });
    EXPECT_TRUE(RunUntil([&] { return nestedDone; }));
    worker.join();
    EXPECT_TRUE(served);
}

TEST(UiThreadInvoke, ClosedHandOffFailsAtOnceAndWakesAWaitingCaller)
{
    Signal invoking;
    std::atomic<bool> ran{false};
    auto waiting = std::async(std::launch::async, [&] {
        invoking.Set();
        return UiThread::Invoke([&] { ran = true; });
    });
    ASSERT_TRUE(invoking.Wait());
    bool posted = false;
    UiThread::Post(nullptr, [&] { posted = true; });
    UiThread::Close();  // the UI thread never served the call

    ASSERT_EQ(waiting.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_FALSE(waiting.get());
    EXPECT_FALSE(UiThread::Invoke([&] { ran = true; }));
    EXPECT_FALSE(std::async(std::launch::async, [&] { return UiThread::Invoke([&] { ran = true; }); }).get());
    EXPECT_FALSE(UiThread::Post(nullptr, [&] { posted = true; }));
    UiThread::Install();
    DrainPosts();
    EXPECT_FALSE(ran);
    EXPECT_FALSE(posted);

    EXPECT_TRUE(UiThread::Invoke([&] { ran = true; }));
}

TEST(UiThreadPost, RunsOnceLaterButNotFromServePending)
{
    int runs = 0;
    const bool ok = OnWorker([&] { return UiThread::Post(nullptr, [&] { ++runs; }); });
    EXPECT_TRUE(ok);
    ASSERT_TRUE(RunUntil([&] { return runs > 0; }));

    EXPECT_TRUE(UiThread::Post(nullptr, [&] { ++runs; }));
    EXPECT_EQ(runs, 1);
    UiThread::ServePending();
    EXPECT_EQ(runs, 1);
    ASSERT_TRUE(RunUntil([&] { return runs == 2; }));
    DrainPosts();
    EXPECT_EQ(runs, 2);
}

TEST(UiThreadPost, IsDroppedWhenItsContextGoesFirst)
{
    auto* context = new QObject;
    bool ran = false;
    bool later = false;
    UiThread::Post(context, [&] { ran = true; });
    UiThread::Post(nullptr, [&] { later = true; });
    delete context;
    ASSERT_TRUE(RunUntil([&] { return later; }));
    EXPECT_FALSE(ran);
}

TEST(UiThreadPost, CoalescedRequestsRunOnceWhileOneIsQueuedOrRunning)
{
    int runs = 0;
    int acceptedWhileRunning = 0;
    const auto task = [&] {
        ++runs;
        for (int i = 0; i < 100; ++i)
            acceptedWhileRunning += UiThread::PostCoalesced("box", nullptr, [&] { ++runs; });
    };
    int accepted = 0;
    for (int i = 0; i < 100; ++i)
        accepted += UiThread::PostCoalesced("box", nullptr, task);
    EXPECT_EQ(accepted, 1);
    ASSERT_TRUE(RunUntil([&] { return runs > 0; }));
    DrainPosts();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(acceptedWhileRunning, 0);

    EXPECT_TRUE(UiThread::PostCoalesced("box", nullptr, [&] { ++runs; }));
    ASSERT_TRUE(RunUntil([&] { return runs == 2; }));
}

}  // namespace
