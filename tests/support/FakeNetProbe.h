#pragma once
// A connection probe that answers from a script: the scripted answers in
// order, then the fallback answer. It counts its calls and notes the thread
// of each.

#include "platform/NetProbe.h"

#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace testsupport {

class FakeNetProbe final : public NetProbe {
public:
    explicit FakeNetProbe(bool fallback = false) : fallback(fallback) {}

    bool IsOnline() override;

    // Answers for the next calls, in order.
    void Script(std::vector<bool> answers);
    void SetFallback(bool answer);

    int Calls() const;
    std::vector<std::thread::id> Threads() const;
    void ResetCalls();

private:
    mutable std::mutex mutex;
    std::deque<bool> scripted;
    bool fallback;
    std::vector<std::thread::id> threads;
};

}  // namespace testsupport
