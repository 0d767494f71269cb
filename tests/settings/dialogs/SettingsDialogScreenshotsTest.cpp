#include "SettingsDialogFixture.h"

#include "settings/dialogs/DriverSelectDlg.h"
#include "support/gui/Screenshot.h"

#include <QApplication>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionButton>

using namespace settingstest;

namespace {

// The texts of labels, radio buttons and check boxes that need more room
// than their rectangles give, as UTF-8 so a failure prints them.
std::vector<std::string> ClippedTexts(QWidget& dialog)
{
    std::vector<std::string> clipped;
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        const QRect needed = QFontMetrics(label->font())
                                 .boundingRect(QRect(0, 0, label->width(), 10000), Qt::TextWordWrap, label->text());
        if (needed.width() > label->width() || needed.height() > label->height())
            clipped.push_back(label->text().toStdString());
    }
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
        const bool radio = qobject_cast<QRadioButton*>(button);
        if (!radio && !qobject_cast<QCheckBox*>(button))
            continue;
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect room = button->style()->subElementRect(
            radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &option, button);
        if (QFontMetrics(button->font()).horizontalAdvance(button->text()) > room.width())
            clipped.push_back(button->text().toStdString());
    }
    return clipped;
}

class SettingsDialogScreenshots : public SettingsDialogTest {};

TEST_F(SettingsDialogScreenshots, SettingsDialogOnACardWithTheDefaults)
{
    fixture.AddDrive(Card(0, "CARD"), "/media/u/CARD");
    OpenDialog("/media/u/CARD/", false);
    dialog->options.saveDirectory = "/home/u/Documents";  // the same picture on every machine
    dialog->OnInitDialog();
    dialog->show();
    QApplication::processEvents();
    const QImage shown = testsupport::Grab(*dialog);
    EXPECT_EQ(shown.size(), QSize(668, 655));
    EXPECT_EQ(List(1015)->currentText(), "CARD(/media/u/CARD/)");
    // Only the texts whose rectangles are too small in the template itself.
    EXPECT_EQ(ClippedTexts(*dialog), (std::vector<std::string>{
                                         "Звуковой сигнал", "Установить время до выключения ЖК-экрана",
                                         "Установить порог чувствительности датчика положения в пространстве.",
                                         "Применить"}));
    EXPECT_TRUE(testsupport::SaveScreenshot(shown, "settings-dialog"));
}

TEST_F(SettingsDialogScreenshots, DriveSelectionWithThreeDrives)
{
    fixture.AddDrive({.name = "sda1", .disk = "sda", .major = 8, .minor = 1}, "/", "ext4");
    fixture.AddDrive({.name = "sdb1", .disk = "sdb", .major = 8, .minor = 17, .label = "CARD", .removable = true},
                     "/media/u/CARD");
    fixture.AddDrive({.name = "sdc1", .disk = "sdc", .major = 8, .minor = 33, .label = "CAR(1)", .removable = true},
                     "/media/u/CAR(1)");
    DriverSelectDlg selection(drives);
    selection.show();
    QApplication::processEvents();
    const QImage shown = testsupport::Grab(selection);
    EXPECT_EQ(shown.size(), QSize(378, 115));
    EXPECT_EQ(selection.Controls().Get<QComboBox>(1015)->count(), 3);
    EXPECT_EQ(ClippedTexts(selection), std::vector<std::string>{});
    EXPECT_TRUE(testsupport::SaveScreenshot(shown, "drive-select-dialog"));
}

}  // namespace
