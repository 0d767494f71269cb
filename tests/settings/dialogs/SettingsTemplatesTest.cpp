#include "SettingsDialogFixture.h"

#include "settings/dialogs/DriverSelectDlg.h"

#include <QGroupBox>
#include <QLabel>
#include <QTest>

using namespace settingstest;

namespace {

// The Qt class each template kind becomes, as the dialogs use it.
bool HasKindClass(QWidget* widget, ControlKind kind)
{
    switch (kind) {
    case ControlKind::Static: return qobject_cast<QLabel*>(widget);
    case ControlKind::Group: return qobject_cast<QGroupBox*>(widget);
    case ControlKind::Button: return qobject_cast<QPushButton*>(widget);
    case ControlKind::Check: return qobject_cast<QCheckBox*>(widget);
    case ControlKind::Radio: return qobject_cast<QRadioButton*>(widget);
    case ControlKind::Edit: return qobject_cast<QLineEdit*>(widget);
    case ControlKind::Combo: return qobject_cast<QComboBox*>(widget);
    case ControlKind::Trackbar: return qobject_cast<QSlider*>(widget);
    case ControlKind::DateTime: return qobject_cast<QDateTimeEdit*>(widget);
    default: return false;
    }
}

QString TextOf(QWidget* widget)
{
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        return group->title();
    return QString();
}

// Every named control of the template once, of its kind, with its text, at
// its converted rectangle (a closed combo only as high as its field).
void ExpectBuiltAsTheTemplate(QWidget& dialog, const DialogTemplate& dialogTemplate)
{
    EXPECT_EQ(dialog.size(), dialogTemplate.PixelSize());
    for (const DialogControl& control : dialogTemplate.controls) {
        if (control.id == -1)
            continue;
        SCOPED_TRACE(control.id);
        const QList<QWidget*> found = dialog.findChildren<QWidget*>(QString::number(control.id));
        ASSERT_EQ(found.size(), 1);
        QWidget* widget = found.front();
        EXPECT_TRUE(HasKindClass(widget, control.kind));
        EXPECT_EQ(TextOf(widget), control.text);
        const QRect place = DialogTemplate::DluToPixels(control.rect);
        EXPECT_EQ(widget->pos(), place.topLeft());
        EXPECT_EQ(widget->width(), place.width());
        if (control.kind == ControlKind::Combo)
            EXPECT_LE(widget->height(), place.height());
        else
            EXPECT_EQ(widget->height(), place.height());
    }
}

class Templates : public SettingsDialogTest {};

TEST_F(Templates, SettingsDialogIsBuiltAsItsTemplate)
{
    const DialogTemplate& dialogTemplate = DialogTemplate::Get(272);
    EXPECT_EQ(dialogTemplate.PixelSize(), QSize(668, 655));
    EXPECT_EQ(dialogTemplate.caption, "");
    EXPECT_EQ(dialogTemplate.controls.size(), 68u);
    std::vector<int> ids;
    for (const DialogControl& control : dialogTemplate.controls) {
        if (control.id != -1)
            ids.push_back(control.id);
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<int>{1015, 1018, 1029, 1030, 1031, 1032, 1049, 1053, 1054, 1055, 1056, 1058, 1060,
                                     1061, 1062, 1063, 1068, 1071, 1072, 1074, 1075, 1082, 1083, 1084, 1085, 1086,
                                     1087, 1088, 1089, 1094, 32796}));
    OpenDialog(QString(), false);
    ExpectBuiltAsTheTemplate(*dialog, dialogTemplate);
    EXPECT_TRUE(Button(1054)->isDefault()) << "Enter saves";
    EXPECT_TRUE(Get<QLineEdit>(1062)->isReadOnly());
    EXPECT_TRUE(Get<QLineEdit>(1049)->isReadOnly());
    EXPECT_TRUE(Get<QDateEdit>(1074)->calendarPopup());
    EXPECT_EQ(Get<QDateEdit>(1074)->alignment() & Qt::AlignRight, Qt::AlignRight);
    EXPECT_EQ(Get<QTimeEdit>(1075)->alignment() & Qt::AlignRight, Qt::AlignRight);
    EXPECT_EQ(Get<QDateEdit>(1074)->minimumDate(), QDate(2000, 1, 1));
    EXPECT_EQ(Get<QDateEdit>(1074)->maximumDate(), QDate(2099, 12, 31));
    EXPECT_EQ(Get<QSlider>(1061)->minimum(), 1);
    EXPECT_EQ(Get<QSlider>(1061)->maximum(), 10);
    EXPECT_EQ(Get<QSlider>(1061)->tickPosition(), QSlider::TicksBothSides);

    bool gmtNote = false;
    for (QLabel* label : dialog->findChildren<QLabel*>())
        gmtNote = gmtNote || label->text() == "Можете установить часовой пояс для каждого региона. \n"
                                              "Эта функция доступна при подключении внешнего GPS-модуля.";
    EXPECT_TRUE(gmtNote);
}

TEST_F(Templates, DriveSelectionIsBuiltAsItsTemplate)
{
    const DialogTemplate& dialogTemplate = DialogTemplate::Get(273);
    EXPECT_EQ(dialogTemplate.PixelSize(), QSize(378, 115));
    DriverSelectDlg selection(drives);
    ExpectBuiltAsTheTemplate(selection, dialogTemplate);
    EXPECT_EQ(selection.windowTitle(), " Выбор диска");
    EXPECT_EQ(selection.findChildren<QPushButton*>().size(), 1) << "no Cancel button";
    EXPECT_TRUE(selection.Controls().Get<QPushButton>(1)->isDefault());
}

TEST_F(Templates, ClickAtTheFormatButtonsCentreReachesIt)
{
    const QString card = AddCard("CARD", 0);
    OpenDialog(card);
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    notifier.ScriptAnswers({UserNotifier::Button::Cancel});
    // The group box "Выбрать диск" around the button comes later in the
    // template and lies below it.
    QTest::mouseClick(dialog->windowHandle(), Qt::LeftButton, {}, Button(1018)->geometry().center());
    ASSERT_EQ(notifier.Count(), 1u);
    EXPECT_EQ(notifier.Boxes()[0].text, Text(227));
}

}  // namespace
