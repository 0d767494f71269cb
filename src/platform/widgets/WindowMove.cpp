#include "platform/widgets/WindowMove.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace platform {

namespace {

// Moves one window with the pointer until the left button is released.
class PointerMove : public QObject {
public:
    explicit PointerMove(QWidget* window)
        : QObject(window), window(window), windowStart(window->pos()), pointerStart(QCursor::pos())
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseMove: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (!(mouse->buttons() & Qt::LeftButton)) {
                Finish();  // the release went elsewhere
                break;
            }
            // Absolute from the start: the same move seen by the window and
            // by its widget lands in the same place.
            window->move(windowStart + mouse->globalPosition().toPoint() - pointerStart);
            break;
        }
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                Finish();
            }
            break;
        case QEvent::Hide:
            if (watched == window) {
                Finish();
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    void Finish()
    {
        qApp->removeEventFilter(this);
        deleteLater();
    }

    QWidget* window;  // the parent: outlives this
    QPoint windowStart;
    QPoint pointerStart;
};

// The fallback move in progress, if any. A guard, not an owner: the move
// belongs to its window.
QPointer<PointerMove>& Current()
{
    static QPointer<PointerMove> current;
    return current;
}

}  // namespace

void StartWindowMove(QWidget* widget)
{
    QWidget* window = widget->window();
    delete Current().data();
    if (QWindow* handle = window->windowHandle(); handle && handle->startSystemMove()) {
        return;
    }
    Current() = new PointerMove(window);
}

}  // namespace platform
