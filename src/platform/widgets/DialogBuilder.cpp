#include "platform/widgets/DialogBuilder.h"

#include "platform/gdi/GdiCompat.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <algorithm>
#include <stdexcept>
#include <string>

QWidget* ControlMap::Widget(int id) const
{
    for (const auto& [each, widget] : widgets) {
        if (each == id) {
            return widget.data();
        }
    }
    return nullptr;
}

std::vector<int> ControlMap::Ids() const
{
    std::vector<int> ids;
    for (const auto& [id, widget] : widgets) {
        ids.push_back(id);
    }
    return ids;
}

void ControlMap::Add(int id, QWidget* widget)
{
    widgets.emplace_back(id, widget);
}

namespace DialogBuilder {

namespace {

QWidget* MakeLabel(const DialogControl& control, QWidget* parent)
{
    auto* label = new QLabel(control.text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    const Qt::Alignment horizontal = control.HasFlag(QStringLiteral("right"))    ? Qt::AlignRight
                                     : control.HasFlag(QStringLiteral("center")) ? Qt::AlignHCenter
                                                                                 : Qt::AlignLeft;
    label->setAlignment(horizontal | Qt::AlignTop);
    return label;
}

QWidget* MakeButton(const DialogControl& control, QWidget* parent)
{
    auto* button = new QPushButton(control.text, parent);
    button->setAutoDefault(false);
    button->setDefault(control.HasFlag(QStringLiteral("default")));
    return button;
}

QWidget* MakeEdit(const DialogControl& control, QWidget* parent)
{
    auto* edit = new QLineEdit(control.text, parent);
    edit->setReadOnly(control.HasFlag(QStringLiteral("readonly")));
    if (control.HasFlag(QStringLiteral("number"))) {
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    }
    return edit;
}

QWidget* MakeDateTime(const DialogControl& control, QWidget* parent)
{
    if (control.HasFlag(QStringLiteral("date"))) {
        return new QDateEdit(parent);
    }
    if (control.HasFlag(QStringLiteral("time"))) {
        return new QTimeEdit(parent);
    }
    return new QDateTimeEdit(parent);
}

// The plain Qt widget of the control's kind.
QWidget* MakePlain(const DialogControl& control, QWidget* parent)
{
    switch (control.kind) {
    case ControlKind::Static: return MakeLabel(control, parent);
    case ControlKind::Bitmap: return new QLabel(parent);
    case ControlKind::Group: {
        // A group box is only a frame: clicks reach the controls under it, as
        // the template's platform let them through, wherever it is listed.
        auto* group = new QGroupBox(control.text, parent);
        group->setAttribute(Qt::WA_TransparentForMouseEvents);
        return group;
    }
    case ControlKind::Button: return MakeButton(control, parent);
    case ControlKind::Check: return new QCheckBox(control.text, parent);
    case ControlKind::Radio: {
        auto* radio = new QRadioButton(control.text, parent);
        radio->setAutoExclusive(false);
        return radio;
    }
    case ControlKind::Edit: return MakeEdit(control, parent);
    case ControlKind::Combo: return new QComboBox(parent);  // not editable, never sorted
    case ControlKind::List: return new QListWidget(parent);
    case ControlKind::Trackbar: return new QSlider(Qt::Horizontal, parent);
    case ControlKind::DateTime: return MakeDateTime(control, parent);
    case ControlKind::Custom: return new QWidget(parent);
    }
    return new QWidget(parent);
}

QWidget* MakeOverride(const ControlFactory& factory, const DialogControl& control, QWidget* dialog)
{
    QWidget* widget = factory(dialog, control);
    if (!widget) {
        throw std::logic_error("the override for control " + std::to_string(control.id) + " made no widget");
    }
    if (widget->parentWidget() != dialog) {
        widget->setParent(dialog);
    }
    return widget;
}

void ApplyFrame(const DialogTemplate& dialogTemplate, QWidget* dialog)
{
    const QSize size = dialogTemplate.PixelSize();
    dialog->resize(size);
    if (!dialog->isWindow()) {
        return;
    }
    Qt::WindowFlags flags = (dialog->windowFlags() & Qt::WindowType_Mask) | Qt::CustomizeWindowHint;
    flags |= dialogTemplate.HasStyle(QStringLiteral("caption")) ? Qt::WindowTitleHint : Qt::FramelessWindowHint;
    if (dialogTemplate.HasStyle(QStringLiteral("sysmenu"))) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if (dialogTemplate.HasStyle(QStringLiteral("minbox"))) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    if (dialogTemplate.HasStyle(QStringLiteral("maxbox"))) {
        flags |= Qt::WindowMaximizeButtonHint;
    }
    dialog->setWindowFlags(flags);
    if (dialogTemplate.HasStyle(QStringLiteral("thickframe"))) {
        dialog->setMinimumSize(0, 0);
        dialog->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        dialog->setFixedSize(size);
    }
}

}  // namespace

ControlMap Build(const DialogTemplate& dialogTemplate, QWidget* dialog, const Overrides& overrides)
{
    for (const auto& [id, factory] : overrides) {
        if (!dialogTemplate.Control(id)) {
            throw std::logic_error("an override for control " + std::to_string(id) + ", which dialog template "
                                   + std::to_string(dialogTemplate.id) + " does not hold");
        }
    }
    ApplyFrame(dialogTemplate, dialog);
    dialog->setWindowTitle(dialogTemplate.caption);
    dialog->setFont(gdi::PointFont(dialogTemplate.face, dialogTemplate.points));

    ControlMap map;
    std::vector<QWidget*> made;
    for (const DialogControl& control : dialogTemplate.controls) {
        const auto found = overrides.find(control.id);
        QWidget* widget = found != overrides.end() ? MakeOverride(found->second, control, dialog)
                                                   : MakePlain(control, dialog);
        QRect place = DialogTemplate::DluToPixels(control.rect);
        if (qobject_cast<QComboBox*>(widget)) {
            // A combo's template height counts its dropped-down list too;
            // closed, it is as high as its field.
            place.setHeight(std::min(place.height(), widget->sizeHint().height()));
        }
        widget->setGeometry(place);
        if (control.id != -1) {
            widget->setObjectName(QString::number(control.id));
            map.Add(control.id, widget);
        }
        widget->setVisible(!control.HasFlag(QStringLiteral("hidden")));
        widget->setEnabled(!control.HasFlag(QStringLiteral("disabled")));
        made.push_back(widget);
    }
    // The first control lies on top, as the original platform stacks them:
    // a group box listed after its contents never covers them.
    for (auto widget = made.rbegin(); widget != made.rend(); ++widget) {
        (*widget)->raise();
    }
    for (std::size_t i = 1; i < made.size(); ++i) {
        QWidget::setTabOrder(made[i - 1], made[i]);
    }
    return map;
}

}  // namespace DialogBuilder
