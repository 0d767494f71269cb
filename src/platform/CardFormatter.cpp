#include "platform/CardFormatter.h"

#include "platform/FormatGuard.h"

#include <QTimer>

FormatOutcome CardFormatter::Success(QString newRoot, FormatNotice notice, QString note)
{
    FormatOutcome outcome;
    outcome.ok = true;
    outcome.notice = notice;
    outcome.newRoot = std::move(newRoot);
    outcome.note = std::move(note);
    return outcome;
}

FormatOutcome CardFormatter::Failure(FormatProblem problem, QString reason)
{
    FormatOutcome outcome;
    outcome.problem = problem;
    outcome.reason = std::move(reason);
    return outcome;
}

void CardFormatter::Deliver(FormatDone done, FormatOutcome outcome)
{
    if (!done)
        return;
    QTimer::singleShot(0, [done = std::move(done), outcome = std::move(outcome)] { done(outcome); });
}

GuardedCardFormatter::GuardedCardFormatter(std::shared_ptr<const Drives> drives, std::unique_ptr<CardFormatter> inner)
    : drives(std::move(drives)), inner(std::move(inner))
{
}

bool GuardedCardFormatter::Refused(const DriveInfo& drive, FormatDone& done) const
{
    std::optional<FormatRefusal> refusal = FormatGuard::Check(drive, *drives);
    if (!refusal)
        return false;
    Deliver(std::move(done), Failure(refusal->problem, std::move(refusal->reason)));
    return true;
}

void GuardedCardFormatter::SetLabel(const DriveInfo& drive, const QString& label, FormatDone done)
{
    if (!Refused(drive, done))
        inner->SetLabel(drive, label, std::move(done));
}

void GuardedCardFormatter::Format(const DriveInfo& drive, const QString& label, FormatDone done)
{
    if (!Refused(drive, done))
        inner->Format(drive, label, std::move(done));
}
