#pragma once
// An event filter that notes the key of every key press it sees and lets
// it through: installed on the application object it stands in for the main
// window's key router, which sees keys before any widget.

#include <QEvent>
#include <QKeyEvent>
#include <QObject>

#include <vector>

namespace testsupport {

class KeyRecorder : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            keys.push_back(static_cast<QKeyEvent*>(event)->key());
        return false;
    }

    std::vector<int> keys;
};

}  // namespace testsupport
