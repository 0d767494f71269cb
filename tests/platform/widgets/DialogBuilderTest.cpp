#include "platform/widgets/DialogBuilder.h"
#include "support/DialogFixture.h"
#include "support/gui/Screenshot.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

constexpr QRgb kPaintedFace = qRgb(0x1E, 0x5A, 0x8C);

// One of "the project's classes": a button that paints itself.
class PaintedButton : public QAbstractButton {
public:
    PaintedButton(const QString& text, QWidget* parent) : QAbstractButton(parent) { setText(text); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(kPaintedFace));
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
};

DialogTemplate Sample()
{
    DialogTemplateParse parsed = DialogTemplate::Parse(testsupport::SampleDialogTemplate(), "sample.tsv");
    if (!parsed.dialog) {
        throw std::runtime_error(parsed.error.toStdString());
    }
    return *parsed.dialog;
}

DialogTemplate Small(const char* styles, const QByteArray& controls = {})
{
    return *DialogTemplate::Parse(QByteArray("DIALOG\t100\t60\tMS Shell Dlg\t8\t") + styles + "\tSmall\n" + controls,
                                  "small.tsv")
                .dialog;
}

DialogBuilder::Overrides PaintedAt(int id)
{
    return {{id, [](QWidget* parent, const DialogControl& control) { return new PaintedButton(control.text, parent); }}};
}

QLabel* LabelWithText(QWidget& dialog, const QString& text)
{
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label->text() == text) {
            return label;
        }
    }
    return nullptr;
}

TEST(DialogBuilder, BuildsTheDialogAndEveryControlOfTheTemplate)
{
    const DialogTemplate sample = Sample();
    QDialog dialog;
    const ControlMap controls = DialogBuilder::Build(sample, &dialog);

    EXPECT_EQ(dialog.size(), QSize(375, 309));
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Проверка шаблона"));
    const QFontInfo font(dialog.font());
    EXPECT_EQ(font.family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(font.pixelSize(), 11);

    const struct {
        int id;
        const char* className;
        QString text;
    } expected[] = {
        {1001, "QLabel", QString::fromUtf8("Справа")},
        {1002, "QLabel", ""},
        {1003, "QPushButton", QString::fromUtf8("Сохранить")},
        {1004, "QPushButton", QString::fromUtf8("Отменить")},
        {1005, "QCheckBox", QString::fromUtf8("Флажок")},
        {1006, "QRadioButton", QString::fromUtf8("Переключатель")},
        {1007, "QLineEdit", "12"},
        {1008, "QLineEdit", QString::fromUtf8("Только чтение")},
        {1009, "QComboBox", ""},
        {1010, "QListWidget", ""},
        {1011, "QSlider", ""},
        {1012, "QDateEdit", ""},
        {1013, "QTimeEdit", ""},
        {1014, "QWidget", ""},
        {1015, "QLabel", QString::fromUtf8("Скрыто")},
        {1016, "QCheckBox", QString::fromUtf8("Недоступно")},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.id);
        QWidget* widget = controls.Widget(e.id);
        ASSERT_NE(widget, nullptr);
        EXPECT_STREQ(widget->metaObject()->className(), e.className);
        EXPECT_EQ(widget->parentWidget(), &dialog);
        EXPECT_EQ(widget->objectName(), QString::number(e.id));
        const QRect place = DialogTemplate::DluToPixels(sample.Control(e.id)->rect);
        if (e.id == 1009) {
            // The template's combo height counts the dropped list.
            EXPECT_EQ(widget->geometry(), QRect(place.topLeft(), QSize(place.width(), widget->sizeHint().height())));
            EXPECT_LT(widget->height(), place.height());
        } else {
            EXPECT_EQ(widget->geometry(), place);
        }
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            EXPECT_EQ(label->text(), e.text);
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            EXPECT_EQ(button->text(), e.text);
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            EXPECT_EQ(edit->text(), e.text);
        }
        EXPECT_EQ(widget->isHidden(), e.id == 1015);
        EXPECT_EQ(widget->isEnabled(), e.id != 1016);
    }
    EXPECT_EQ(controls.Widget(1017)->geometry(), QRect(11, 241, 288, 34));

    // The flags' details.
    EXPECT_TRUE(controls.Get<QPushButton>(1003)->isDefault());
    EXPECT_FALSE(controls.Get<QPushButton>(1003)->autoDefault());
    EXPECT_FALSE(controls.Get<QPushButton>(1004)->isDefault());
    EXPECT_FALSE(controls.Get<QRadioButton>(1006)->autoExclusive());
    EXPECT_EQ(controls.Get<QLabel>(1001)->alignment(), Qt::AlignRight | Qt::AlignTop);
    EXPECT_TRUE(controls.Get<QLabel>(1017)->wordWrap());
    EXPECT_EQ(controls.Get<QLabel>(1017)->textFormat(), Qt::PlainText);
    EXPECT_TRUE(controls.Get<QLineEdit>(1008)->isReadOnly());
    QLineEdit* number = controls.Get<QLineEdit>(1007);
    EXPECT_FALSE(number->isReadOnly());
    number->clear();
    QTest::keyClicks(number, "4a-2");
    EXPECT_EQ(number->text(), QStringLiteral("42"));
    EXPECT_FALSE(controls.Get<QComboBox>(1009)->isEditable());
    EXPECT_EQ(controls.Get<QSlider>(1011)->orientation(), Qt::Horizontal);

    // Unnamed controls are made and placed, but have no name and no entry.
    QLabel* broken = LabelWithText(dialog, QString::fromUtf8("Подпись\nв две строки"));
    ASSERT_NE(broken, nullptr);
    EXPECT_TRUE(broken->objectName().isEmpty());
    EXPECT_EQ(broken->geometry(), QRect(11, 7, 165, 29));
    ASSERT_EQ(dialog.findChildren<QGroupBox*>().size(), 1);
    EXPECT_EQ(dialog.findChildren<QGroupBox*>()[0]->title(), QString::fromUtf8("Группа"));
    EXPECT_EQ(controls.Ids(), (std::vector<int>{1001, 1002, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012, 1013,
                                                1014, 1015, 1016, 1017, 1003, 1004}));
}

