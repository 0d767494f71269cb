#pragma once
// One load's notice: the wait cursor and the loading dialog over the window,
// shown and painted at once, both undone when the notice goes, on every way
// out of the load.

#include <QPointer>

class CLoadingDlg;
class QWidget;

class LoadingNotice {
public:
    // repaintWindow: the window is painted at once too (its own paint may
    // be pending behind the load).
    LoadingNotice(QWidget& window, bool repaintWindow);
    ~LoadingNotice();
    LoadingNotice(const LoadingNotice&) = delete;
    LoadingNotice& operator=(const LoadingNotice&) = delete;

private:
    QPointer<CLoadingDlg> dialog;
};
