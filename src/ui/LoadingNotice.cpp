#include "ui/LoadingNotice.h"

#include "ui/CLoadingDlg.h"
#include "ui/UiAssert.h"

#include <QApplication>

LoadingNotice::LoadingNotice(QWidget& window, bool repaintWindow) : dialog(new CLoadingDlg(&window))
{
    ui::AssertUiThread();
    dialog->move(window.geometry().center() - dialog->rect().center());
    dialog->show();
    dialog->repaint();
    if (repaintWindow)
        window.repaint();
    // The load blocks the UI thread: let the windows reach the screen first.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

LoadingNotice::~LoadingNotice()
{
    QApplication::restoreOverrideCursor();
    delete dialog.data();
}
