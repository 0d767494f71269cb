#include "platform/widgets/QtMessageBoxNotifier.h"

#include "platform/Paths.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>

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
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        // No UI thread to hand the box to.
        StderrNotifier().PostMessage(text, std::move(onClosed));
        return;
    }
    // A minimal queued hand-off: the lambda runs on the thread of qApp, the UI thread.
    QMetaObject::invokeMethod(
        app,
        [text, onClosed = std::move(onClosed)] {
            QMessageBox* box = MakeBox(text);
            box->setAttribute(Qt::WA_DeleteOnClose);
            QObject::connect(box, &QMessageBox::finished, box, [onClosed] {
                if (onClosed) {
                    onClosed();
                }
            });
            box->open();
        },
        Qt::QueuedConnection);
}
