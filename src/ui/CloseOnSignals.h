#pragma once
// Ctrl+C, a termination request or a hang-up closes the viewer as its close
// button does: every open modal dialog is rejected first, then the window
// is closed. The handler only writes a byte into a pipe; the UI thread reads
// it from its event loop (nested loops included) and acts there.

#include <QObject>

#include <array>
#include <csignal>

class QSocketNotifier;
class QWidget;

class CloseOnSignals : public QObject {
    Q_OBJECT
public:
    // One at a time; restores the previous handlers when it goes.
    explicit CloseOnSignals(QWidget& window);
    ~CloseOnSignals() override;
    CloseOnSignals(const CloseOnSignals&) = delete;
    CloseOnSignals& operator=(const CloseOnSignals&) = delete;

private:
    void OnSignal();

    QWidget& window;
    std::array<int, 2> pipe{-1, -1};
    QSocketNotifier* notifier = nullptr;
    std::array<struct sigaction, 3> previous{};
};
