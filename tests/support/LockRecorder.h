#pragma once
// Collects lock-rule violations for the life of the fixture.

#include "platform/Locks.h"

#include <mutex>
#include <string>
#include <utility>
#include <vector>

class LockRecorder {
public:
    LockRecorder()
        : previous(platform::LockChecks::SetHandler([this](const std::string& v) {
              std::lock_guard lock(mutex);
              violations.push_back(v);
          }))
    {
    }
    ~LockRecorder() { platform::LockChecks::SetHandler(std::move(previous)); }

    std::vector<std::string> Take()
    {
        std::lock_guard lock(mutex);
        return std::exchange(violations, {});
    }

private:
    std::mutex mutex;
    std::vector<std::string> violations;
    platform::LockChecks::Handler previous;
};
