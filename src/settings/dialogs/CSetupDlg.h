#pragma once
// The base of the settings dialog: the model it edits and its copy of the
// viewer's options.

#include "core/CSetupDataEx.h"
#include "core/OptionRecord.h"

#include <QDialog>

class CSetupDlg : public QDialog {
    Q_OBJECT

public:
    explicit CSetupDlg(QWidget* parent = nullptr);

    // The model to be saved: set by the session before the dialog runs, set
    // to the model in use when the user saves. Not owned.
    CSetupDataEx* setupData = nullptr;
    // Copied in by the session before the dialog runs, copied back after OK.
    OptionRecord options;
};
