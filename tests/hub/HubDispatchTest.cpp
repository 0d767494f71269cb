#include "support/hub/HubFixtures.h"

#include "core/Logger.h"
#include "hub/HubCodes.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <future>
#include <map>
#include <random>

namespace {

using namespace hubtest;
using Sequence = std::vector<std::string>;

constexpr int A = 101, B = 102, C = 103, X = 104;

struct TwoListeners : ::testing::Test {
    Journal journal;
    RecordingListener l1{"L1", journal};
    RecordingListener l2{"L2", journal};
    ApplicationHub hub{NoLoader()};

    void SetUp() override
    {
        hub.AttachListener(&l1);
        hub.AttachListener(&l2);
    }
    void TearDown() override { hub.StopAndWait([] {}); }
};

TEST_F(TwoListeners, DeliversEachMessageToAllInOrderAndPostsFromUpdateGoLast)
{
    Gate bQueued;
    l1.before = [&](int code, const MessageParam&) {
        if (code == A) {
            ASSERT_TRUE(bQueued.Wait());
            hub.Post(C);
        }
    };
    hub.Post(A);
    hub.Post(B);
    bQueued.Open();
    ASSERT_TRUE(journal.WaitFor("L2", C));

    EXPECT_EQ(journal.Sequence(), (Sequence{"L1:101", "L2:101", "L1:102", "L2:102", "L1:103", "L2:103"}));
    const auto entries = journal.Entries();
    for (const Delivery& d : entries) {
        EXPECT_NE(d.thread, std::this_thread::get_id());
        EXPECT_EQ(d.thread, entries.front().thread);
    }
}

TEST_F(TwoListeners, ClearFromUpdateDropsSinglesBehindButKeepsMarkedBatchesWhole)
{
    Gate queued;
    l1.before = [&](int code, const MessageParam&) {
        if (code == A) {
            ASSERT_TRUE(queued.Wait());
            hub.Post(X);
            hub.ClearMessages();
        }
    };
    hub.Post(A);
    hub.Post(1);
    std::vector<HubMessage> kept;
    for (int code : {11, 12, 13})
        kept.emplace_back(code);
    hub.PostBatch(std::move(kept), KeepOnClear::Yes);
    std::vector<HubMessage> unkept;
    for (int code : {21, 22})
        unkept.emplace_back(code);
    hub.PostBatch(std::move(unkept), KeepOnClear::No);
    hub.Post(2);
    queued.Open();
    ASSERT_TRUE(journal.WaitFor("L2", 13));
    hub.Post(B);
    ASSERT_TRUE(journal.WaitFor("L2", B));

    EXPECT_EQ(journal.Sequence(), (Sequence{"L1:101", "L2:101", "L1:11", "L2:11", "L1:12", "L2:12", "L1:13",
                                            "L2:13", "L1:102", "L2:102"}));
}

// The selective clear, with the worker held while the queue is filled:
// singles (Post) with a listed code go, batches (kept or not) and every other
// message stay, in order.
struct Queued {
    std::vector<int> codes;  // one code: a single; more: a batch
    KeepOnClear keep = KeepOnClear::No;
};

struct SelectiveClearCase {
    const char* name;
    std::vector<Queued> queue;
    std::function<void(ApplicationHub&)> clear;
    Sequence delivered;
};

class SelectiveClear : public ::testing::TestWithParam<SelectiveClearCase> {};

TEST_P(SelectiveClear, DropsOnlySinglesWithAListedCode)
{
    const SelectiveClearCase& c = GetParam();
    Journal journal;
    ApplicationHub hub{NoLoader()};
    RecordingListener listener{"L", journal};
    Gate holding, queued;
    listener.before = [&](int code, const MessageParam&) {
        if (code == A) {
            holding.Open();
            ASSERT_TRUE(queued.Wait());
        }
    };
    hub.AttachListener(&listener);
    hub.Post(A);
    ASSERT_TRUE(holding.Wait());
    for (const Queued& q : c.queue) {
        if (q.codes.size() == 1) {
            hub.Post(q.codes.front());
            continue;
        }
        std::vector<HubMessage> batch;
        for (int code : q.codes)
            batch.emplace_back(code);
        hub.PostBatch(std::move(batch), q.keep);
    }
    c.clear(hub);
    hub.Post(B);
    queued.Open();
    ASSERT_TRUE(journal.WaitFor("L", B));
    Sequence expected{"L:101"};
    for (const std::string& code : c.delivered)
        expected.push_back("L:" + code);
    expected.push_back("L:102");
    EXPECT_EQ(journal.Sequence(), expected);
}

constexpr KeepOnClear kKept = KeepOnClear::Yes;
void ClearPositions(ApplicationHub& hub) { hub.ClearMessages({17, 14}); }

INSTANTIATE_TEST_SUITE_P(
    Queues, SelectiveClear,
    ::testing::Values(
        SelectiveClearCase{"NothingQueued", {}, ClearPositions, {}},
        SelectiveClearCase{"ListedSinglesGoTheRestStayInOrder",
                           {{{14}}, {{10}}, {{17}}, {{11}}, {{14}}, {{9}}}, ClearPositions, {"10", "11", "9"}},
        SelectiveClearCase{"OneListedCode", {{{14}}, {{17}}, {{14}}},
                           [](ApplicationHub& hub) { hub.ClearMessages({17}); }, {"14", "14"}},
        SelectiveClearCase{"NoListedCodeQueued", {{{10}}, {{11}}, {{9}}}, ClearPositions, {"10", "11", "9"}},
        SelectiveClearCase{"BatchesKeptOrNotAreNeverTouched",
                           {{{14}}, {{10, 17, 11}}, {{12, 13}, kKept}, {{17, 14}, kKept}, {{17}}},
                           ClearPositions,
                           {"10", "17", "11", "12", "13", "17", "14"}},
        SelectiveClearCase{"AnEmptySetClearsNothing", {{{14}}, {{17}}},
                           [](ApplicationHub& hub) { hub.ClearMessages(std::initializer_list<int>{}); },
                           {"14", "17"}}),
    [](const ::testing::TestParamInfo<SelectiveClearCase>& info) { return std::string(info.param.name); });

TEST_F(TwoListeners, PayloadIsNeverNullAndCarriesItsValues)
{
    hub.Post(SET_CURRENT_VIDEO_INDEX, Index(7));
    hub.Post(VIDEO_PLAY);
    ASSERT_TRUE(journal.WaitFor("L2", VIDEO_PLAY));
    const auto entries = journal.Entries();
    EXPECT_EQ(entries[0].payload.index, 7);
    EXPECT_EQ(entries[2].payload.index, 0);
    EXPECT_EQ(entries[2].payload.position, 0.0f);
    EXPECT_TRUE(entries[2].payload.GetSnapshotPath().isEmpty());
}

// Four posters of singles and batches while a listener clears on every 16th
// delivery: a kept batch arrives whole and contiguous, an unkept one as a
// contiguous prefix, never interleaved with anything.
TEST(HubBatches, StressNeverSplitsABatch)
{
    Journal journal;
    ApplicationHub hub{NoLoader()};
    std::vector<int> codes;  // worker only
    int delivered = 0;
    RecordingListener clearer{"C", journal};
    clearer.before = [&](int code, const MessageParam&) {
        codes.push_back(code);
        if (++delivered % 16 == 0)
            hub.ClearMessages();
    };
    hub.AttachListener(&clearer);

    constexpr int posters = 4, rounds = 200, batchSize = 5;
    // code = poster * 1'000'000 + round * 100 + kind * 10 + member;
    // kind 0 single, 1 kept batch, 2 unkept batch.
    std::vector<std::thread> threads;
    for (int p = 0; p < posters; ++p) {
        threads.emplace_back([&hub, p] {
            for (int r = 0; r < rounds; ++r) {
                const int base = (p + 1) * 1'000'000 + r * 100;
                hub.Post(base);
                const KeepOnClear keep = r % 2 ? KeepOnClear::Yes : KeepOnClear::No;
                const int kind = r % 2 ? 1 : 2;
                std::vector<HubMessage> batch;
                for (int m = 0; m < batchSize; ++m)
                    batch.emplace_back(base + kind * 10 + m);
                hub.PostBatch(std::move(batch), keep);
            }
        });
    }
    for (auto& t : threads)
        t.join();
    constexpr int sentinel = 7;
    std::vector<HubMessage> last;
    last.emplace_back(sentinel);
    hub.PostBatch(std::move(last), KeepOnClear::Yes);
    ASSERT_TRUE(journal.WaitFor("C", sentinel, 20s));
    hub.StopAndWait([] {});

    std::map<int, std::vector<std::size_t>> batches;  // batch base -> positions
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const int kind = codes[i] % 100 / 10;
        if (codes[i] != sentinel && kind != 0)
            batches[codes[i] - codes[i] % 10].push_back(i);
    }
    int keptBatches = 0;
    for (const auto& [base, positions] : batches) {
        const bool kept = base % 100 / 10 == 1;
        if (kept) {
            ++keptBatches;
            EXPECT_EQ(positions.size(), std::size_t{batchSize}) << base;
        }
        for (std::size_t m = 0; m < positions.size(); ++m) {
            EXPECT_EQ(positions[m], positions.front() + m) << base;
            EXPECT_EQ(codes[positions[m]], base + static_cast<int>(m)) << base;
        }
    }
    EXPECT_EQ(keptBatches, posters * rounds / 2);
}