TEST(DialogBuilder, AnOverridePutsTheOwnersClassAtItsId)
{
    const DialogTemplate sample = Sample();
    QDialog dialog;
    const ControlMap controls = DialogBuilder::Build(sample, &dialog, PaintedAt(testsupport::kSampleOverriddenButton));

    auto* painted = controls.Get<PaintedButton>(testsupport::kSampleOverriddenButton);
    ASSERT_NE(painted, nullptr);
    EXPECT_EQ(painted->text(), QString::fromUtf8("Отменить"));
    EXPECT_EQ(painted->geometry(), DialogTemplate::DluToPixels(QRect(185, 170, 55, 14)));
    EXPECT_EQ(painted->objectName(), QStringLiteral("1004"));
    EXPECT_EQ(controls.Get<QPushButton>(testsupport::kSampleOverriddenButton), nullptr);
    EXPECT_EQ(dialog.findChildren<QPushButton*>().size(), 1) << "no plain button made for the override";

    const QImage shown = testsupport::Grab(*painted);
    EXPECT_EQ(shown.pixel(2, 2), kPaintedFace);
}

TEST(DialogBuilder, OverridesForMissingIdsOrWithoutAWidgetAreRefused)
{
    QDialog dialog;
    EXPECT_THROW(DialogBuilder::Build(Sample(), &dialog, PaintedAt(4242)), std::logic_error);
    const DialogBuilder::Overrides none{{1003, [](QWidget*, const DialogControl&) -> QWidget* { return nullptr; }}};
    QDialog other;
    EXPECT_THROW(DialogBuilder::Build(Sample(), &other, none), std::logic_error);
}

TEST(DialogBuilder, TheFirstControlLiesOnTopAndTabFollowsTemplateOrder)
{
    QDialog dialog;
    const ControlMap sample = DialogBuilder::Build(Sample(), &dialog);
    // The group box, listed after the check box it frames, lies under it.
    const QPoint inCheck = sample.Widget(1005)->geometry().center();
    EXPECT_EQ(dialog.childAt(inCheck), sample.Widget(1005));
    QGroupBox* group = dialog.findChildren<QGroupBox*>()[0];
    EXPECT_TRUE(group->geometry().contains(inCheck));

    // A group box listed before a button it covers still lets the click
    // through, through the window as a user's click goes.
    QDialog framed;
    const ControlMap frame = DialogBuilder::Build(Small("caption",
                                                        "-1\tgroup\t2\t2\t90\t50\t-\tAround\n"
                                                        "7\tbutton\t10\t20\t40\t14\t-\tInside\n"),
                                                  &framed);
    const QPoint inButton = frame.Widget(7)->geometry().center();
    EXPECT_EQ(framed.childAt(inButton), frame.Widget(7));
    framed.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&framed));
    QSignalSpy clicked(frame.Get<QPushButton>(7), &QPushButton::clicked);
    QTest::mouseClick(framed.windowHandle(), Qt::LeftButton, {}, inButton);
    EXPECT_EQ(clicked.count(), 1);

    // Three edits listed bottom to top; the owner made the middle one before
    // the build, so creation order alone would put it first.
    QDialog tabbing;
    auto* early = new QLineEdit(&tabbing);
    const DialogBuilder::Overrides overrides{{2, [early](QWidget*, const DialogControl&) { return early; }}};
    const ControlMap edits = DialogBuilder::Build(Small("caption",
                                                        "1\tedit\t5\t40\t80\t12\t-\tfirst\n"
                                                        "-1\tstatic\t5\t28\t80\t10\t-\tnot focusable\n"
                                                        "2\tedit\t5\t5\t80\t12\t-\tsecond\n"
                                                        "3\tedit\t5\t18\t80\t12\t-\tthird\n"),
                                                  &tabbing, overrides);
    tabbing.show();
    QApplication::setActiveWindow(&tabbing);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&tabbing));
    edits.Widget(1)->setFocus();
    std::vector<int> walked;
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked.push_back(QApplication::focusWidget()->objectName().toInt());
    }
    EXPECT_EQ(walked, (std::vector<int>{2, 3, 1}));
}

