#include "platform/MkfsCardFormatter.h"

#include "support/EventLoop.h"
#include "support/FileFixtures.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <deque>

namespace {

// Records every command line, then runs it (or answers from a script).
class RecordingRunner : public CommandRunner {
public:
    explicit RecordingRunner(std::shared_ptr<CommandRunner> real = nullptr) : real(std::move(real)) {}

    void Run(const QString& program, const QStringList& arguments, Done done) override
    {
        commands.append(QStringList{program} + arguments);
        if (real) {
            real->Run(program, arguments, std::move(done));
            return;
        }
        CommandResult result;
        result.started = true;
        result.exitCode = 0;
        if (!exitCodes.empty()) {
            result.exitCode = exitCodes.front();
            exitCodes.pop_front();
        }
        result.output = result.exitCode == 0 ? QString() : QStringLiteral("umount: target is busy.");
        done(result);
    }

    QList<QStringList> commands;
    std::deque<int> exitCodes;

private:
    std::shared_ptr<CommandRunner> real;
};

QByteArray BootSector(const QString& image)
{
    QFile file(image);
    return file.open(QIODevice::ReadOnly) ? file.read(512) : QByteArray();
}

FormatOutcome Await(const std::function<void(FormatDone)>& start)
{
    std::optional<FormatOutcome> outcome;
    start([&](const FormatOutcome& result) { outcome = result; });
    EXPECT_FALSE(outcome) << "done ran inside the call";
    EXPECT_TRUE(testsupport::RunUntil([&] { return outcome.has_value(); }));
    return outcome.value_or(FormatOutcome{});
}

class MkfsFormatter : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::EnsureCoreApplication();
        ASSERT_TRUE(folder.isValid());
        node = folder.filePath("node");
        testsupport::WriteFileBytes(node, QByteArray(4096, '\0'));
        card.root = "/media/u/CARD/";
        card.deviceNode = node;
    }

    QTemporaryDir folder;
    QString node;
    DriveInfo card;
};

TEST_F(MkfsFormatter, UnmountsThenFormatsWithArgumentListsAndNoRemount)
{
    auto runner = std::make_shared<RecordingRunner>();
    MkfsCardFormatter formatter(runner);
    const FormatOutcome outcome = Await([&](FormatDone done) { formatter.Format(card, "Tarsim", done); });
    EXPECT_TRUE(outcome.ok);
    EXPECT_TRUE(outcome.newRoot.isEmpty());
    EXPECT_EQ(outcome.notice, FormatNotice::NotRemounted) << "asks to insert the card again";
    EXPECT_FALSE(outcome.note.isEmpty());
    EXPECT_EQ(runner->commands, QList<QStringList>({{"umount", "/media/u/CARD/"},
                                                    {"mkfs.vfat", "-F", "32", "--mbr=n", "-n", "Tarsim", node}}));
}

TEST_F(MkfsFormatter, BusyUnmountStopsBeforeMkfs)
{
    auto runner = std::make_shared<RecordingRunner>();
    runner->exitCodes = {32};
    MkfsCardFormatter formatter(runner);
    const FormatOutcome outcome = Await([&](FormatDone done) { formatter.Format(card, "Tarsim", done); });
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.problem, FormatProblem::Failed);
    EXPECT_TRUE(outcome.reason.contains("target is busy"));
    EXPECT_EQ(runner->commands.size(), 1);
}

TEST_F(MkfsFormatter, WithoutWriteAccessToTheNodeAsksForUdisks)
{
    auto runner = std::make_shared<RecordingRunner>();
    MkfsCardFormatter formatter(runner);
    card.deviceNode = folder.filePath("missing/node");
    for (bool format : {true, false}) {
        const FormatOutcome outcome = Await([&](FormatDone done) {
            if (format)
                formatter.Format(card, "Tarsim", done);
            else
                formatter.SetLabel(card, "Tarsim", done);
        });
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.problem, FormatProblem::Unavailable);
        EXPECT_EQ(outcome.reason, "formatting needs the udisks2 service");
    }
    EXPECT_TRUE(runner->commands.isEmpty());
}

// The real tools on a sparse image file, never on a device.
TEST_F(MkfsFormatter, FormatsAnImageAsFat32LabelledTarsimThenRelabels)
{
    if (QStandardPaths::findExecutable("mkfs.vfat").isEmpty() || QStandardPaths::findExecutable("fatlabel").isEmpty())
        GTEST_SKIP() << "mkfs.vfat or fatlabel is not installed (package dosfstools)";
    const QString image = folder.filePath("card.img");
    ASSERT_EQ(QProcess::execute("truncate", {"-s", "64M", image}), 0);

    auto runner = std::make_shared<RecordingRunner>(std::make_shared<ProcessCommandRunner>());
    MkfsCardFormatter formatter(runner);
    DriveInfo drive;
    drive.deviceNode = image;

    FormatOutcome outcome = Await([&](FormatDone done) { formatter.Format(drive, "Tarsim", done); });
    ASSERT_TRUE(outcome.ok) << outcome.reason.toStdString();
    EXPECT_EQ(runner->commands, QList<QStringList>({{"mkfs.vfat", "-F", "32", "--mbr=n", "-n", "Tarsim", image}}));
    QByteArray boot = BootSector(image);
    EXPECT_EQ(boot.mid(0x47, 11), QByteArray("Tarsim     "));
    EXPECT_EQ(boot.mid(0x52, 8), QByteArray("FAT32   "));

    outcome = Await([&](FormatDone done) { formatter.SetLabel(drive, "CARD", done); });
    ASSERT_TRUE(outcome.ok) << outcome.reason.toStdString();
    EXPECT_EQ(runner->commands.last(), QStringList({"fatlabel", image, "CARD"}));
    boot = BootSector(image);
    EXPECT_EQ(boot.mid(0x47, 11), QByteArray("CARD       "));
}

}  // namespace
