#pragma once
// An event loop for tests of code that reports through it.

#include <chrono>
#include <functional>

namespace testsupport {

// Makes sure a QCoreApplication exists (one for the whole test process).
void EnsureCoreApplication();
// Runs the event loop until done() is true; false when it stays false for
// the limit (a generous minute by default), so a lost callback fails the
// test instead of hanging it.
bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::minutes(1));

}  // namespace testsupport
