#include "platform/widgets/QtMessageBoxNotifier.h"

#include "platform/Paths.h"
#include "platform/UiThread.h"

#include <QApplication>
#include <QMessageBox>

#include <memory>

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
