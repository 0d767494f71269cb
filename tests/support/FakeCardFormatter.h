#pragma once
// A card formatter that records its calls and answers with scripted outcomes,
// through the event loop as a real one does, or only when released.

#include "platform/CardFormatter.h"

#include <deque>
#include <vector>

namespace testsupport {

class FakeCardFormatter : public CardFormatter {
public:
    enum class Method { SetLabel, Format };
    struct Call {
        Method method;
        DriveInfo drive;
        QString label;
    };

    void SetLabel(const DriveInfo& drive, const QString& label, FormatDone done) override;
    void Format(const DriveInfo& drive, const QString& label, FormatDone done) override;

    // Outcomes for the next calls, in order; success once they run out.
    void Script(FormatOutcome outcome);
    // While held, outcomes wait for Release instead of being queued.
    void Hold(bool hold);
    void Release();

    const std::vector<Call>& Calls() const { return calls; }

private:
    void Answer(Call call, FormatDone done);

    std::vector<Call> calls;
    std::deque<FormatOutcome> scripted;
    std::vector<std::pair<FormatDone, FormatOutcome>> held;
    bool holding = false;
};

}  // namespace testsupport
