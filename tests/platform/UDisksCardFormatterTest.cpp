#include "platform/dbus/UDisksCardFormatter.h"

#include "support/EventLoop.h"
#include "support/FakeUDisksBus.h"

#include <gtest/gtest.h>
#include <QVariantMap>
#include <sys/sysmacros.h>

using testsupport::FakeUDisksBus;

namespace {

const QString BlockPath = QStringLiteral("/org/freedesktop/UDisks2/block_devices/sdb1");
const QString GetAllBlock = QStringLiteral("GetAll org.freedesktop.UDisks2.Block");
const QString GetVersion = QStringLiteral("Get org.freedesktop.UDisks2.Manager Version");
constexpr int TenMinutes = 10 * 60 * 1000;

class UDisksFormatter : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::EnsureCoreApplication();
        card.root = "/media/u/CARD/";
        card.deviceNode = "/dev/sdb1";
        card.deviceNumber = makedev(8, 17);
        card.kernelName = "sdb1";
        card.sizeBytes = 32ull << 30;
        bus->SetValue("ResolveDevice", QStringList{BlockPath});
        SetBlock(card.deviceNumber, false, false);
        bus->SetValue(GetVersion, QString("2.9.4"));
        bus->SetValue("Mount", QString("/media/u/TARSIM"));
    }

    void SetBlock(quint64 number, bool hintSystem, bool readOnly)
    {
        bus->SetValue(GetAllBlock, QVariantMap{{"DeviceNumber", QVariant::fromValue<qulonglong>(number)},
                                               {"HintSystem", hintSystem},
                                               {"ReadOnly", readOnly}});
    }

    FormatOutcome Run(bool format)
    {
        std::optional<FormatOutcome> outcome;
        auto done = [&](const FormatOutcome& result) { outcome = result; };
        if (format)
            formatter.Format(card, "Tarsim", done);
        else
            formatter.SetLabel(card, "Tarsim", done);
        EXPECT_FALSE(outcome) << "done ran inside the call";
        EXPECT_TRUE(testsupport::RunUntil([&] { return outcome.has_value(); }));
        return outcome.value_or(FormatOutcome{});
    }

    const UDisksCall* Find(const QString& key) const
    {
        for (const UDisksCall& call : bus->Calls()) {
            if (FakeUDisksBus::KeyOf(call) == key)
                return &call;
        }
        return nullptr;
    }

    std::shared_ptr<FakeUDisksBus> bus = std::make_shared<FakeUDisksBus>();
    UDisksCardFormatter formatter{bus};
    DriveInfo card;
};

TEST_F(UDisksFormatter, FormatsInTheDecidedOrderWithItsArgumentsAndTimeouts)
{
    const FormatOutcome outcome = Run(true);
    EXPECT_TRUE(outcome.ok) << outcome.reason.toStdString();
    EXPECT_EQ(outcome.newRoot, "/media/u/TARSIM/");
    EXPECT_EQ(bus->Keys(), QStringList({"ResolveDevice", GetAllBlock, GetVersion, "Unmount", "Format", "Mount"}));

    const std::vector<UDisksCall>& calls = bus->Calls();
    EXPECT_EQ(calls[0].objectPath, "/org/freedesktop/UDisks2/Manager");
    EXPECT_EQ(calls[0].interface, "org.freedesktop.UDisks2.Manager");
    EXPECT_EQ(calls[0].arguments.value(0).toMap(), QVariantMap({{"path", "/dev/sdb1"}}));
    EXPECT_EQ(calls[1].objectPath, BlockPath);
    EXPECT_EQ(calls[2].objectPath, "/org/freedesktop/UDisks2/Manager");
    for (std::size_t i = 3; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].objectPath, BlockPath);
        EXPECT_EQ(calls[i].timeoutMs, TenMinutes) << calls[i].method.toStdString();
    }
    EXPECT_EQ(calls[3].interface, "org.freedesktop.UDisks2.Filesystem");
    EXPECT_EQ(calls[3].arguments.value(0).toMap(), QVariantMap()) << "never a forced unmount";
    EXPECT_EQ(calls[4].interface, "org.freedesktop.UDisks2.Block");
    EXPECT_EQ(calls[4].arguments.value(0).toString(), "vfat");
    EXPECT_EQ(calls[4].arguments.value(1).toMap(), QVariantMap({{"label", "Tarsim"}, {"update-partition-type", true}}));
    EXPECT_EQ(calls[5].interface, "org.freedesktop.UDisks2.Filesystem");
    for (const UDisksCall& call : calls)
        EXPECT_TRUE(call.interactive) << call.method.toStdString();
}

TEST_F(UDisksFormatter, AsksForFat32OnlyWhereUdisksTakesMkfsArgs)
{
    bus->SetValue(GetVersion, QString("2.10.0"));
    ASSERT_TRUE(Run(true).ok);
    const QVariantMap options = Find("Format")->arguments.value(1).toMap();
    EXPECT_EQ(options.value("mkfs-args").toStringList(), QStringList({"-F", "32"}));
    EXPECT_FALSE(options.contains("erase"));
}

TEST_F(UDisksFormatter, NotesFat16ForASmallCardOnOldUdisks)
{
    card.sizeBytes = 256ull << 20;
    const FormatOutcome outcome = Run(true);
    ASSERT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.notice, FormatNotice::Fat16);
    EXPECT_TRUE(outcome.note.contains("FAT16")) << outcome.note.toStdString();

    card.sizeBytes = 512ull << 20;
    EXPECT_EQ(Run(true).notice, FormatNotice::None);
}

