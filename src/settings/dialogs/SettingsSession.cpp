#include "settings/dialogs/SettingsSession.h"

#include "core/Common.h"
#include "settings/SettingsDialogRules.h"

SettingsSession::SettingsSession(SettingsServices services, QWidget* parent) : services(std::move(services))
{
    setupData = NewModel();
    // No card yet: the working folder is never read or written as one.
    setupData->SetBasePath(QString());
    dialog = std::make_unique<CVelmarkOptionDlg>(this->services, [this] { return NewModel(); }, parent);
}

SettingsSession::~SettingsSession() = default;

CVelmarkSetupData* SettingsSession::NewModel()
{
    auto model = std::make_unique<CVelmarkSetupData>();
    if (services.clock)
        model->SetClock(services.clock);
    models.push_back(std::move(model));
    return models.back().get();
}

void SettingsSession::SetDialogRunner(DialogRunner newRunner)
{
    runner = std::move(newRunner);
}

void SettingsSession::Run()
{
    setupData->Load();
    dialog->setupData = setupData;
    dialog->options = options;
    if (runner(*dialog) != QDialog::Accepted)
        return;
    options = dialog->options;
    setupData = static_cast<CVelmarkSetupData*>(dialog->setupData);
    if (!setupData->Save()) {
        services.notifier.ShowMessage(WithReason(Common::GetResourceString(SettingsText::kSettingsNotSaved),
                                                 WriteFailureText(setupData->LastWriteError())));
    }
}
