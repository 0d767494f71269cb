#pragma once
// One edit of the recorder's settings: the settings dialog, every settings
// model of the edit and a copy of the viewer's options, for as long as the
// edit lasts. The session writes setup.cfg when the dialog ends with OK.

#include "core/OptionRecord.h"
#include "settings/CVelmarkSetupData.h"
#include "settings/dialogs/CVelmarkOptionDlg.h"
#include "settings/dialogs/DialogRunner.h"
#include "settings/dialogs/SettingsServices.h"

#include <memory>
#include <vector>

class SettingsSession {
public:
    // parent: the window the dialog is modal over; it must outlive the session.
    explicit SettingsSession(SettingsServices services, QWidget* parent = nullptr);
    ~SettingsSession();
    SettingsSession(const SettingsSession&) = delete;
    SettingsSession& operator=(const SettingsSession&) = delete;

    // The caller's options: set before Run, read back with GetOptionRecord.
    OptionRecord options;

    // Runs the dialog; after OK takes its options back and writes setup.cfg
    // to the card in use, telling the user when that fails. After Cancel
    // nothing is copied or written.
    void Run();
    OptionRecord GetOptionRecord() const { return options; }

    // In place of exec() (tests).
    void SetDialogRunner(DialogRunner runner);
    CVelmarkOptionDlg& Dialog() { return *dialog; }

private:
    CVelmarkSetupData* NewModel();

    SettingsServices services;
    // Every model of the edit; the dialog, its currentSetup and setupData
    // below point into it. Declared before the dialog, so it goes after it.
    std::vector<std::unique_ptr<CVelmarkSetupData>> models;
    CVelmarkSetupData* setupData = nullptr;
    std::unique_ptr<CVelmarkOptionDlg> dialog;
    DialogRunner runner = ExecDialog;
};
