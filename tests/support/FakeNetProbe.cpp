#include "support/FakeNetProbe.h"

namespace testsupport {

bool FakeNetProbe::IsOnline()
{
    std::lock_guard lock(mutex);
    threads.push_back(std::this_thread::get_id());
    if (scripted.empty())
        return fallback;
    const bool answer = scripted.front();
    scripted.pop_front();
    return answer;
}

void FakeNetProbe::Script(std::vector<bool> answers)
{
    std::lock_guard lock(mutex);
    scripted.assign(answers.begin(), answers.end());
}

void FakeNetProbe::SetFallback(bool answer)
{
    std::lock_guard lock(mutex);
    fallback = answer;
}

int FakeNetProbe::Calls() const
{
    std::lock_guard lock(mutex);
    return int(threads.size());
}

std::vector<std::thread::id> FakeNetProbe::Threads() const
{
    std::lock_guard lock(mutex);
    return threads;
}

void FakeNetProbe::ResetCalls()
{
    std::lock_guard lock(mutex);
    threads.clear();
}

}  // namespace testsupport
