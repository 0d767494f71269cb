#include "core/Logger.h"
#include "platform/UserNotifier.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

const QDateTime kNoon(QDate(2024, 1, 2), QTime(12, 34, 56));
const char* const kNoonFile = "LOG/core_tests 20240102.log";

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every test starts from a fresh working folder and a logger configured
// {enabled, type 3, level 3} with a fixed clock and a recording notifier.
class LoggerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Configure(true, 3, 3);
        SetTime(kNoon);
        logger.SetNotifier(&notifier);
    }
    void TearDown() override
    {
        notifier.CloseAll();
        logger.SetNotifier(nullptr);
        logger.SetClock({});
        Configure(false, 3, 3);
    }
    void Configure(bool enabled, int type, int level)
    {
        logger.SetEnabled(enabled);
        logger.SetType(type);
        logger.SetLevel(level);
    }
    void SetTime(const QDateTime& time)
    {
        logger.SetClock([time] { return time; });
    }
    std::size_t Posts() const
    {
        std::size_t count = 0;
        for (const auto& box : notifier.Boxes()) {
            if (box.kind == RecordingNotifier::Kind::Posted && box.text == QStringLiteral("Cannot Open Log!!")) {
                ++count;
            }
        }
        return count;
    }

    testsupport::ScopedWorkingFolder folder;
    RecordingNotifier notifier;
    Logger& logger = Logger::GetInstance();
};

struct FilterCase {
    bool enabled;
    int type;
    int level;
    int callType;
    int callLevel;
    bool written;
};

class LoggerFilter : public LoggerTest, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(LoggerFilter, WritesOnlyCallsThatPassAllThreeSwitches)
{
    const FilterCase c = GetParam();
    Configure(c.enabled, c.type, c.level);
    EXPECT_EQ(logger.WouldWrite(c.callType, c.callLevel), c.written);
    logger.Log(QStringLiteral("m"), QStringLiteral("C"), QStringLiteral("F"), c.callType, c.callLevel);
    EXPECT_EQ(QFile::exists(kNoonFile), c.written);
}

INSTANTIATE_TEST_SUITE_P(Table, LoggerFilter,
    ::testing::Values(FilterCase{true, 3, 3, 3, 3, true},
                      FilterCase{true, 3, 3, 3, 5, false},
                      FilterCase{true, 3, 3, 2, 3, false},
                      FilterCase{true, 3, 3, 3, 1, true},
                      FilterCase{true, 3, 5, 3, 5, true},
                      FilterCase{true, 3, 5, 3, 6, false},
                      FilterCase{true, 2, 3, 2, 3, true},
                      FilterCase{true, 2, 3, 3, 3, false},
                      FilterCase{false, 3, 3, 3, 3, false},
                      FilterCase{false, 3, 5, 3, 1, false}));

TEST_F(LoggerTest, WritesTheExactBytesOfEachHeadForm)
{
    logger.Log(QStringLiteral("Log End\n"), QStringLiteral("CMainWnd"), QStringLiteral("OnClose"), 3, 3);
    logger.Log(QStringLiteral("%s %d"), QString(), QStringLiteral("init"), 3, 3);
    // A class name without a function name gives the time-only head.
    logger.Log(QString(QChar(0xE9)), QStringLiteral("Orphan"), QString(), 3, 3);
    logger.Log(QString::fromUtf8("Д|\xF0\x9F\x98\x80"), QString(), QString(), 3, 3);

    EXPECT_EQ(ReadAll(kNoonFile),
              QByteArray("2024-01-02 12:34:56\t[CMainWnd]\t[OnClose]\tLog End\r\n\r\n"
                         "2024-01-02 12:34:56\t[init]\t%s %d\r\n"
                         "2024-01-02 12:34:56\t\xE9\r\n"
                         "2024-01-02 12:34:56\t?|?\r\n"));
    EXPECT_EQ(QDir(QStringLiteral("LOG")).entryList(QDir::Files), QStringList{QStringLiteral("core_tests 20240102.log")});
}

TEST_F(LoggerTest, LinesOnEitherSideOfMidnightGoToTheirOwnDaysFiles)
{
    SetTime(QDateTime(QDate(2024, 2, 28), QTime(23, 59, 59)));
    logger.Log(QStringLiteral("before"), QString(), QString(), 3, 3);
    SetTime(QDateTime(QDate(2024, 2, 29), QTime(0, 0, 0)));
    logger.Log(QStringLiteral("after"), QString(), QString(), 3, 3);

    EXPECT_EQ(ReadAll("LOG/core_tests 20240228.log"), QByteArray("2024-02-28 23:59:59\tbefore\r\n"));
    EXPECT_EQ(ReadAll("LOG/core_tests 20240229.log"), QByteArray("2024-02-29 00:00:00\tafter\r\n"));
}

TEST_F(LoggerTest, FailuresPostOneBoxUntilItClosesAndLoggingResumesOnceTheFileOpens)
{
    // A regular file named LOG: the folder cannot be made, no line can open.
    QFile blocker(QStringLiteral("LOG"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    for (int i = 0; i < 100; ++i) {
        logger.Log(QStringLiteral("lost"), QString(), QString(), 3, 3);
    }
    EXPECT_EQ(Posts(), 1u);
    EXPECT_EQ(QFileInfo(QStringLiteral("LOG")).size(), 0);

    notifier.CloseAll();
    EXPECT_FALSE(logger.WriteLine(QStringLiteral("lost\n")));
    EXPECT_EQ(Posts(), 2u);

    notifier.CloseAll();
    ASSERT_TRUE(QFile::remove(QStringLiteral("LOG")));
    logger.Log(QStringLiteral("back"), QString(), QString(), 3, 3);
    EXPECT_EQ(ReadAll(kNoonFile), QByteArray("2024-01-02 12:34:56\tback\r\n"));
    EXPECT_EQ(Posts(), 2u);
}

TEST_F(LoggerTest, LinesFromManyThreadsStayWhole)
{
    constexpr int kThreads = 8;
    constexpr int kLines = 500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t] {
            const QString message = QStringLiteral("thread %1 ").arg(t) + QString(200, QLatin1Char('x'));
            for (int i = 0; i < kLines; ++i) {
                logger.Log(message, QStringLiteral("Worker"), QStringLiteral("Run"), 3, 3);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }

    const QList<QByteArray> lines = ReadAll(kNoonFile).split('\n');
    ASSERT_EQ(lines.size(), kThreads * kLines + 1);
    EXPECT_TRUE(lines.last().isEmpty());
    std::vector<int> perThread(kThreads, 0);
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        const QByteArray head("2024-01-02 12:34:56\t[Worker]\t[Run]\tthread ");
        ASSERT_TRUE(line.startsWith(head)) << line.constData();
        const int t = line.at(head.size()) - '0';
        ASSERT_EQ(line, head + QByteArray::number(t) + ' ' + QByteArray(200, 'x') + '\r');
        ++perThread[t];
    }
    EXPECT_EQ(perThread, std::vector<int>(kThreads, kLines));
}

}  // namespace
