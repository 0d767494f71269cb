#include "SettingsDialogFixture.h"

#include "platform/dbus/UDisksCardFormatter.h"
#include "settings/SettingsDialogRules.h"
#include "support/EventLoop.h"
#include "support/FakeUDisksBus.h"

#include <QSignalSpy>
#include <QTest>
#include <sys/sysmacros.h>

using namespace settingstest;
using testsupport::FakeCardFormatter;
using Answer = UserNotifier::Button;
using Method = FakeCardFormatter::Method;

namespace {

class CardFormat : public SettingsDialogTest {
public:
    // Two cards; the dialog opened on the second.
    void OpenOnCard()
    {
        other = AddCard("OTHER", 0);
        card = AddCard("CARD", 1);
        OpenDialog(card);
    }

    void RunFormat(std::vector<Answer> answers)
    {
        notifier.ScriptAnswers(std::move(answers));
        Button(1018)->click();
        ASSERT_TRUE(testsupport::RunUntil([&] { return !dialog->Busy(); }));
    }

    std::vector<Method> Methods() const
    {
        std::vector<Method> methods;
        for (const FakeCardFormatter::Call& call : formatter->Calls())
            methods.push_back(call.method);
        return methods;
    }

    QString ConfirmText() const
    {
        const std::optional<DriveInfo> drive = drives->Find(card);
        return FormatConfirmationText(drive.value(), "CARD(" + card + ")");
    }

