#pragma once
// Cards as fixture drives (real temporary folders listed as mounted
// volumes), a recording notifier installed for the run, a fake formatter, a
// fixed clock, and the settings dialog or session over them.

#include "core/Common.h"
#include "core/OptionRecord.h"
#include "platform/UserNotifier.h"
#include "settings/dialogs/CVelmarkOptionDlg.h"
#include "settings/SetupFileFixtures.h"
#include "settings/dialogs/SettingsSession.h"
#include "support/DriveFixture.h"
#include "support/FakeCardFormatter.h"
#include "support/FileFixtures.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDirIterator>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <vector>

namespace settingstest {

inline QByteArray SetupLine(const char* key, const char* value)
{
    return QByteArray(key).leftJustified(24, ' ') + ": " + value + "\r\n";
}

inline QString Text(int id)
{
    return Common::GetResourceString(id);
}

// Every entry under folder with its bytes ("<dir>" for folders).
inline std::map<QString, QByteArray> Snapshot(const QString& folder)
{
    std::map<QString, QByteArray> entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        entries[path] = it.fileInfo().isDir() ? QByteArray("<dir>") : testsupport::ReadFileBytes(path);
    }
    return entries;
}

// A user's choice in a list: the entry selected, then activated.
inline void Choose(QComboBox* combo, int index)
{
    ASSERT_TRUE(combo);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

// Every field of the options, for comparisons.
inline QStringList OptionFields(const OptionRecord& o)
{
    return {o.eventDirectory, o.continuousDirectory, o.rootDirectory, o.captureFolderName, o.saveDirectory,
            o.drivePath, QString::number(o.useLog), QString::number(o.ch1VerticalFlip),
            QString::number(o.ch1HorizontalFlip), QString::number(o.ch2VerticalFlip),
            QString::number(o.ch2HorizontalFlip), QString::number(o.playValue), QString::number(o.logLevel),
            QString::number(o.logType)};
}

class SettingsDialogTest : public ::testing::Test {
public:
    void SetUp() override { UserNotifier::Install(&notifier); }
    void TearDown() override
    {
        dialog.reset();
        UserNotifier::Install(nullptr);
    }

    // A removable card (the disk sdb, sdc, ... after index) at a real folder
    // named name; returns its root.
    QString AddCard(const QString& name, int index, const QString& label = QString())
    {
        const QString root = fixture.MakeFolder(name) + u'/';
        fixture.AddDrive(Card(index, label.isEmpty() ? name : label), root.toUtf8());
        return root;
    }

    static testsupport::FixtureDevice Card(int index, const QString& label)
    {
        const QString disk = QStringLiteral("sd") + QChar(u'b' + index);
        return {.name = disk + u'1',
                .disk = disk,
                .major = 8,
                .minor = static_cast<unsigned>(16 * (index + 1) + 1),
                .label = label,
                .uuid = QStringLiteral("1234-000%1").arg(index),
                .removable = true,
                .sectors = 62333952};
    }

    SettingsServices Services()
    {
        return SettingsServices{
            .drives = drives,
            .makeFormatter = [this]() -> std::shared_ptr<CardFormatter> {
                ++formattersMade;
                return formatter;
            },
            .notifier = notifier,
            .clock = [this] { return now; },
            .stopPlayback = [this] { ++stops; },
        };
    }

    // The dialog as the session opens it, over models this fixture owns.
    CVelmarkOptionDlg& OpenDialog(const QString& drivePath, bool init = true)
    {
        dialog = std::make_unique<CVelmarkOptionDlg>(Services(), [this] { return NewModel(); });
        CVelmarkSetupData* first = NewModel();
        first->SetBasePath(QString());
        dialog->setupData = first;
        dialog->options.drivePath = drivePath;
        if (init)
            dialog->OnInitDialog();
        return *dialog;
    }

    CVelmarkSetupData* NewModel()
    {
        models.push_back(std::make_unique<CVelmarkSetupData>());
        models.back()->SetClock([this] { return now; });
        return models.back().get();
    }

    template <typename T>
    T* Get(int id) const
    {
        return dialog->Controls().Get<T>(id);
    }
    QComboBox* List(int id) const { return Get<QComboBox>(id); }
    QRadioButton* Radio(int id) const { return Get<QRadioButton>(id); }
    QPushButton* Button(int id) const { return Get<QPushButton>(id); }

    // The index of the drive list's entry whose text starts with label + "(".
    int EntryOf(const QString& label) const
    {
        QComboBox* drives = List(1015);
        for (int i = 0; i < drives->count(); ++i) {
            if (drives->itemText(i).startsWith(label + u'('))
                return i;
        }
        return -1;
    }

    std::vector<QString> MessageTexts() const
    {
        std::vector<QString> texts;
        for (const RecordingNotifier::Box& box : notifier.Boxes())
            texts.push_back(box.text);
        return texts;
    }

    RecordingNotifier notifier;
    testsupport::ScopedWorkingFolder workingFolder;
    testsupport::DriveFixture fixture;
    std::shared_ptr<const Drives> drives = std::make_shared<const Drives>(fixture.Sources());
    std::shared_ptr<testsupport::FakeCardFormatter> formatter = std::make_shared<testsupport::FakeCardFormatter>();
    int formattersMade = 0;
    int stops = 0;
    QDateTime now{QDate(2013, 10, 16), QTime(14, 5, 33)};
    std::vector<std::unique_ptr<CVelmarkSetupData>> models;
    std::unique_ptr<CVelmarkOptionDlg> dialog;
};

}  // namespace settingstest
