#include "settings/dialogs/CardFormatFlow.h"

#include "core/Common.h"
#include "core/Logger.h"
#include "platform/FormatGuard.h"
#include "platform/UiThread.h"
#include "settings/SettingsDialogRules.h"

namespace {

using Button = UserNotifier::Button;

}  // namespace

CardFormatFlow::CardFormatFlow(QObject* owner, const SettingsServices& services, Hooks hooks)
    : owner(owner), services(services), hooks(std::move(hooks))
{
}

void CardFormatFlow::Start()
{
    if (running)
        return;
    if (services.notifier.Ask(Common::GetResourceString(SettingsText::kAskFormat), QString(),
                              Button::Ok | Button::Cancel, Button::Ok)
        != Button::Ok)
        return;
    card = hooks.selection();
    if (!card)
        return;
    // The dialog's own check first: a refusal never stops the player.
    if (const std::optional<FormatRefusal> refusal = FormatGuard::Check(card->drive, *services.drives)) {
        OnFormatted(CardFormatter::Failure(refusal->problem, refusal->reason));
        return;
    }
    running = true;
    hooks.setBusy(true);
    if (services.stopPlayback)
        services.stopPlayback();
    if (CardFormatter* cardFormatter = Formatter())
        cardFormatter->SetLabel(card->drive, CardLabel, Guarded(&CardFormatFlow::OnLabelled));
    else
        OnFormatted(CardFormatter::Failure(FormatProblem::Unavailable, QStringLiteral("no card formatter")));
}

void CardFormatFlow::OnLabelled(const FormatOutcome& outcome)
{
    // A label that could not be set does not stop the format.
    if (!outcome.ok)
        Log(QStringLiteral("label not set: ") + outcome.reason);
    if (services.notifier.Ask(FormatConfirmationText(card->drive, card->entryText), QString(),
                              Button::Ok | Button::Cancel, Button::Cancel)
        != Button::Ok) {
        Finish();
        return;
    }
    Formatter()->Format(card->drive, CardLabel, Guarded(&CardFormatFlow::OnFormatted));
}

void CardFormatFlow::OnFormatted(const FormatOutcome& outcome)
{
    const QString worded = FormatOutcomeText(outcome);
    if (!outcome.ok) {
        Log(QStringLiteral("not formatted: ") + outcome.reason);
        services.notifier.ShowMessage(WithReason(Common::GetResourceString(SettingsText::kFormatFailed), worded));
    } else if (!worded.isEmpty()) {
        Log(outcome.note);
        services.notifier.ShowMessage(worded);
    }
    Finish();
}

void CardFormatFlow::Finish()
{
    if (running) {
        running = false;
        hooks.setBusy(false);
    }
    hooks.finished(card->drive.deviceNumber);
}

CardFormatter* CardFormatFlow::Formatter()
{
    if (!formatter && services.makeFormatter)
        formatter = services.makeFormatter();
    return formatter.get();
}

FormatDone CardFormatFlow::Guarded(void (CardFormatFlow::*next)(const FormatOutcome&))
{
    return [guard = owner, this, next](const FormatOutcome& outcome) {
        Q_ASSERT(UiThread::IsUiThread());
        if (guard)
            (this->*next)(outcome);
    };
}

void CardFormatFlow::Log(const QString& text) const
{
    Logger::GetInstance().Log(text, QStringLiteral("CVelmarkOptionDlg"), QStringLiteral("OnBnClickedFormat"), 3, 3);
}
