#include "SettingsDialogFixture.h"

#include "platform/widgets/ChooseFolder.h"
#include "settings/SettingsDialogRules.h"

#include <QSignalSpy>

using namespace settingstest;
using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

namespace {

const std::vector<int> RecorderLists = {1058, 1063, 1056, 32796, 1031, 1030, 1032, 1072, 1094};
const std::vector<int> Radios = {1082, 1083, 1084, 1085, 1086, 1087, 1088, 1089, 1071, 1068};

class OptionDialog : public SettingsDialogTest {
protected:
    std::vector<int> CheckedRadios() const
    {
        std::vector<int> checked;
        for (int id : Radios) {
            if (Radio(id)->isChecked())
                checked.push_back(id);
        }
        return checked;
    }

    QStringList ShownTexts() const
    {
        QStringList texts;
        for (int id : RecorderLists)
            texts.append(List(id)->currentText());
        return texts;
    }
};

TEST_F(OptionDialog, CardWithoutFileShowsTheDefaults)
{
    const QString root = AddCard("CARD", 0);
    OpenDialog(root);
    EXPECT_EQ(List(1015)->currentText(), "CARD(" + root + ")");
    EXPECT_EQ(ShownTexts(), QStringList({"Средний уровен", "Высокий уровень", "Нормально", "Средний уровень", "30сек",
                                         "Высокий уровень", "24 ч", "11.8V", "+09:00"}));
    EXPECT_EQ(CheckedRadios(), (std::vector<int>{1082, 1084, 1086, 1088, 1071}));
    EXPECT_FALSE(Get<QCheckBox>(1029)->isChecked());
    EXPECT_FALSE(Get<QDateEdit>(1074)->isEnabled());
    EXPECT_FALSE(Get<QTimeEdit>(1075)->isEnabled());
    EXPECT_EQ(Get<QDateEdit>(1074)->date(), QDate(2013, 10, 16));
    EXPECT_EQ(Get<QTimeEdit>(1075)->time(), QTime(14, 5, 33));
    EXPECT_EQ(Get<QDateEdit>(1074)->text(), "13/10/16");
    EXPECT_EQ(Get<QTimeEdit>(1075)->text(), "14:05:33");
    EXPECT_EQ(Get<QLineEdit>(1062)->text(), "5");
    EXPECT_EQ(Get<QSlider>(1061)->value(), 5);
    EXPECT_TRUE(Button(1018)->isEnabled());
    EXPECT_EQ(notifier.Count(), 0u);
}

TEST_F(OptionDialog, ValuesWithoutAnEntryStayAsTheyAreUntilChosen)
{
    const QString root = AddCard("CARD", 0);
    WriteFileBytes(root + "TARSIM/config/setup.cfg",
                   SetupLine("Video Quality", "5") + SetupLine("Time Zone", "40") + SetupLine("Acc Trigger Level", "0"));
    OpenDialog(root);
    EXPECT_EQ(List(1063)->currentText(), "Высокий уровень");
    EXPECT_EQ(List(1094)->currentIndex(), -1);
    EXPECT_EQ(List(1058)->currentText(), "BIKE");
    // Showing stores nothing: not even the defaults, nor the track bar.
    dialog->RefreshControls();
    EXPECT_EQ(dialog->currentSetup->videoQuality, 5);
    EXPECT_EQ(dialog->currentSetup->timeZone, 40);
}

TEST_F(OptionDialog, UserChoicesStoreIntoTheModelAtOnce)
{
    const QString root = AddCard("CARD", 0);
    OpenDialog(root);
    CVelmarkSetupData& model = *dialog->currentSetup;

    struct ListRow {
        int id;
        int entry;
        int CVelmarkSetupData::*field;
        int value;
    };
    const std::vector<ListRow> lists = {
        {1058, 3, &CVelmarkSetupData::accTriggerLevel, 3}, {1063, 0, &CVelmarkSetupData::videoQuality, 4},
        {1063, 1, &CVelmarkSetupData::videoQuality, 6},    {1056, 4, &CVelmarkSetupData::spkVol, 4},
        {32796, 0, &CVelmarkSetupData::autoParkingMode, 0}, {1031, 3, &CVelmarkSetupData::lcdOffTime, 3},
        {1030, 0, &CVelmarkSetupData::lcdBrightness, 1},   {1032, 5, &CVelmarkSetupData::powerOffTime, 5},
        {1072, 3, &CVelmarkSetupData::powerOffVoltage, 3}, {1094, 20, &CVelmarkSetupData::timeZone, 20},
    };
    for (const ListRow& row : lists) {
        Choose(List(row.id), row.entry);
        EXPECT_EQ(model.*row.field, row.value) << row.id << " entry " << row.entry;
    }

    struct PairRow {
        int first;
        int second;
        int CVelmarkSetupData::*field;
    };
    for (const PairRow& pair : {PairRow{1082, 1083, &CVelmarkSetupData::recAudioEnable},
                                PairRow{1084, 1085, &CVelmarkSetupData::touchAudioEnable},
                                PairRow{1086, 1087, &CVelmarkSetupData::screenSaverEnable},
                                PairRow{1088, 1089, &CVelmarkSetupData::sdFormatReserved}}) {
        SCOPED_TRACE(pair.first);
        for (int repeat = 0; repeat < 2; ++repeat) {  // a second click keeps the check
            Radio(pair.second)->click();
            EXPECT_TRUE(Radio(pair.second)->isChecked());
            EXPECT_FALSE(Radio(pair.first)->isChecked());
            EXPECT_EQ(model.*pair.field, 0);
        }
        for (int repeat = 0; repeat < 2; ++repeat) {
            Radio(pair.first)->click();
            EXPECT_TRUE(Radio(pair.first)->isChecked());
            EXPECT_FALSE(Radio(pair.second)->isChecked());
            EXPECT_EQ(model.*pair.field, 1);
        }
    }

    model.powerOffVoltage = 2;
    Radio(1068)->click();
    EXPECT_TRUE(Radio(1068)->isChecked());
    EXPECT_FALSE(Radio(1071)->isChecked());
    EXPECT_EQ(List(1072)->currentText(), "24.2V");
    EXPECT_EQ(List(1072)->count(), 4);
    EXPECT_EQ(model.powerOffVoltage, 2);
    Radio(1071)->click();
    EXPECT_EQ(List(1072)->currentText(), "12.1V");
    EXPECT_EQ(model.powerOffVoltage, 2);

    Get<QSlider>(1061)->setValue(7);
    EXPECT_EQ(Get<QLineEdit>(1062)->text(), "7");
    EXPECT_EQ(dialog->options.playValue, 7) << "before anything is saved";

    Get<QCheckBox>(1029)->click();
    EXPECT_TRUE(Get<QDateEdit>(1074)->isEnabled());
    EXPECT_TRUE(Get<QTimeEdit>(1075)->isEnabled());
    Get<QCheckBox>(1029)->click();
    EXPECT_FALSE(Get<QDateEdit>(1074)->isEnabled());
    EXPECT_FALSE(Get<QTimeEdit>(1075)->isEnabled());
}

TEST_F(OptionDialog, EmptyDrivePathLeavesEverythingUnchosenAndSavesNothing)
{
    const QString root = AddCard("CARD", 0);
    OpenDialog(QString());
    QSignalSpy finished(dialog.get(), &QDialog::finished);
    EXPECT_EQ(List(1015)->count(), 1);
    EXPECT_EQ(List(1015)->currentIndex(), -1);
    for (int id : RecorderLists)
        EXPECT_EQ(List(id)->currentIndex(), -1) << id;
    EXPECT_TRUE(CheckedRadios().empty());
    EXPECT_FALSE(Button(1018)->isEnabled());
    EXPECT_FALSE(Get<QDateEdit>(1074)->isEnabled());

    const auto before = Snapshot(root);
    Get<QCheckBox>(1029)->click();
    Button(1054)->click();
    EXPECT_EQ(MessageTexts(), std::vector<QString>{"Выберите диск для файла конфигурации."});
    EXPECT_EQ(finished.count(), 0) << "stays open";
    EXPECT_EQ(Snapshot(root), before);
    EXPECT_TRUE(Snapshot(workingFolder.Path()).empty());
}

TEST_F(OptionDialog, DrivePathSelectsItsCardAndEachChoiceShowsThatCard)
{
    AddCard("ALPHA", 0);
    const QString bike = AddCard("BIKE", 1);
    const QString fresh = AddCard("FRESH", 2);
    WriteFileBytes(bike + "TARSIM/config/setup.cfg", SetupLine("Acc Trigger Level", "0"));

    for (const QString& drivePath : {bike, bike.chopped(1)}) {
        SCOPED_TRACE(drivePath.toStdString());
        OpenDialog(drivePath);
        EXPECT_EQ(List(1015)->currentIndex(), EntryOf("BIKE"));
        EXPECT_EQ(List(1058)->currentText(), "BIKE");
        EXPECT_EQ(dialog->currentSetup->basePath, bike);
        EXPECT_EQ(dialog->initialDrive, drivePath);
    }

    CVelmarkSetupData* bikeModel = dialog->currentSetup;
    Choose(List(1015), EntryOf("FRESH"));
    EXPECT_NE(dialog->currentSetup, bikeModel) << "a new model";
    EXPECT_EQ(dialog->currentSetup->basePath, fresh);
    EXPECT_EQ(List(1058)->currentText(), "Средний уровен");

    Choose(List(1056), 0);
    CVelmarkSetupData* freshModel = dialog->currentSetup;
    Choose(List(1015), EntryOf("FRESH"));
    EXPECT_EQ(dialog->currentSetup, freshModel) << "choosing the same card again keeps the edits";
    EXPECT_EQ(freshModel->spkVol, 0);
    EXPECT_EQ(List(1056)->currentText(), "Отключено");
}

TEST_F(OptionDialog, DrivePathOfAnAbsentDriveChoosesNothing)
{
    AddCard("CARD", 0);
    WriteFileBytes(workingFolder.Path() + "/TARSIM/config/setup.cfg", SetupLine("SPK Vol", "4"));
    OpenDialog("/media/u/GONE/");
    EXPECT_EQ(List(1015)->currentIndex(), -1);
    EXPECT_TRUE(dialog->currentSetup->basePath.isEmpty());
    EXPECT_EQ(List(1056)->currentText(), "Нормально") << "nothing read from the working folder";
    EXPECT_FALSE(Button(1018)->isEnabled());
    Button(1054)->click();
    EXPECT_EQ(MessageTexts(), std::vector<QString>{Text(297)});
}

TEST_F(OptionDialog, FormatButtonFollowsTheSelectedDrivesTypeNow)
{
    const QString card = AddCard("CARD", 0);
    fixture.AddDrive({.name = "zram0", .major = 252, .minor = 0}, fixture.MakeFolder("ZRAM").toUtf8(), "ext4");
    fixture.AddDrive({.name = "sdf1", .disk = "sdf", .major = 8, .minor = 81, .label = "HDD"},
                     fixture.MakeFolder("HDD").toUtf8(), "ext4");
    fixture.AddMount({.mountPoint = fixture.MakeFolder("NFS").toUtf8(), .fsType = "nfs4", .source = "server:/x"});
    OpenDialog(card);
    ASSERT_EQ(List(1015)->count(), 4);

    const auto chooseRoot = [&](const QString& ending) {
        for (int i = 0; i < List(1015)->count(); ++i) {
            if (List(1015)->itemText(i).endsWith(ending + "/)"))
                Choose(List(1015), i);
        }
        return Button(1018)->isEnabled();
    };
    EXPECT_TRUE(chooseRoot("ZRAM"));
    EXPECT_FALSE(chooseRoot("HDD"));
    EXPECT_TRUE(chooseRoot("CARD"));
    EXPECT_FALSE(chooseRoot("NFS")) << "a remote drive after a card";
    EXPECT_TRUE(chooseRoot("CARD"));
    fixture.Unplug(card);
    EXPECT_FALSE(chooseRoot("HDD"));
    EXPECT_FALSE(chooseRoot("CARD")) << "pulled since the list was filled";
}

TEST_F(OptionDialog, SaveWritesTheClockFileOnlyWhenAskedAndNamesTheChosenCard)
{
    const QString first = AddCard("FIRST", 0);
    const QString second = AddCard("SECOND", 1);
    for (bool clock : {false, true}) {
        SCOPED_TRACE(clock);
        OpenDialog(first);
        QSignalSpy accepted(dialog.get(), &QDialog::accepted);
        Choose(List(1015), EntryOf("SECOND"));
        if (clock) {
            Get<QCheckBox>(1029)->click();
            Get<QDateEdit>(1074)->setDate(QDate(2013, 10, 16));
            Get<QTimeEdit>(1075)->setTime(QTime(14, 5, 33));
            now = QDateTime(QDate(2020, 2, 2), QTime(2, 2, 2));  // the pickers count, not the clock
        }
        Button(1054)->click();
        EXPECT_EQ(accepted.count(), 1);
        EXPECT_EQ(dialog->setupData, dialog->currentSetup);
        EXPECT_EQ(dialog->options.drivePath, second);
        EXPECT_EQ(testsupport::Exists(second + "time.cfg"), clock);
        if (clock) {
            EXPECT_EQ(ReadFileBytes(second + "time.cfg"), TimeFile13) << "written before the dialog returns";
        }
        EXPECT_FALSE(testsupport::Exists(second + "TARSIM")) << "setup.cfg is the session's";
        EXPECT_TRUE(Snapshot(first).empty());
        EXPECT_EQ(notifier.Count(), 0u);
    }
}

TEST_F(OptionDialog, FailedSaveKeepsTheDialogOpenAndTheCardAsItWas)
{
    struct Case {
        const char* name;
        std::function<void(SettingsDialogTest&, const QString& root)> arrange;
        std::function<QString(const QString& root)> message;  // empty: saved
    };
    const std::vector<Case> cases = {
        {"card pulled", [](SettingsDialogTest& t, const QString& root) { t.fixture.Unplug(root); },
         [](const QString&) { return Text(7003); }},
        {"time.cfg is a folder",
         [](SettingsDialogTest&, const QString& root) {
             QFile::remove(root + "time.cfg");
             QDir().mkpath(root + "time.cfg/keep");
         },
         [](const QString& root) {
             return Text(7002) + "\n" + UserNotifier::FileErrorText(root + "time.cfg", EISDIR);
         }},
        {"pulled and put back",
         [](SettingsDialogTest& t, const QString& root) {
             t.fixture.Unplug(root);
             t.fixture.AddDrive(Card(0, "CARD"), root.toUtf8());
         },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        notifier.Clear();
        const QString root = AddCard(QString::fromLatin1(c.name).replace(' ', '-'), 0, "CARD");
        WriteFileBytes(root + "time.cfg", "old");
        OpenDialog(root);
        QSignalSpy finished(dialog.get(), &QDialog::finished);
        Choose(List(1056), 4);
        Get<QCheckBox>(1029)->click();
        c.arrange(*this, root);
        const auto before = Snapshot(root);
        Button(1054)->click();
        if (!c.message) {
            EXPECT_EQ(finished.count(), 1);
            EXPECT_EQ(ReadFileBytes(root + "time.cfg"), TimeFile13);
            EXPECT_EQ(notifier.Count(), 0u);
            continue;
        }
        EXPECT_EQ(MessageTexts(), std::vector<QString>{c.message(root)});
        EXPECT_EQ(finished.count(), 0);
        EXPECT_EQ(Snapshot(root), before);
        EXPECT_EQ(List(1056)->currentText(), "Очень громко") << "the edits are still there";
        EXPECT_EQ(dialog->currentSetup->spkVol, 4);
        fixture.Unplug(root);
    }
}

TEST_F(OptionDialog, DefaultsShowTheDefaultsWithoutRereadingTheCard)
{
    const QString root = AddCard("CARD", 0);
    WriteFileBytes(root + "TARSIM/config/setup.cfg", SetupLine("SPK Vol", "4"));
    OpenDialog(root);
    dialog->options.saveDirectory = "/home/u/shots";
    dialog->options.useLog = true;
    Choose(List(1063), 0);
    Radio(1085)->click();
    Get<QCheckBox>(1029)->click();
    Get<QDateEdit>(1074)->setDate(QDate(2001, 2, 3));
    WriteFileBytes(root + "TARSIM/config/setup.cfg", SetupLine("SPK Vol", "0"));
    now = QDateTime(QDate(2014, 1, 2), QTime(3, 4, 5));

    CVelmarkSetupData* model = dialog->currentSetup;
    Button(1053)->click();
    EXPECT_EQ(dialog->currentSetup, model);
    EXPECT_EQ(model->basePath, root);
    EXPECT_EQ(model->MakeFileText().toLatin1(), QByteArray(DefaultSetupFile).replace("\r\n", "\n"));
    EXPECT_EQ(List(1056)->currentText(), "Нормально");
    EXPECT_EQ(List(1063)->currentText(), "Высокий уровень");
    EXPECT_TRUE(Radio(1084)->isChecked());
    EXPECT_EQ(Get<QDateEdit>(1074)->date(), QDate(2014, 1, 2));
    EXPECT_EQ(Get<QTimeEdit>(1075)->time(), QTime(3, 4, 5));
    EXPECT_TRUE(Get<QDateEdit>(1074)->isEnabled()) << "the clock box stays as the user left it";
    EXPECT_EQ(OptionFields(dialog->options), OptionFields(OptionRecord()));
    EXPECT_EQ(Get<QLineEdit>(1049)->text(), OptionRecord().saveDirectory);
}

TEST_F(OptionDialog, FolderPickerSetsTheCaptureFolder)
{
    OpenDialog(QString());
    std::optional<QString> answer = "/home/u/shots";
    QString caption;
    platform::ScopedFolderChooser chooser([&](QWidget*, const QString& title, const QString&) {
        caption = title;
        return answer;
    });
    const OptionRecord before = dialog->options;
    Button(1060)->click();
    EXPECT_EQ(caption, "Выберите папку.");
    EXPECT_EQ(Get<QLineEdit>(1049)->text(), "/home/u/shots");
    EXPECT_EQ(dialog->options.saveDirectory, "/home/u/shots");

    answer.reset();
    Button(1060)->click();
    EXPECT_EQ(dialog->options.saveDirectory, "/home/u/shots");
    EXPECT_EQ(Get<QLineEdit>(1049)->text(), "/home/u/shots");
    dialog->options.saveDirectory = before.saveDirectory;
    EXPECT_EQ(OptionFields(dialog->options), OptionFields(before)) << "nothing else changed";
}

}  // namespace
