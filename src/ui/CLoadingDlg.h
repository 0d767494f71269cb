#pragma once
// The notice shown while a load finds and checks recordings: three fixed
// lines under a title, no close button. LoadingNotice shows and removes it.

#include <QDialog>

// Template 40059 names no control; its three lines are unnamed.
enum class LoadingDlgId : int { Template = 40059 };

class CLoadingDlg : public QDialog {
    Q_OBJECT
public:
    explicit CLoadingDlg(QWidget* parent);
};
