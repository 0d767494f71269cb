#pragma once
// Answering a modal window from inside the test that opened it: the action
// runs from the event loop of exec() once the window is up.

#include <QApplication>
#include <QTimer>
#include <functional>

namespace testsupport {

// Runs act on the next visible active modal window that is a T.
template <typename T>
void OnNextModal(std::function<void(T*)> act)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget()); window && window->isVisible()) {
            poll->stop();
            poll->deleteLater();
            act(window);
        }
    });
    poll->start(10);
}

}  // namespace testsupport