    QString other;
    QString card;
};

TEST_F(CardFormat, FollowsTheAnswersTheGuardAndTheOutcome)
{
    struct Case {
        const char* name;
        std::vector<Answer> answers;
        std::optional<FormatOutcome> scripted;
        std::function<void(CardFormat&)> arrange;
        std::vector<Method> calls;
        int stops;
        std::function<std::vector<QString>(CardFormat&)> boxes;
    };
    const QString ask = Text(227);
    const std::vector<Case> cases = {
        {"Cancel on the first question", {Answer::Cancel}, {}, {}, {}, 0, [&](CardFormat&) {
             return std::vector<QString>{ask};
         }},
        {"read-only card", {Answer::Ok}, {}, [](CardFormat& t) {
             t.fixture.Unplug(t.card);
             testsupport::FixtureDevice locked = Card(1, "CARD");
             locked.readOnly = true;
             t.fixture.AddDrive(locked, t.card.toUtf8());
         }, {}, 0, [&](CardFormat&) {
             return std::vector<QString>{ask, Text(7005) + "\n" + Text(7010)};
         }},
        {"Cancel on the second question", {Answer::Ok, Answer::Cancel}, {}, {}, {Method::SetLabel}, 1,
         [&](CardFormat& t) { return std::vector<QString>{ask, t.ConfirmText()}; }},
        {"formatted", {Answer::Ok, Answer::Ok}, {}, {}, {Method::SetLabel, Method::Format}, 1,
         [&](CardFormat& t) { return std::vector<QString>{ask, t.ConfirmText()}; }},
        {"label not set: the format goes on", {Answer::Ok, Answer::Ok},
         CardFormatter::Failure(FormatProblem::Failed, "fatlabel failed"), {}, {Method::SetLabel, Method::Format}, 1,
         [&](CardFormat& t) { return std::vector<QString>{ask, t.ConfirmText()}; }},
        {"format failed", {Answer::Ok, Answer::Ok}, CardFormatter::Failure(FormatProblem::Failed, "mkfs failed"),
         [](CardFormat& t) { t.formatter->Script(CardFormatter::Success()); }, {Method::SetLabel, Method::Format}, 1,
         [&](CardFormat& t) { return std::vector<QString>{ask, t.ConfirmText(), Text(7005)}; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        formatter = std::make_shared<FakeCardFormatter>();
        stops = 0;
        notifier.Clear();
        OpenOnCard();
        if (c.arrange)
            c.arrange(*this);
        if (c.scripted)
            formatter->Script(*c.scripted);
        Choose(List(1056), 4);
        RunFormat(c.answers);

        EXPECT_EQ(Methods(), c.calls);
        for (const FakeCardFormatter::Call& call : formatter->Calls()) {
            EXPECT_EQ(call.drive.root, card) << "only the selected card";
            EXPECT_EQ(call.label, "Tarsim");
        }
        EXPECT_EQ(stops, c.stops);
        EXPECT_EQ(MessageTexts(), c.boxes(*this));
        const std::vector<RecordingNotifier::Box> boxes = notifier.Boxes();
        EXPECT_EQ(boxes[0].defaultButton, Answer::Ok);
        if (boxes.size() > 1 && boxes[1].kind == RecordingNotifier::Kind::Asked) {
            EXPECT_EQ(boxes[1].defaultButton, Answer::Cancel) << "the second question defaults to Cancel";
        }
        EXPECT_EQ(List(1015)->currentText(), "CARD(" + card + ")");
        EXPECT_EQ(dialog->currentSetup->spkVol, 4) << "the model keeps its values";
        fixture.Unplug(card);
        fixture.Unplug(other);
    }
}

TEST_F(CardFormat, RamDiskIsRefusedBeforeAnythingStops)
{
    fixture.AddDrive({.name = "zram0", .major = 252, .minor = 0, .label = "RAM"}, fixture.MakeFolder("RAM").toUtf8(),
                     "ext4");
    const QString ram = drives->Listed().front().root;
    OpenDialog(ram);
    ASSERT_TRUE(Button(1018)->isEnabled());
    RunFormat({Answer::Ok});
    EXPECT_TRUE(formatter->Calls().empty());
    EXPECT_EQ(stops, 0);
    EXPECT_EQ(formattersMade, 0) << "the formatter is made at the first format that gets that far";
    EXPECT_EQ(MessageTexts(), (std::vector<QString>{Text(227), Text(7005) + "\n" + Text(7009)}));
}

TEST_F(CardFormat, WhileFormattingTheDialogTakesNoInputThenSelectsTheCardWhereverItIs)
{
    OpenOnCard();
    const QString confirm = ConfirmText();
    dialog->show();
    Choose(List(1056), 0);
    formatter->Hold(true);
    notifier.ScriptAnswers({Answer::Ok, Answer::Ok});
    Button(1018)->click();
    ASSERT_TRUE(testsupport::RunUntil([&] { return formatter->Calls().size() == 1; }));
    formatter->Release();
    ASSERT_TRUE(testsupport::RunUntil([&] { return formatter->Calls().size() == 2; }));
    ASSERT_TRUE(dialog->Busy());

    QSignalSpy finished(dialog.get(), &QDialog::finished);
    Button(1054)->click();
    Button(1055)->click();
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    dialog->close();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(finished.count(), 0);
    EXPECT_FALSE(List(1015)->isEnabled());
    EXPECT_FALSE(Button(1054)->isEnabled());

    // Meanwhile a stick that sorts first is plugged in, and the card comes
    // back under its new label at a new folder.
    fixture.AddDrive({.name = "sdh1", .disk = "sdh", .major = 8, .minor = 113, .label = "STICK", .removable = true},
                     "/media/a/STICK");
    fixture.Unplug(card);
    const QString moved = fixture.MakeFolder("Tarsim") + '/';
    testsupport::FixtureDevice renamed = Card(1, "Tarsim");
    renamed.uuid = "5678-0001";
    fixture.AddDrive(renamed, moved.toUtf8());
    formatter->Release();
    ASSERT_TRUE(testsupport::RunUntil([&] { return !dialog->Busy(); }));

    EXPECT_EQ(List(1015)->itemText(0), "STICK(/media/a/STICK/)");
    EXPECT_EQ(List(1015)->currentText(), "Tarsim(" + moved + ")");
    EXPECT_TRUE(Button(1018)->isEnabled());
    EXPECT_TRUE(List(1015)->isEnabled());
    EXPECT_EQ(dialog->currentSetup->spkVol, 0) << "the edit survives the format";
    EXPECT_EQ(List(1056)->currentText(), "Отключено");
    Get<QCheckBox>(1029)->click();
    Button(1054)->click();
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(testsupport::ReadFileBytes(moved + "time.cfg"), TimeFile13) << "written under the new root";
    EXPECT_EQ(dialog->options.drivePath, moved);
    EXPECT_EQ(static_cast<CVelmarkSetupData*>(dialog->setupData)->basePath, moved);
    EXPECT_EQ(MessageTexts(), (std::vector<QString>{Text(227), confirm}));
}

TEST_F(CardFormat, CardGoneAfterTheFormatLeavesNothingChosen)
{
    OpenOnCard();
    formatter->Hold(true);
    notifier.ScriptAnswers({Answer::Ok, Answer::Ok});
    Button(1018)->click();
    ASSERT_TRUE(testsupport::RunUntil([&] { return formatter->Calls().size() == 1; }));
    formatter->Script(CardFormatter::Success({}, FormatNotice::NotRemounted, "put it back"));
    formatter->Release();
    ASSERT_TRUE(testsupport::RunUntil([&] { return formatter->Calls().size() == 2; }));
    fixture.Unplug(card);
    formatter->Release();
    ASSERT_TRUE(testsupport::RunUntil([&] { return !dialog->Busy(); }));

    EXPECT_EQ(List(1015)->count(), 1);
    EXPECT_EQ(List(1015)->currentIndex(), -1);
    EXPECT_FALSE(Button(1018)->isEnabled());
    EXPECT_EQ(notifier.Boxes().back().text, Text(7006));
    notifier.Clear();
    Button(1054)->click();
    EXPECT_EQ(MessageTexts(), std::vector<QString>{Text(297)});
}

// The program's chain (guard, then udisks2) over a bus that answers as
// udisks2 does.
TEST_F(CardFormat, UdisksAnswersAreWordedForTheUser)
{
    struct Case {
        const char* name;
        std::function<void(testsupport::FakeUDisksBus&)> arrange;
        quint64 sectors;
        QString message;
    };
    const std::vector<Case> cases = {
        {"busy", [](auto& bus) {
             bus.SetError("Unmount", "org.freedesktop.UDisks2.Error.DeviceBusy", "target is busy");
         }, 62333952, Text(7005) + "\n" + Text(7012)},
        {"not authorised", [](auto& bus) {
             bus.SetError("Unmount", "org.freedesktop.UDisks2.Error.NotAuthorizedCanObtain", "no");
         }, 62333952, Text(7005) + "\n" + Text(7013)},
        {"small card, old udisks2", [](auto&) {}, 524288, Text(7015)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        notifier.Clear();
        testsupport::FixtureDevice device = Card(0, "CARD");
        device.sectors = c.sectors;
        const QString root = fixture.MakeFolder(QString::fromLatin1(c.name).replace(' ', '-')) + '/';
        fixture.AddDrive(device, root.toUtf8());
        auto bus = std::make_shared<testsupport::FakeUDisksBus>();
        bus->SetValue("ResolveDevice", QStringList{"/org/freedesktop/UDisks2/block_devices/sdb1"});
        bus->SetValue("GetAll org.freedesktop.UDisks2.Block",
                      QVariantMap{{"DeviceNumber", QVariant::fromValue<qulonglong>(makedev(8, 17))},
                                  {"HintSystem", false},
                                  {"ReadOnly", false}});
        bus->SetValue("Get org.freedesktop.UDisks2.Manager Version", QString("2.9.0"));
        bus->SetValue("Mount", root);
        c.arrange(*bus);

        auto chain = std::make_shared<GuardedCardFormatter>(drives, std::make_unique<UDisksCardFormatter>(bus));
        dialog = std::make_unique<CVelmarkOptionDlg>(
            SettingsServices{.drives = drives,
                             .makeFormatter = [chain] { return chain; },
                             .notifier = notifier,
                             .clock = [this] { return now; },
                             .stopPlayback = {}},
            [this] { return NewModel(); });
        dialog->setupData = NewModel();
        dialog->options.drivePath = root;
        dialog->OnInitDialog();
        RunFormat({Answer::Ok, Answer::Ok});
        ASSERT_EQ(notifier.Count(), 3u);
        EXPECT_EQ(notifier.Boxes()[2].text, c.message);
        EXPECT_EQ(List(1015)->currentText(), "CARD(" + root + ")");
        fixture.Unplug(root);
    }
}

}  // namespace
