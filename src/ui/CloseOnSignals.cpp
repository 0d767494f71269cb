#include "ui/CloseOnSignals.h"

#include "ui/UiAssert.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>

#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> kSignals{SIGINT, SIGTERM, SIGHUP};

// The write end, for the handler; -1 while no closer is installed.
volatile sig_atomic_t writeEnd = -1;

extern "C" void WriteSignalByte(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    if (writeEnd >= 0)
        [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
    errno = savedErrno;
}

}  // namespace

CloseOnSignals::CloseOnSignals(QWidget& window) : window(window)
{
    ui::AssertUiThread();
    if (::pipe2(pipe.data(), O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("no pipe for the signal handlers");
    writeEnd = pipe[1];
    notifier = new QSocketNotifier(pipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &CloseOnSignals::OnSignal);

    struct sigaction action {};
    action.sa_handler = WriteSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &action, &previous[i]);
}

CloseOnSignals::~CloseOnSignals()
{
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &previous[i], nullptr);
    writeEnd = -1;
    delete notifier;
    ::close(pipe[0]);
    ::close(pipe[1]);
}

void CloseOnSignals::OnSignal()
{
    char bytes[16];
    while (::read(pipe[0], bytes, sizeof bytes) > 0) {
    }
    // Dialogs opened over the window end as if cancelled, so the code that
    // opened them unwinds; then the window closes as its close button does.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        QPointer<QDialog> dialog = qobject_cast<QDialog*>(widget);
        if (dialog && dialog != &window && dialog->isVisible() && dialog->isModal())
            dialog->reject();
    }
    window.close();
}
