#include "platform/widgets/QtMessageBoxNotifier.h"

#include "platform/Paths.h"
#include "platform/UiThread.h"

#include <QApplication>
#include <QMessageBox>

#include <QThread>

#include <array>
#include <memory>
#include <stdexcept>
#include <utility>

namespace {

constexpr std::array<std::pair<UserNotifier::Button, QMessageBox::StandardButton>, 4> kButtons{{
    {UserNotifier::Button::Ok, QMessageBox::Ok},
    {UserNotifier::Button::Cancel, QMessageBox::Cancel},
    {UserNotifier::Button::Yes, QMessageBox::Yes},
    {UserNotifier::Button::No, QMessageBox::No},
}};

QMessageBox::StandardButton ToStandard(UserNotifier::Button button)
{
    for (const auto& [ours, standard] : kButtons) {
        if (ours == button) {
            return standard;
        }
    }
    return QMessageBox::NoButton;
}

}  // namespace

QMessageBox* QtMessageBoxNotifier::MakeBox(const QString& text)
{
    return new QMessageBox(QMessageBox::Warning, Paths::ProgramBaseName(), text, QMessageBox::Ok);
}

void QtMessageBoxNotifier::ShowMessage(const QString& text)
{
    const std::unique_ptr<QMessageBox> box(MakeBox(text));
    box->exec();
}

void QtMessageBoxNotifier::ShowFileError(const QString& path, int error)
{
    ShowMessage(FileErrorText(path, error));
}

void QtMessageBoxNotifier::PostMessage(const QString& text, std::function<void()> onClosed)
{
    auto show = [text, onClosed] {
        QMessageBox* box = MakeBox(text);
        box->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(box, &QMessageBox::finished, box, [onClosed] {
            if (onClosed) {
                onClosed();
            }
        });
        box->open();
    };
    // Off the UI thread the same box is asked for at most once while an
    // earlier request for it is still waiting.
    QCoreApplication* app = QCoreApplication::instance();
    const bool handedOver = UiThread::IsUiThread()
                                ? UiThread::Post(app, std::move(show))
                                : UiThread::PostCoalesced("box:" + text.toStdString(), app, std::move(show));
    if (!handedOver) {
        // No UI thread to show it, or the same box already on its way.
        StderrNotifier().PostMessage(text, std::move(onClosed));
    }
}

UserNotifier::Button QtMessageBoxNotifier::AskBox(const QString& text, const QString& caption, Buttons buttons,
                                                  Button defaultButton)
{
    if (!QCoreApplication::instance() || QThread::currentThread() != QCoreApplication::instance()->thread()) {
        throw std::logic_error("a question is asked on the UI thread only (UiThread::Invoke from a worker)");
    }
    QMessageBox box(QMessageBox::Question, caption, text);
    for (const auto& [ours, standard] : kButtons) {
        if (buttons.testFlag(ours)) {
            box.addButton(standard);
        }
    }
    box.setDefaultButton(ToStandard(defaultButton));
    box.setEscapeButton(box.button(ToStandard(EscapeAnswer(buttons))));
    box.exec();
    for (const auto& [ours, standard] : kButtons) {
        if (box.clickedButton() && box.clickedButton() == box.button(standard)) {
            return ours;
        }
    }
    return EscapeAnswer(buttons);
}
