#include "support/FakeCardFormatter.h"

#include <QTimer>
#include <utility>

namespace testsupport {

namespace {

void Queue(FormatDone done, FormatOutcome outcome)
{
    QTimer::singleShot(0, [done = std::move(done), outcome = std::move(outcome)] { done(outcome); });
}

}  // namespace

void FakeCardFormatter::SetLabel(const DriveInfo& drive, const QString& label, FormatDone done)
{
    Answer({Method::SetLabel, drive, label}, std::move(done));
}

void FakeCardFormatter::Format(const DriveInfo& drive, const QString& label, FormatDone done)
{
    Answer({Method::Format, drive, label}, std::move(done));
}

void FakeCardFormatter::Answer(Call call, FormatDone done)
{
    calls.push_back(std::move(call));
    FormatOutcome outcome;
    outcome.ok = true;
    if (!scripted.empty()) {
        outcome = scripted.front();
        scripted.pop_front();
    }
    if (holding)
        held.emplace_back(std::move(done), std::move(outcome));
    else
        Queue(std::move(done), std::move(outcome));
}

void FakeCardFormatter::Script(FormatOutcome outcome)
{
    scripted.push_back(std::move(outcome));
}

void FakeCardFormatter::Hold(bool hold)
{
    holding = hold;
}

void FakeCardFormatter::Release()
{
    for (auto& [done, outcome] : std::exchange(held, {}))
        Queue(std::move(done), std::move(outcome));
}

}  // namespace testsupport
