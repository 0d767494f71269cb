#pragma once
// The card format of the settings dialog, step by step: the question, the
// guard, playback stopped, the label, a second question naming the device,
// the format, and the outcome worded for the user. The formatter answers
// through the event loop; the flow goes on from its answers and ends, once
// it has acted, in one call that refills and reselects the drive list.

#include "settings/dialogs/SettingsServices.h"

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class CardFormatFlow {
public:
    struct Selection {
        DriveInfo drive;
        QString entryText;
    };
    struct Hooks {
        // The drive list's selection, read after the first question.
        std::function<std::optional<Selection>()> selection;
        // From playback stopped until the end: the dialog takes no input.
        std::function<void(bool busy)> setBusy;
        // Refill the drive list and select the entry of this block device.
        std::function<void(quint64 deviceNumber)> finished;
    };

    // owner: the window the flow belongs to; an answer arriving after it is
    // gone does nothing.
    CardFormatFlow(QObject* owner, const SettingsServices& services, Hooks hooks);

    void Start();
    bool Running() const { return running; }

private:
    void OnLabelled(const FormatOutcome& outcome);
    void OnFormatted(const FormatOutcome& outcome);
    void Finish();
    CardFormatter* Formatter();
    // done for the formatter: runs next on the UI thread while owner lives.
    FormatDone Guarded(void (CardFormatFlow::*next)(const FormatOutcome&));
    void Log(const QString& text) const;

    QPointer<QObject> owner;
    const SettingsServices& services;
    Hooks hooks;
    std::shared_ptr<CardFormatter> formatter;
    std::optional<Selection> card;
    bool running = false;
};
