#pragma once
// The dialogs the main window's commands run: the cut dialog, the report's
// printer and the settings session. The program's run the real ones; tests
// answer in their place.

#include "core/OptionRecord.h"
#include "ui/PrintReportData.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class ApplicationHub;
class CardFormatter;
class Drives;
class QWidget;
class RecordingEntry;

// What the user chose in the cut dialog: its four texts as it gives them.
struct CutChoice {
    QString outputFileName;
    QString outputFolder;
    QString startTime;  // "HH:MM:SS"
    QString endTime;
};

// Each runs modally over owner, on the UI thread.
class CommandDialogs {
public:
    virtual ~CommandDialogs() = default;
    // The cut dialog for the entry; none after a cancel.
    virtual std::optional<CutChoice> RunCutDialog(QWidget* owner, std::shared_ptr<const RecordingEntry> entry) = 0;
    // The print dialog, then the report of the record; true when printed.
    virtual bool PrintReport(QWidget* owner, const PrintReportData& record) = 0;
    // One settings session on a copy of options; the options it ends with,
    // changed or not. stopPlayback runs before a card format.
    virtual OptionRecord RunSettingsSession(QWidget* owner, const OptionRecord& options,
                                            std::function<void()> stopPlayback) = 0;
};

// The program's: CSaveVideoDialog, CPrintControl and SettingsSession.
class ProgramCommandDialogs : public CommandDialogs {
public:
    using FormatterMaker = std::function<std::shared_ptr<CardFormatter>()>;

    // drives and makeFormatter are the settings dialog's; an empty maker
    // gives the program's formatter over drives.
    ProgramCommandDialogs(ApplicationHub& hub, std::shared_ptr<const Drives> drives, FormatterMaker makeFormatter);

    std::optional<CutChoice> RunCutDialog(QWidget* owner, std::shared_ptr<const RecordingEntry> entry) override;
    bool PrintReport(QWidget* owner, const PrintReportData& record) override;
    OptionRecord RunSettingsSession(QWidget* owner, const OptionRecord& options,
                                    std::function<void()> stopPlayback) override;

private:
    ApplicationHub& hub;
    std::shared_ptr<const Drives> drives;
    FormatterMaker makeFormatter;
};
