#include "platform/widgets/FitTexts.h"
#include "platform/gdi/GdiCompat.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A wrapping label of one line's height, as the dialog builder makes them.
QLabel* Label(QWidget& window, const QString& text, int width)
{
    auto* label = new QLabel(text, &window);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(0, 0, width, QFontMetrics(label->font()).height());
    return label;
}

TEST(FitTexts, NarrowsOnlyWhatNeedsItAndNoFurtherThanTheFloor)
{
    QWidget window;
    window.setFont(gdi::PointFont("MS Shell Dlg", 8));
    const QString text = QString::fromUtf8("Время по Гринвичу (GMT)");
    const int natural = QFontMetrics(window.font()).horizontalAdvance(text);
    QLabel* roomy = Label(window, text, natural + 4);
    QLabel* tight = Label(window, text, natural * 90 / 100);
    QLabel* hopeless = Label(window, text, natural / 2);
    auto* radio = new QRadioButton(QString::fromUtf8("Легковой автомобиль(12V)"), &window);
    radio->setGeometry(0, 20, radio->sizeHint().width() - 15, 15);
    auto* check = new QCheckBox(QString::fromUtf8("Применить"), &window);
    check->setGeometry(0, 40, 20, 15);

    platform::FitTexts(window);
    EXPECT_EQ(roomy->font(), window.font());
    EXPECT_EQ(hopeless->font(), window.font()) << "clipped as its rectangle clips it";
    EXPECT_EQ(check->font(), window.font());
    for (QWidget* fitted : {static_cast<QWidget*>(tight), static_cast<QWidget*>(radio)}) {
        EXPECT_LT(fitted->font().stretch(), 100);
        EXPECT_GE(fitted->font().stretch(), platform::kMinimumTextStretch);
        EXPECT_EQ(fitted->font().family(), window.font().family());
        EXPECT_EQ(fitted->font().pixelSize(), window.font().pixelSize());
    }
    EXPECT_LE(QFontMetrics(tight->font()).horizontalAdvance(text), tight->width());
    EXPECT_LT(radio->sizeHint().width(), radio->width() + 15);
}

}  // namespace
