#include "settings/dialogs/CSetupDlg.h"

CSetupDlg::CSetupDlg(QWidget* parent) : QDialog(parent) {}
