#include "SettingsDialogFixture.h"

#include "settings/SettingsDialogRules.h"

using namespace settingstest;
using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

namespace {

class Session : public SettingsDialogTest {
protected:
    // A session over the caller's options; act drives the open dialog and
    // the runner returns its result, as exec() would.
    std::unique_ptr<SettingsSession> Run(const OptionRecord& options, std::function<void(CVelmarkOptionDlg&)> act)
    {
        auto session = std::make_unique<SettingsSession>(Services());
        session->options = options;
        session->SetDialogRunner([&](QDialog& shown) {
            auto& dialog = static_cast<CVelmarkOptionDlg&>(shown);
            dialog.OnInitDialog();
            current = &dialog;
            act(dialog);
            return dialog.result();
        });
        session->Run();
        return session;
    }

    template <typename T>
    T* At(int id) const
    {
        return current->Controls().Get<T>(id);
    }
    int Entry(const QString& label) const
    {
        QComboBox* list = At<QComboBox>(1015);
        for (int i = 0; i < list->count(); ++i) {
            if (list->itemText(i).startsWith(label + u'('))
                return i;
        }
        return -1;
    }
    void Save() const { At<QPushButton>(1054)->click(); }

    CVelmarkOptionDlg* current = nullptr;
};

OptionRecord WithDrive(const QString& root)
{
    OptionRecord options;
    options.drivePath = root;
    options.saveDirectory = "/home/u/shots";
    options.playValue = 3;
    return options;
}

TEST_F(Session, CancelWritesNothingAndGivesTheOptionsBack)
{
    const QString e = AddCard("E", 0);
    const QString f = AddCard("F", 1);
    const OptionRecord input = WithDrive(e);
    const auto session = Run(input, [&](CVelmarkOptionDlg& dialog) {
        Choose(At<QComboBox>(1015), Entry("F"));
        At<QSlider>(1061)->setValue(9);
        dialog.OnBnClickedCancel();
    });
    EXPECT_TRUE(Snapshot(e).empty());
    EXPECT_TRUE(Snapshot(f).empty());
    EXPECT_EQ(OptionFields(session->GetOptionRecord()), OptionFields(input));
    EXPECT_EQ(notifier.Count(), 0u);
}

TEST_F(Session, OkWritesTheModelInUseToItsCardOnly)
{
    const QString e = AddCard("E", 0);
    const QString f = AddCard("F", 1);
    const auto session = Run(WithDrive(e), [&](CVelmarkOptionDlg&) {
        Choose(At<QComboBox>(1015), Entry("E"));
        Choose(At<QComboBox>(1056), 0);
        Choose(At<QComboBox>(1015), Entry("F"));
        Choose(At<QComboBox>(1058), 3);
        At<QSlider>(1061)->setValue(9);
        Save();
    });
    EXPECT_TRUE(Snapshot(e).empty());
    QByteArray expected = DefaultSetupFile;
    expected.replace(SetupLine("Acc Trigger Level", "2"), SetupLine("Acc Trigger Level", "3"));
    EXPECT_EQ(ReadFileBytes(f + "TARSIM/config/setup.cfg"), expected);
    EXPECT_EQ(session->GetOptionRecord().drivePath, f);
    EXPECT_EQ(session->GetOptionRecord().playValue, 9);
    EXPECT_EQ(session->GetOptionRecord().saveDirectory, "/home/u/shots");
    EXPECT_EQ(notifier.Count(), 0u);
}

TEST_F(Session, UntouchedOkWritesBackWhatItRead)
{
    const QString root = AddCard("CARD", 0);
    QByteArray file = DefaultSetupFile;
    file.replace(SetupLine("Video Quality", "8"), SetupLine("Video Quality", "5"));
    file.replace(SetupLine("Time Zone", "13"), SetupLine("Time Zone", "40"));
    WriteFileBytes(root + "TARSIM/config/setup.cfg", file);
    Run(WithDrive(root), [&](CVelmarkOptionDlg&) { Save(); });
    EXPECT_EQ(ReadFileBytes(root + "TARSIM/config/setup.cfg"), file);
}

TEST_F(Session, ClockFileComesFromTheDialogAndSetupFileAfterIt)
{
    const QString root = AddCard("CARD", 0);
    bool setupFileAtReturn = true;
    bool timeFileAtReturn = false;
    auto session = std::make_unique<SettingsSession>(Services());
    session->options = WithDrive(root);
    session->SetDialogRunner([&](QDialog& shown) {
        auto& dialog = static_cast<CVelmarkOptionDlg&>(shown);
        dialog.OnInitDialog();
        dialog.Controls().Get<QCheckBox>(1029)->click();
        dialog.OnBnClickedSave();
        timeFileAtReturn = testsupport::Exists(root + "time.cfg");
        setupFileAtReturn = testsupport::Exists(root + "TARSIM/config/setup.cfg");
        return dialog.result();
    });
    session->Run();
    EXPECT_TRUE(timeFileAtReturn);
    EXPECT_FALSE(setupFileAtReturn);
    EXPECT_EQ(ReadFileBytes(root + "time.cfg"), TimeFile13);
    EXPECT_EQ(ReadFileBytes(root + "TARSIM/config/setup.cfg"), DefaultSetupFile);
}

TEST_F(Session, DefaultsThenOkWriteTheDefaultFileAndDefaultOptions)
{
    const QString root = AddCard("CARD", 0);
    WriteFileBytes(root + "TARSIM/config/setup.cfg", SetupLine("SPK Vol", "4") + SetupLine("Time Zone", "3"));
    OptionRecord input = WithDrive(root);
    input.useLog = true;
    input.ch2HorizontalFlip = true;
    const auto session = Run(input, [&](CVelmarkOptionDlg&) {
        Choose(At<QComboBox>(1058), 0);
        WriteFileBytes(root + "TARSIM/config/setup.cfg", SetupLine("SPK Vol", "1"));
        At<QPushButton>(1053)->click();
        Save();
    });
    EXPECT_EQ(DefaultSetupFile.size(), 651);
    EXPECT_EQ(ReadFileBytes(root + "TARSIM/config/setup.cfg"), DefaultSetupFile);
    OptionRecord expected;
    expected.drivePath = root;
    EXPECT_EQ(OptionFields(session->GetOptionRecord()), OptionFields(expected));
}

TEST_F(Session, FailedSetupWriteIsShownAndKeepsTheOldFile)
{
    struct Case {
        const char* name;
        std::function<void(Session&, const QString& root)> arrange;  // before the dialog
        std::function<void(Session&, const QString& root)> afterOk;   // between OK and the write
        std::function<QString(const QString& root)> message;
    };
    const std::vector<Case> cases = {
        {"a file named TARSIM",
         [](Session&, const QString& root) { WriteFileBytes(root + "TARSIM", "not a folder"); }, {},
         [](const QString& root) {
             return Text(7001) + "\n" + Text(7007) + "\n" + UserNotifier::FileErrorText(root + "TARSIM", ENOTDIR);
         }},
        {"card pulled after OK",
         [](Session&, const QString& root) { WriteFileBytes(root + "TARSIM/config/setup.cfg", "old\r\n"); },
         [](Session& t, const QString& root) { t.fixture.Unplug(root); },
         [](const QString&) { return Text(7001) + "\n" + Text(7003); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        notifier.Clear();
        const QString root = AddCard(QString::fromLatin1(c.name).replace(' ', '-'), 0, "CARD");
        c.arrange(*this, root);
        const auto before = Snapshot(root);
        const auto session = Run(WithDrive(root), [&](CVelmarkOptionDlg&) {
            At<QSlider>(1061)->setValue(8);
            Save();
            if (c.afterOk)
                c.afterOk(*this, root);
        });
        EXPECT_EQ(MessageTexts(), std::vector<QString>{c.message(root)});
        EXPECT_EQ(Snapshot(root), before);
        EXPECT_EQ(session->GetOptionRecord().playValue, 8) << "the options are taken all the same";
        EXPECT_EQ(session->GetOptionRecord().drivePath, root);
        fixture.Unplug(root);
    }
}

TEST_F(Session, SettingsInTheWorkingFolderAreNeverReadOrWritten)
{
    const QString card = AddCard("CARD", 0);
    const QByteArray local = SetupLine("SPK Vol", "4") + SetupLine("Acc Trigger Level", "0");
    WriteFileBytes(workingFolder.Path() + "/TARSIM/config/setup.cfg", local);
    Run(WithDrive(QString()), [&](CVelmarkOptionDlg&) {
        EXPECT_EQ(At<QComboBox>(1056)->currentIndex(), -1);
        Save();
    });
    Run(WithDrive(card), [&](CVelmarkOptionDlg&) {
        EXPECT_EQ(At<QComboBox>(1056)->currentText(), "Нормально");
        Save();
    });
    EXPECT_EQ(MessageTexts(), std::vector<QString>{Text(297)});
    EXPECT_EQ(ReadFileBytes(workingFolder.Path() + "/TARSIM/config/setup.cfg"), local);
    EXPECT_EQ(ReadFileBytes(card + "TARSIM/config/setup.cfg"), DefaultSetupFile);
}

}  // namespace
