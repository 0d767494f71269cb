#include "settings/dialogs/DriverSelectDlg.h"

#include "support/DriveFixture.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class DriveSelection : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixture.AddDrive({.name = "sda1", .disk = "sda", .major = 8, .minor = 1}, "/", "ext4");
        fixture.AddDrive({.name = "sdb1", .disk = "sdb", .major = 8, .minor = 17, .label = "CARD", .removable = true},
                         "/media/u/CARD");
        fixture.AddDrive({.name = "sdc1", .disk = "sdc", .major = 8, .minor = 33, .label = "CAR(1)", .removable = true},
                         "/media/u/CAR(1)");
    }

    QComboBox* List(DriverSelectDlg& dialog) const { return dialog.Controls().Get<QComboBox>(1015); }

    testsupport::DriveFixture fixture;
    std::shared_ptr<const Drives> drives = std::make_shared<const Drives>(fixture.Sources());
};

TEST_F(DriveSelection, ListsEveryDriveAndSelectsNone)
{
    DriverSelectDlg dialog(drives);
    dialog.OnInitDialog();
    QComboBox* list = List(dialog);
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->itemText(i));
    EXPECT_EQ(texts, QStringList({"(/)", "CAR(1)(/media/u/CAR(1)/)", "CARD(/media/u/CARD/)"}));
    EXPECT_EQ(list->currentIndex(), -1);
    EXPECT_EQ(dialog.GetSelectedDrive(), "");
    EXPECT_EQ(dialog.windowTitle(), " Выбор диска");
}

TEST_F(DriveSelection, OkAndEnterTakeTheSelectedRootEscAndCloseCancel)
{
    {
        DriverSelectDlg dialog(drives);
        dialog.OnInitDialog();
        dialog.Controls().Get<QPushButton>(1)->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.GetOptionRecord().drivePath, "");
    }
    {
        DriverSelectDlg dialog(drives);
        dialog.show();
        List(dialog)->setCurrentIndex(1);
        QTest::keyClick(List(dialog), Qt::Key_Return);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.GetOptionRecord().drivePath, "/media/u/CAR(1)/");
    }
    for (bool escape : {true, false}) {
        DriverSelectDlg dialog(drives);
        dialog.show();
        List(dialog)->setCurrentIndex(2);
        QSignalSpy rejected(&dialog, &QDialog::rejected);
        if (escape)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            dialog.close();
        EXPECT_EQ(rejected.count(), 1);
        EXPECT_EQ(dialog.GetOptionRecord().drivePath, "") << "the caller's DRIVE_PATH stays";
    }
}

TEST_F(DriveSelection, ChooseDriveAnswersWithTheRootOrNothing)
{
    const auto pick = [&](int index, bool ok) {
        return ChooseDrive(drives, nullptr, [&](QDialog& shown) {
            auto& dialog = static_cast<DriverSelectDlg&>(shown);
            dialog.OnInitDialog();
            List(dialog)->setCurrentIndex(index);
            if (ok)
                dialog.OnOK();
            else
                dialog.reject();
            return dialog.result();
        });
    };
    EXPECT_EQ(pick(2, true), std::optional<QString>("/media/u/CARD/"));
    EXPECT_EQ(pick(-1, true), std::optional<QString>(""));
    EXPECT_EQ(pick(2, false), std::nullopt);
}

}  // namespace