TEST(DialogBuilder, WindowStylesGiveTheFrameAndChildrenKeepTheirFlags)
{
    const struct {
        const char* styles;
        Qt::WindowFlags present;
        Qt::WindowFlags absent;
        bool fixed;
    } cases[] = {
        {"popup|caption|sysmenu", Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint,
         Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint, true},
        {"popup|caption|sysmenu|thickframe|minbox|maxbox",
         Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint,
         Qt::FramelessWindowHint, false},
        {"caption", Qt::WindowTitleHint, Qt::WindowCloseButtonHint | Qt::FramelessWindowHint, true},
        {"popup|border", Qt::FramelessWindowHint, Qt::WindowTitleHint | Qt::WindowCloseButtonHint, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.styles);
        QDialog window;
        DialogBuilder::Build(Small(c.styles), &window);
        const Qt::WindowFlags flags = window.windowFlags();
        EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
        EXPECT_EQ(flags & c.present, c.present);
        EXPECT_EQ(flags & c.absent, Qt::WindowFlags());
        EXPECT_EQ(window.size(), QSize(150, 98));
        EXPECT_EQ(window.minimumSize() == window.maximumSize(), c.fixed);

        QWidget parent;
        auto* pane = new QWidget(&parent);
        const Qt::WindowFlags before = pane->windowFlags();
        DialogBuilder::Build(Small(c.styles), pane);
        EXPECT_EQ(pane->windowFlags(), before);
        EXPECT_EQ(pane->size(), QSize(150, 98));
        EXPECT_NE(pane->minimumSize(), pane->maximumSize());
    }
}

TEST(DialogBuilder, GetIsNullForAnAbsentIdOrAnotherClass)
{
    QDialog dialog;
    const ControlMap controls = DialogBuilder::Build(Sample(), &dialog);
    EXPECT_EQ(controls.Get<QLabel>(4242), nullptr);
    EXPECT_EQ(controls.Get<QPushButton>(1001), nullptr);
    EXPECT_NE(controls.Get<QLabel>(1001), nullptr);
    EXPECT_NE(controls.Get<QDateTimeEdit>(1012), nullptr);
    delete controls.Widget(1001);
    EXPECT_EQ(controls.Get<QLabel>(1001), nullptr) << "a deleted control reads as null";
}

TEST(DialogBuilderScreenshots, TheSampleDialog)
{
    QDialog dialog;
    const ControlMap controls = DialogBuilder::Build(Sample(), &dialog, PaintedAt(testsupport::kSampleOverriddenButton));
    controls.Get<QComboBox>(1009)->addItems({QString::fromUtf8("Высокое"), QString::fromUtf8("Низкое")});
    controls.Get<QListWidget>(1010)->addItems({QString::fromUtf8("Событие"), QString::fromUtf8("Обычный")});
    controls.Get<QSlider>(1011)->setValue(40);
    controls.Get<QCheckBox>(1005)->setChecked(true);
    controls.Get<QDateTimeEdit>(1012)->setDate(QDate(2026, 12, 10));
    controls.Get<QDateTimeEdit>(1013)->setTime(QTime(9, 30, 15));
    // The bitmap and the owner-drawn area show where they are.
    QPixmap picture(controls.Widget(1002)->size());
    picture.fill(QColor(0xC5, 0x6A, 0x31));
    controls.Get<QLabel>(1002)->setPixmap(picture);
    QWidget* custom = controls.Widget(1014);
    custom->setAutoFillBackground(true);
    QPalette palette = custom->palette();
    palette.setColor(QPalette::Window, QColor(0x3B, 0x3B, 0x3B));
    custom->setPalette(palette);
    dialog.show();
    QApplication::processEvents();

    const QImage shown = testsupport::Grab(dialog);
    EXPECT_EQ(shown.size(), QSize(375, 309));
    EXPECT_EQ(shown.pixel(controls.Widget(1004)->geometry().topLeft() + QPoint(2, 2)), kPaintedFace);
    EXPECT_EQ(shown.pixel(controls.Widget(1014)->geometry().center()), qRgb(0x3B, 0x3B, 0x3B));
    EXPECT_EQ(shown.pixel(controls.Widget(1002)->geometry().center()), qRgb(0xC5, 0x6A, 0x31));
    // The long label wraps onto a second line inside its 34 px.
    QLabel* wrapped = controls.Get<QLabel>(1017);
    EXPECT_GT(wrapped->heightForWidth(wrapped->width()), QFontMetrics(wrapped->font()).height());
    EXPECT_LE(wrapped->heightForWidth(wrapped->width()), wrapped->height());
    EXPECT_TRUE(testsupport::SaveScreenshot(dialog, "dialog-builder"));
}

}  // namespace
