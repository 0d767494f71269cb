#pragma once
// Turns a dialog template into widgets: the dialog's size, caption, font and
// window flags, then one child per control, placed in pixels, in template
// order.

#include "platform/DialogTemplate.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <utility>
#include <vector>

// The controls of a built dialog by id. Lends pointers; the dialog owns the
// widgets, and a widget deleted since reads as null.
class ControlMap {
public:
    // The widget at id as a T; null when the template has no such id or the
    // widget is not a T.
    template <typename T>
    T* Get(int id) const
    {
        return dynamic_cast<T*>(Widget(id));
    }
    QWidget* Widget(int id) const;
    // The named controls' ids, in template order.
    std::vector<int> Ids() const;

    void Add(int id, QWidget* widget);

private:
    std::vector<std::pair<int, QPointer<QWidget>>> widgets;
};

namespace DialogBuilder {

// Makes the widget for one control, a child of parent: one of the project's
// classes in place of the plain widget of its kind.
using ControlFactory = std::function<QWidget*(QWidget* parent, const DialogControl& control)>;
using Overrides = std::map<int, ControlFactory>;

// Builds dialogTemplate on dialog (UI thread):
// - the dialog gets the client size PixelSize(), the caption as its title
//   and the template's font; when it is a window, its frame from the styles
//   (`caption` a title bar, else frameless; `sysmenu` a close button;
//   `minbox`, `maxbox`; without `thickframe` a fixed size). A child pane
//   keeps its own flags.
// - each control becomes a child at DluToPixels(rect), named by its id in
//   decimal (unnamed for -1), hidden by `hidden`, disabled by `disabled`;
//   the first control lies on top, Tab follows template order; group boxes
//   let clicks through to what they frame.
// An override for an id the template lacks, or a factory that returns null,
// throws std::logic_error.
ControlMap Build(const DialogTemplate& dialogTemplate, QWidget* dialog, const Overrides& overrides = {});

}  // namespace DialogBuilder
