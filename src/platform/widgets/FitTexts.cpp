#include "platform/widgets/FitTexts.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <climits>
#include <functional>

namespace platform {

namespace {

bool LabelFits(const QLabel& label, const QFont& font)
{
    const QRect room = label.contentsRect();
    const QRect needed = QFontMetrics(font).boundingRect(QRect(room.topLeft(), QSize(room.width(), INT_MAX / 2)),
                                                         label.alignment() | Qt::TextWordWrap, label.text());
    return needed.width() <= room.width() && needed.height() <= room.height();
}

// The text beside the indicator, in the room the style gives it.
bool ButtonFits(const QAbstractButton& button, const QFont& font)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    const QStyle::SubElement contents =
        qobject_cast<const QRadioButton*>(&button) ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents;
    const QRect room = button.style()->subElementRect(contents, &option, &button);
    return QFontMetrics(font).horizontalAdvance(button.text()) <= room.width();
}

// The widest stretch of the widget's font at which fits() holds; none below
// kMinimumTextStretch leaves the font alone.
void Fit(QWidget& widget, const std::function<bool(const QFont&)>& fits)
{
    QFont font = widget.font();
    if (fits(font))
        return;
    // The regular face by name, so the narrowing is the same whether or not
    // a condensed face of the family is installed.
    font.setStyleName(QFontInfo(font).styleName());
    for (int stretch = 99; stretch >= kMinimumTextStretch; --stretch) {
        font.setStretch(stretch);
        if (fits(font)) {
            widget.setFont(font);
            return;
        }
    }
}

}  // namespace

void FitTexts(QWidget& window)
{
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (!label->text().isEmpty())
            Fit(*label, [label](const QFont& font) { return LabelFits(*label, font); });
    }
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (qobject_cast<QRadioButton*>(button) || qobject_cast<QCheckBox*>(button))
            Fit(*button, [button](const QFont& font) { return ButtonFits(*button, font); });
    }
}

}  // namespace platform
