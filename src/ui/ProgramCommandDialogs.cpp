#include "ui/CommandSeams.h"

#include "platform/dbus/MakeCardFormatter.h"
#include "settings/dialogs/SettingsServices.h"
#include "settings/dialogs/SettingsSession.h"
#include "ui/CPrintControl.h"
#include "ui/CSaveVideoDialog.h"
#include "ui/UiAssert.h"

ProgramCommandDialogs::ProgramCommandDialogs(ApplicationHub& hub, std::shared_ptr<const Drives> drives,
                                             FormatterMaker makeFormatter)
    : hub(hub), drives(std::move(drives)), makeFormatter(std::move(makeFormatter))
{
    if (!this->makeFormatter) {
        this->makeFormatter = [drives = this->drives]() -> std::shared_ptr<CardFormatter> {
            return MakeCardFormatter(drives);
        };
    }
}

std::optional<CutChoice> ProgramCommandDialogs::RunCutDialog(QWidget* owner,
                                                             std::shared_ptr<const RecordingEntry> entry)
{
    ui::AssertUiThread();
    CSaveVideoDialog dialog(owner, hub);
    dialog.recording = std::move(entry);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return CutChoice{dialog.GetOutputFileName(), dialog.GetOutputFolder(), dialog.GetStartTime(),
                     dialog.GetEndTime()};
}

bool ProgramCommandDialogs::PrintReport(QWidget* owner, const PrintReportData& record)
{
    ui::AssertUiThread();
    CPrintControl printer(hub);
    printer.report = record;
    const bool printed = printer.Print(owner);
    printer.report = PrintReportData();
    return printed;
}

OptionRecord ProgramCommandDialogs::RunSettingsSession(QWidget* owner, const OptionRecord& options,
                                                       std::function<void()> stopPlayback)
{
    ui::AssertUiThread();
    SettingsServices services = SettingsServices::ForProgram();
    services.drives = drives;
    services.makeFormatter = makeFormatter;
    services.stopPlayback = std::move(stopPlayback);
    SettingsSession session(std::move(services), owner);
    session.options = options;
    session.Run();
    return session.GetOptionRecord();
}
