#include "platform/UserNotifier.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace {

TEST(UserNotifier, DefaultIsStderrAndInstallReplacesIt)
{
    EXPECT_NE(dynamic_cast<StderrNotifier*>(&UserNotifier::Current()), nullptr);
    RecordingNotifier recording;
    UserNotifier::Install(&recording);
    EXPECT_EQ(&UserNotifier::Current(), &recording);
    UserNotifier::Install(nullptr);
    EXPECT_NE(dynamic_cast<StderrNotifier*>(&UserNotifier::Current()), nullptr);
}

TEST(UserNotifier, FileErrorTextIsPathLineBreakStrerror)
{
    EXPECT_EQ(UserNotifier::FileErrorText(QStringLiteral("/a/b.cfg"), ENOENT),
              QStringLiteral("/a/b.cfg\n") + QString::fromLocal8Bit(std::strerror(ENOENT)));
}

TEST(UserNotifier, StderrPostRunsOnClosedAtOnce)
{
    StderrNotifier notifier;
    int closed = 0;
    notifier.PostMessage(QStringLiteral("posted"), [&] { ++closed; });
    notifier.PostMessage(QStringLiteral("posted without callback"));
    EXPECT_EQ(closed, 1);
}

TEST(RecordingNotifier, RecordsEveryKind)
{
    RecordingNotifier notifier;
    notifier.ShowMessage(QStringLiteral("m"));
    notifier.ShowFileError(QStringLiteral("/p"), EISDIR);
    notifier.PostMessage(QStringLiteral("q"));
    const auto boxes = notifier.Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].kind, RecordingNotifier::Kind::Message);
    EXPECT_EQ(boxes[0].text, QStringLiteral("m"));
    EXPECT_EQ(boxes[1].kind, RecordingNotifier::Kind::FileError);
    EXPECT_EQ(boxes[1].path, QStringLiteral("/p"));
    EXPECT_EQ(boxes[1].error, EISDIR);
    EXPECT_EQ(boxes[1].text, UserNotifier::FileErrorText(QStringLiteral("/p"), EISDIR));
    EXPECT_EQ(boxes[2].kind, RecordingNotifier::Kind::Posted);
    notifier.Clear();
    EXPECT_EQ(notifier.Count(), 0u);
}

TEST(RecordingNotifier, PostedBoxesCloseInOrderAndMayPostAgain)
{
    RecordingNotifier notifier;
    std::vector<int> order;
    notifier.PostMessage(QStringLiteral("1"), [&] { order.push_back(1); });
    notifier.PostMessage(QStringLiteral("2"), [&] {
        order.push_back(2);
        notifier.PostMessage(QStringLiteral("3"), [&] { order.push_back(3); });
    });
    notifier.CloseAll();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    notifier.CloseAll();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(notifier.Count(), 3u);
}

TEST(RecordingNotifier, PostsFromManyThreads)
{
    RecordingNotifier notifier;
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 100; ++i) {
                notifier.PostMessage(QStringLiteral("x"));
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(notifier.Count(), 800u);
}

}  // namespace