enum class StopCase { Idle, Delivering, Queued };

class HubStop : public ::testing::TestWithParam<StopCase> {};

TEST_P(HubStop, DeliversNothingAfterTheUpdateInProgressAndEnds)
{
    Journal journal;
    RecordingListener l1{"L1", journal};
    RecordingListener l2{"L2", journal};
    Gate entered, release;
    l1.before = [&](int code, const MessageParam&) {
        if (code == A) {
            entered.Open();
            ASSERT_TRUE(release.Wait());
        }
    };
    auto hub = std::make_unique<ApplicationHub>(NoLoader());
    hub->AttachListener(&l1);
    hub->AttachListener(&l2);

    if (GetParam() != StopCase::Idle) {
        hub->Post(A);
        ASSERT_TRUE(entered.Wait());
        if (GetParam() == StopCase::Queued) {
            hub->Post(B);
            std::vector<HubMessage> batch;
            batch.emplace_back(C, nullptr);
            EXPECT_TRUE(hub->PostBatch(std::move(batch), KeepOnClear::Yes));
        }
    }
    hub->Stop();
    EXPECT_FALSE(hub->GetRunning());
    hub->Post(X);
    std::vector<HubMessage> late;
    late.emplace_back(X, nullptr);
    EXPECT_FALSE(hub->PostBatch(std::move(late), KeepOnClear::Yes)) << "a batch after the stop reports it was dropped";
    release.Open();

    auto ended = std::async(std::launch::async, [&] { hub->StopAndWait([] {}); });
    ASSERT_EQ(ended.wait_for(1s), std::future_status::ready) << "worker did not end";
    hub.reset();

    const Sequence expected = GetParam() == StopCase::Idle ? Sequence{} : Sequence{"L1:101"};
    EXPECT_EQ(journal.Sequence(), expected);
}

