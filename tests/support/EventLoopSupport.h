#pragma once
// Running the UI thread's event loop in tests, always with a limit.

#include <chrono>
#include <functional>

namespace testsupport {

// Serves events on the calling thread until done() holds or the limit
// passes; returns done().
bool ProcessEventsUntil(const std::function<bool()>& done,
                        std::chrono::milliseconds limit = std::chrono::seconds(5));

}  // namespace testsupport