TEST_F(UDisksFormatter, CardNotMountedAgainIsASuccessWithItsNotice)
{
    bus->SetError("Mount", "org.freedesktop.UDisks2.Error.Failed", "Error mounting: no medium");
    const FormatOutcome outcome = Run(true);
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.notice, FormatNotice::NotRemounted);
    EXPECT_TRUE(outcome.newRoot.isEmpty());
    EXPECT_TRUE(outcome.note.contains("no medium"));
}

TEST_F(UDisksFormatter, ErrorNamesGiveTheProblemTheUserIsTold)
{
    const std::vector<std::pair<QString, FormatProblem>> rows = {
        {"org.freedesktop.UDisks2.Error.DeviceBusy", FormatProblem::Busy},
        {"org.freedesktop.UDisks2.Error.NotAuthorized", FormatProblem::NotAuthorized},
        {"org.freedesktop.UDisks2.Error.NotAuthorizedCanObtain", FormatProblem::NotAuthorized},
        {"org.freedesktop.UDisks2.Error.NotAuthorizedDismissed", FormatProblem::NotAuthorized},
        {"org.freedesktop.UDisks2.Error.Cancelled", FormatProblem::NotAuthorized},
        {"org.freedesktop.DBus.Error.ServiceUnknown", FormatProblem::Unavailable},
        {"org.freedesktop.UDisks2.Error.Failed", FormatProblem::Failed},
        {"org.freedesktop.DBus.Error.NoReply", FormatProblem::Failed},
    };
    for (const auto& [name, problem] : rows) {
        SCOPED_TRACE(name.toStdString());
        bus->SetError("Unmount", name, "text of " + name);
        const FormatOutcome outcome = Run(true);
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.problem, problem);
        EXPECT_EQ(outcome.reason, "text of " + name) << "the English text stays for the log";
        bus->SetError("SetLabel", name, "label");
        EXPECT_EQ(Run(false).problem, problem);
    }
}

TEST_F(UDisksFormatter, RefusesAnotherOrASystemDeviceBeforeChangingAnything)
{
    struct Case {
        const char* name;
        quint64 number;
        bool hintSystem;
        bool readOnly;
        FormatProblem problem;
    };
    for (const Case& c : {Case{"another device", makedev(8, 33), false, false, FormatProblem::Changed},
                          Case{"system device", makedev(8, 17), true, false, FormatProblem::SystemUse},
                          Case{"read-only", makedev(8, 17), false, true, FormatProblem::ReadOnly}}) {
        SCOPED_TRACE(c.name);
        bus = std::make_shared<FakeUDisksBus>();
        formatter = UDisksCardFormatter(bus);
        SetUp();
        SetBlock(c.number, c.hintSystem, c.readOnly);
        for (bool format : {true, false}) {
            const FormatOutcome outcome = Run(format);
            EXPECT_FALSE(outcome.ok);
            EXPECT_EQ(outcome.problem, c.problem);
        }
        EXPECT_EQ(bus->Keys(), QStringList({"ResolveDevice", GetAllBlock, "ResolveDevice", GetAllBlock}));
    }
}

TEST_F(UDisksFormatter, BusyCardIsAFailureAndIsNotFormatted)
{
    bus->SetError("Unmount", "org.freedesktop.UDisks2.Error.DeviceBusy", "Error unmounting /dev/sdb1: target is busy");
    const FormatOutcome outcome = Run(true);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.problem, FormatProblem::Busy);
    EXPECT_TRUE(outcome.reason.contains("target is busy"));
    EXPECT_FALSE(Find("Format"));
    EXPECT_FALSE(Find("Mount"));
}

TEST_F(UDisksFormatter, FailedFormatReportsItsTextAndStillMountsTheCard)
{
    bus->SetError("Format", "org.freedesktop.UDisks2.Error.Failed", "Error creating filesystem: mkfs failed");
    const FormatOutcome outcome = Run(true);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.problem, FormatProblem::Failed);
    EXPECT_EQ(outcome.reason, "Error creating filesystem: mkfs failed");
    EXPECT_TRUE(Find("Mount"));
}

TEST_F(UDisksFormatter, SetsTheLabelAfterTheSameChecks)
{
    const FormatOutcome outcome = Run(false);
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(bus->Keys(), QStringList({"ResolveDevice", GetAllBlock, "SetLabel"}));
    const UDisksCall* call = Find("SetLabel");
    EXPECT_EQ(call->objectPath, BlockPath);
    EXPECT_EQ(call->interface, "org.freedesktop.UDisks2.Filesystem");
    EXPECT_EQ(call->arguments.value(0).toString(), "Tarsim");
    EXPECT_EQ(call->timeoutMs, TenMinutes);

    bus->SetError("SetLabel", "org.freedesktop.UDisks2.Error.Failed", "no");
    EXPECT_FALSE(Run(false).ok);
}

TEST_F(UDisksFormatter, UnknownDeviceIsAFailure)
{
    bus->SetError("ResolveDevice", "org.freedesktop.UDisks2.Error.Failed", "not found");
    const FormatOutcome outcome = Run(true);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.problem, FormatProblem::Failed);
    EXPECT_EQ(bus->Keys(), QStringList({"ResolveDevice"}));

    bus->SetValue("ResolveDevice", QStringList{});
    EXPECT_EQ(Run(true).problem, FormatProblem::Gone) << "no object for the node: the card is not there";
}

}  // namespace