INSTANTIATE_TEST_SUITE_P(States, HubStop,
                         ::testing::Values(StopCase::Idle, StopCase::Delivering, StopCase::Queued));

TEST(HubStop, DestructorStopsAndDiscardsWhatIsQueued)
{
    Journal journal;
    RecordingListener l1{"L1", journal};
    Gate entered, release;
    l1.before = [&](int code, const MessageParam&) {
        if (code == A) {
            entered.Open();
            ASSERT_TRUE(release.Wait());
        }
    };
    std::thread opener;
    {
        ApplicationHub hub{NoLoader()};
        hub.AttachListener(&l1);
        hub.Post(A);
        ASSERT_TRUE(entered.Wait());
        for (int i = 0; i < 10; ++i)
            hub.Post(B, Index(i));
        // Released once the destructor has stopped the hub.
        opener = std::thread([&] {
            while (hub.GetRunning())
                std::this_thread::yield();
            release.Open();
        });
    }
    opener.join();
    EXPECT_EQ(journal.Sequence(), (Sequence{"L1:101"}));
}

struct ListenerList : TwoListeners {
    RecordingListener l3{"L3", journal};
    RecordingListener l4{"L4", journal};

    // Runs change on another thread while L1's update of A is blocked, then
    // lets the delivery end and posts B, which last reaches lastOfB.
    void ChangeDuringDelivery(const std::function<void()>& change, const std::string& mark,
                              const std::string& lastOfB)
    {
        Gate entered, release, changing;
        l1.before = [&](int code, const MessageParam&) {
            if (code == A) {
                entered.Open();
                ASSERT_TRUE(release.Wait());
                journal.Mark("delivery-ends");
            }
        };
        hub.Post(A);
        ASSERT_TRUE(entered.Wait());
        std::thread other([&] {
            changing.Open();
            change();
            journal.Mark(mark);
        });
        ASSERT_TRUE(changing.Wait());
        release.Open();
        other.join();
        hub.Post(B);
        ASSERT_TRUE(journal.WaitFor(lastOfB, B));
        hub.StopAndWait([] {});
    }
};

