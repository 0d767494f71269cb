#pragma once
// The drive selection: the user names the drive that holds the recorder's
// card. Its one result is DRIVE_PATH in its own options.

#include "core/OptionRecord.h"
#include "platform/Drives.h"
#include "platform/widgets/DialogBuilder.h"
#include "settings/dialogs/DialogRunner.h"

#include <QDialog>
#include <memory>
#include <optional>

// The controls of dialog template 273.
enum class DriveSelectId : int {
    Ok = 1,
    DriveList = 1015,
};

class DriverSelectDlg : public QDialog {
    Q_OBJECT

public:
    explicit DriverSelectDlg(std::shared_ptr<const Drives> drives, QWidget* parent = nullptr);

    // Runs once, at the first show (tests run it before showing): the drives
    // listed, none selected.
    bool OnInitDialog();
    void FillDriveList();
    // The selected entry's root ("" without a selection).
    QString GetSelectedDrive() const;
    // OK and Enter: DRIVE_PATH = the selected root, then the dialog ends with
    // OK. There is no Cancel button; Esc and the window's close cancel.
    void OnOK();
    OptionRecord GetOptionRecord() const { return options; }

    const ControlMap& Controls() const { return controls; }

    OptionRecord options;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::shared_ptr<const Drives> drives;
    ControlMap controls;
    bool initialised = false;
};

// Runs the drive selection over drives: the chosen root after OK (empty when
// OK had no selection), none after Esc or the window's close.
std::optional<QString> ChooseDrive(std::shared_ptr<const Drives> drives, QWidget* parent,
                                   const DialogRunner& run = ExecDialog);
