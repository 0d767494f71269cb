// The commands' names and texts, and the wait for a snapshot file that is
// written late, in pieces, or never.

#include "support/ScopedLocale.h"
#include "support/gui/Screenshot.h"
#include "ui/CommandText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace std::chrono_literals;

TEST(CommandNames, TimeSuffixAndCapturePath)
{
    struct SuffixCase {
        QDateTime time;
        const char* suffix;
    };
    const SuffixCase suffixes[] = {
        {{QDate(2013, 10, 16), QTime(9, 5, 7, 42)}, "-2013-10-16-09h05m07s42"},
        {{QDate(2013, 10, 16), QTime(9, 5, 7, 0)}, "-2013-10-16-09h05m07s"},
        {{QDate(2013, 10, 16), QTime(9, 5, 7, 5)}, "-2013-10-16-09h05m07s5"},
        {{QDate(2013, 1, 2), QTime(23, 59, 59, 999)}, "-2013-1-2-23h59m59s999"},
    };
    for (const SuffixCase& c : suffixes)
        EXPECT_EQ(MakeTimeSuffix(c.time), QString::fromLatin1(c.suffix)) << c.suffix;

    struct PathCase {
        QString fileName;
        QString path;
    };
    const PathCase paths[] = {
        {QStringLiteral("clip.avi"), QStringLiteral("/save/CAM_CAPTURE/clip-s.png")},
        {QStringLiteral("a.av"), QStringLiteral("/save/CAM_CAPTURE/-s.png")},
        {QStringLiteral("avi"), QStringLiteral("/save/CAM_CAPTURE/-s.png")},
        {QStringLiteral("Поездка.avi"), QStringLiteral("/save/CAM_CAPTURE/Поездка-s.png")},
    };
    const QString folder = MakeCaptureFolder(QStringLiteral("/save/"), QStringLiteral("CAM_CAPTURE"));
    EXPECT_EQ(folder, QStringLiteral("/save/CAM_CAPTURE"));
    for (const PathCase& c : paths)
        EXPECT_EQ(MakeCapturePath(folder, c.fileName, QStringLiteral("-s")), c.path) << c.fileName.toStdString();

    EXPECT_EQ(SnapshotFiles(QStringLiteral("/t/x.png"), 1), std::vector<QString>{QStringLiteral("/t/x.png")});
    EXPECT_EQ(SnapshotFiles(QStringLiteral("/t/x.png"), 2),
              (std::vector<QString>{QStringLiteral("/t/x(Track1).png"), QStringLiteral("/t/x(Track2).png")}));
}

TEST(CommandNames, ReportLinesWithAndWithoutASampleAndAFix)
{
    const GpsFix fix{37.5665, 126.978, 42.46, 180507, true};
    const MotionSample sample{0, 0, 0, 0.125, -0.25, 1.0};
    const QString date = QStringLiteral("2013-10-16");
    const QString time = QStringLiteral("09:05:07");
    const auto check = [&] {
        const ReportLines full = MakeReportLines(fix, sample, date, time);
        EXPECT_EQ(full.gSensor,
                  QStringLiteral("Датчик положения в пространстве : X= 0.12500000, Y= -0.25000000, Z= 1.00000000"));
        EXPECT_EQ(full.dateTime, QStringLiteral("Время : 2013-10-16 09:05:07"));
        EXPECT_EQ(full.speed, QStringLiteral("?? : 42.5 km/h"));
        EXPECT_EQ(full.latitude, QStringLiteral("Широта : 37.56650000"));
        EXPECT_EQ(full.longitude, QStringLiteral("Долгота : 126.97800000"));

        const ReportLines none = MakeReportLines(std::nullopt, std::nullopt, date, time);
        EXPECT_EQ(none.gSensor, QStringLiteral("Датчик положения в пространстве : X= N/A, Y= N/A, Z= N/A"));
        EXPECT_EQ(none.dateTime, full.dateTime);
        EXPECT_EQ(none.speed, QStringLiteral("?? : N/A"));
        EXPECT_EQ(none.latitude, QStringLiteral("Широта : N/A"));
        EXPECT_EQ(none.longitude, QStringLiteral("Долгота : N/A"));
    };
    check();
    testsupport::ScopedLocale comma("de_DE.UTF-8");
    KESTROV_REQUIRE_LOCALE(comma);
    check();
}

// ---- The wait for a snapshot file ----

class SnapshotWait : public ::testing::Test {
protected:
    ~SnapshotWait() override
    {
        if (writer.joinable())
            writer.join();
    }

    // Writes bytes to path after `delay`, the second half `gap` later.
    void WriteLater(const QByteArray& bytes, std::chrono::milliseconds delay, std::chrono::milliseconds gap)
    {
        writer = std::thread([=, this] {
            std::this_thread::sleep_for(delay);
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(bytes.left(bytes.size() / 2));
            file.flush();
            std::this_thread::sleep_for(gap);
            file.write(bytes.mid(bytes.size() / 2));
        });
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("shot.png"));
    std::thread writer;
    int served = 0;
    std::function<void()> serve = [this] { ++served; };
};

TEST_F(SnapshotWait, ALateFileIsTakenWholeEvenWhenWrittenInTwoHalves)
{
    const QByteArray bytes = testsupport::PngOf(QSize(64, 48), Qt::red);
    WriteLater(bytes, 150ms, 200ms);
    const QImage image = WaitForCompletePng(path, 3s, serve);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(64, 48));
    EXPECT_EQ(image.pixel(63, 47), QColor(Qt::red).rgb()) << "the last rows came with the second half";
    EXPECT_GE(served, 6) << "the hand-offs were served while waiting";
}

TEST_F(SnapshotWait, AFileThatNeverComesOrNeverDecodesGivesNothingWithinTheBound)
{
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(WaitForCompletePng(path, 300ms, serve).isNull());
    EXPECT_GE(std::chrono::steady_clock::now() - started, 300ms);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(testsupport::PngOf(QSize(64, 48), Qt::blue).left(40));
    file.close();
    EXPECT_TRUE(WaitForCompletePng(path, 300ms, serve).isNull()) << "a file cut short";
}

}  // namespace