TEST_F(ListenerList, AttachFromAnotherThreadWaitsForTheDeliveryAndGetsOnlyLaterMessages)
{
    ChangeDuringDelivery([this] { hub.AttachListener(&l3); }, "attached", "L3");
    EXPECT_EQ(journal.Sequence(),
              (Sequence{"#delivery-ends", "L1:101", "L2:101", "#attached", "L1:102", "L2:102", "L3:102"}));
}

TEST_F(ListenerList, DetachFromAnotherThreadWaitsAndIsNeverCalledAfter)
{
    ChangeDuringDelivery([this] { hub.DetachListener(&l2); }, "detached", "L1");
    EXPECT_EQ(journal.Sequence(), (Sequence{"#delivery-ends", "L1:101", "L2:101", "#detached", "L1:102"}));
}

TEST_F(ListenerList, ChangesMadeOnTheWorkerInsideUpdate)
{
    hub.AttachListener(&l3);
    l1.after = [this](int code, const MessageParam&) {
        if (code == A) {
            hub.DetachListener(&l1);
            hub.DetachListener(&l3);
            hub.AttachListener(&l4);
        }
    };
    hub.Post(A);
    hub.Post(B);
    ASSERT_TRUE(journal.WaitFor("L4", B));

    EXPECT_EQ(journal.Sequence(), (Sequence{"L1:101", "L2:101", "L2:102", "L4:102"}));
}

TEST(HubExceptions, AThrowingListenerIsLoggedOnceAndDeliveryGoesOn)
{
    testsupport::ScopedWorkingFolder folder;
    Logger& logger = Logger::GetInstance();
    logger.SetEnabled(true);
    logger.SetType(3);
    logger.SetLevel(3);

    Journal journal;
    RecordingListener l1{"L1", journal};
    RecordingListener l2{"L2", journal};
    l1.before = [](int code, const MessageParam&) {
        if (code == A)
            throw std::runtime_error("function libvlc_media_new_path is missing");
    };
    {
        ApplicationHub hub{NoLoader()};
        hub.AttachListener(&l1);
        hub.AttachListener(&l2);
        hub.Post(A);
        hub.Post(B);
        ASSERT_TRUE(journal.WaitFor("L2", B));
    }
    logger.SetEnabled(false);

    EXPECT_EQ(journal.Sequence(), (Sequence{"L2:101", "L1:102", "L2:102"}));
    const QStringList logs = QDir(folder.Path() + "/LOG").entryList({"*.log"}, QDir::Files);
    ASSERT_EQ(logs.size(), 1);
    QFile file(folder.Path() + "/LOG/" + logs.front());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_EQ(text.count("Listener exception: function libvlc_media_new_path is missing"), 1);
    EXPECT_EQ(text.count("[ApplicationHub]\t[DispatchThreadProc]"), 1);
}

}  // namespace
