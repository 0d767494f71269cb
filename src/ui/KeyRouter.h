#pragma once
// The one key filter of the application: it sees every key press before any
// widget does. For the main window and the panes marked as its roots (the
// floating map is a window of its own), a chord of the accelerator table
// runs its command whatever has the focus; inside a pane every other press
// is swallowed; at the main window's own level Return, Esc, F10 and any
// press with Alt are swallowed, so no key ends or closes the window, and
// the rest pass (Tab moves the focus). Other windows (dialogs, boxes,
// menus) are not routed. Releases always pass.

#include "ui/AcceleratorTable.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QKeyEvent;
class QWidget;

class KeyRouter : public QObject {
    Q_OBJECT
public:
    using Execute = std::function<void(int command, Qt::KeyboardModifiers modifiers)>;

    // Installs itself on the application object; removed when destroyed.
    KeyRouter(QWidget& mainWindow, const AcceleratorTable& table, Execute execute);
    ~KeyRouter() override;

    // Names a pane root: presses inside it are routed whatever window holds it.
    void MarkPane(QWidget* root);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Place { Elsewhere, MainWindow, Pane };
    Place Where(QWidget* receiver) const;
    static bool SwallowedAtWindowLevel(const QKeyEvent& press);

    QPointer<QWidget> mainWindow;
    const AcceleratorTable& table;
    Execute execute;
    std::vector<QPointer<QWidget>> paneRoots;
};
