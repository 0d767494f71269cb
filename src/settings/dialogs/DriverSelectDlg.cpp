#include "settings/dialogs/DriverSelectDlg.h"

#include "platform/widgets/FitTexts.h"
#include "settings/dialogs/DriveCombo.h"

#include <QComboBox>
#include <QPushButton>

DriverSelectDlg::DriverSelectDlg(std::shared_ptr<const Drives> drives, QWidget* parent)
    : QDialog(parent), drives(std::move(drives))
{
    controls = DialogBuilder::Build(DialogTemplate::Get(273), this);
    platform::FitTexts(*this);
    connect(controls.Get<QPushButton>(static_cast<int>(DriveSelectId::Ok)), &QPushButton::clicked, this,
            &DriverSelectDlg::OnOK);
}

void DriverSelectDlg::showEvent(QShowEvent* event)
{
    if (!initialised)
        OnInitDialog();
    QDialog::showEvent(event);
}

bool DriverSelectDlg::OnInitDialog()
{
    if (initialised)
        return true;
    initialised = true;
    FillDriveList();
    return true;
}

void DriverSelectDlg::FillDriveList()
{
    FillDriveCombo(*controls.Get<QComboBox>(static_cast<int>(DriveSelectId::DriveList)), *drives);
}

QString DriverSelectDlg::GetSelectedDrive() const
{
    const std::optional<DriveInfo> drive = SelectedDrive(*controls.Get<QComboBox>(static_cast<int>(DriveSelectId::DriveList)));
    return drive ? drive->root : QString();
}

void DriverSelectDlg::OnOK()
{
    options.drivePath = GetSelectedDrive();
    accept();
}

std::optional<QString> ChooseDrive(std::shared_ptr<const Drives> drives, QWidget* parent, const DialogRunner& run)
{
    DriverSelectDlg dialog(std::move(drives), parent);
    if (run(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.GetOptionRecord().drivePath;
}
