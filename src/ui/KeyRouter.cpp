#include "ui/KeyRouter.h"

#include "platform/widgets/KeyChord.h"
#include "ui/UiAssert.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include <algorithm>

KeyRouter::KeyRouter(QWidget& mainWindow, const AcceleratorTable& table, Execute execute)
    : mainWindow(&mainWindow), table(table), execute(std::move(execute))
{
    ui::AssertUiThread();
    QCoreApplication::instance()->installEventFilter(this);
}

KeyRouter::~KeyRouter()
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeEventFilter(this);
}

void KeyRouter::MarkPane(QWidget* root)
{
    if (root)
        paneRoots.emplace_back(root);
}

KeyRouter::Place KeyRouter::Where(QWidget* receiver) const
{
    const auto marked = [this](const QWidget* widget) {
        return std::any_of(paneRoots.begin(), paneRoots.end(),
                           [widget](const QPointer<QWidget>& root) { return root.data() == widget; });
    };
    // Up to the receiver's window: a dialog or box a pane opened is a
    // window of its own and ends the walk.
    for (QWidget* widget = receiver; widget; widget = widget->isWindow() ? nullptr : widget->parentWidget()) {
        if (marked(widget))
            return Place::Pane;
    }
    return receiver->window() == mainWindow.data() ? Place::MainWindow : Place::Elsewhere;
}

bool KeyRouter::SwallowedAtWindowLevel(const QKeyEvent& press)
{
    switch (press.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_F10:
    case Qt::Key_Alt:
        return true;
    default:
        return press.modifiers().testFlag(Qt::AltModifier);
    }
}

bool KeyRouter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    const Place place = Where(static_cast<QWidget*>(watched));
    if (place == Place::Elsewhere)
        return false;
    const auto& press = static_cast<const QKeyEvent&>(*event);
    if (const std::optional<int> command = table.Translate(KeyChordFromEvent(press))) {
        // The command may open a modal dialog or close the window; the press
        // is ours either way.
        execute(*command, press.modifiers());
        return true;
    }
    return place == Place::Pane || SwallowedAtWindowLevel(press);
}
