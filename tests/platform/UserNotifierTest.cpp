#include "platform/Paths.h"
#include "platform/UserNotifier.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
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

using Button = UserNotifier::Button;

TEST(UserNotifier, TheEscapeAnswerIsCancelElseNoElseOk)
{
    EXPECT_EQ(UserNotifier::EscapeAnswer(Button::Ok | Button::Cancel), Button::Cancel);
    EXPECT_EQ(UserNotifier::EscapeAnswer(Button::Yes | Button::No | Button::Cancel), Button::Cancel);
    EXPECT_EQ(UserNotifier::EscapeAnswer(Button::Yes | Button::No), Button::No);
    EXPECT_EQ(UserNotifier::EscapeAnswer(Button::Ok), Button::Ok);
}

TEST(RecordingNotifier, AnswersFromItsScriptThenWithTheEscapeAnswer)
{
    RecordingNotifier notifier;
    notifier.ScriptAnswers({Button::Yes, Button::No});
    const QString caption = QString::fromUtf8("경고");
    EXPECT_EQ(notifier.Ask("q1", caption, Button::Yes | Button::No, Button::Yes), Button::Yes);
    EXPECT_EQ(notifier.Ask("q2", caption, Button::Yes | Button::No, Button::Yes), Button::No);
    // The script is used up: never a Yes by accident.
    EXPECT_EQ(notifier.Ask("q3", "", Button::Yes | Button::No, Button::Yes), Button::No);
    EXPECT_EQ(notifier.Ask("q4", "", Button::Ok | Button::Cancel, Button::Ok), Button::Cancel);

    const auto boxes = notifier.Boxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].kind, RecordingNotifier::Kind::Asked);
    EXPECT_EQ(boxes[0].text, QStringLiteral("q1"));
    EXPECT_EQ(boxes[0].caption, caption);
    EXPECT_EQ(boxes[0].buttons, Button::Yes | Button::No);
    EXPECT_EQ(boxes[0].defaultButton, Button::Yes);
    EXPECT_EQ(boxes[2].caption, Paths::ProgramBaseName()) << "an empty caption is the program's name";
    EXPECT_EQ(boxes[3].buttons, Button::Ok | Button::Cancel);
}

TEST(RecordingNotifier, AScriptedAnswerTheBoxDoesNotOfferThrows)
{
    RecordingNotifier notifier;
    notifier.ScriptAnswers({Button::Yes});
    EXPECT_THROW(notifier.Ask("format?", "", Button::Ok | Button::Cancel, Button::Ok), std::logic_error);
    EXPECT_EQ(notifier.Count(), 1u);
}

TEST(UserNotifier, AQuestionWithoutButtonsOrWithAForeignDefaultIsRefused)
{
    RecordingNotifier notifier;
    EXPECT_THROW(notifier.Ask("q", "", {}, Button::Ok), std::logic_error);
    EXPECT_THROW(notifier.Ask("q", "", Button::Yes | Button::No, Button::Ok), std::logic_error);
    EXPECT_EQ(notifier.Count(), 0u);
}

TEST(StderrNotifier, AnswersAQuestionWithItsEscapeAnswer)
{
    StderrNotifier notifier;
    EXPECT_EQ(notifier.Ask("start", QString::fromUtf8("알림"), Button::Ok, Button::Ok), Button::Ok);
    EXPECT_EQ(notifier.Ask("cut done", "", Button::Yes | Button::No, Button::Yes), Button::No);
}

}  // namespace
