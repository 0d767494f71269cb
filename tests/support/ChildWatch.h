#pragma once
// Watching child processes from tests: bounded waits that keep the event
// loop turning, the kernel's view of a process, and the stub player.

#include <QString>
#include <functional>

namespace testsupport {

// Runs the event loop until done() holds or timeoutMs have passed.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);

// The state letter of /proc/<pid>/stat ('R', 'S', 'Z', ...), 0 when the
// process is gone (reaped).
char ProcessState(long long pid);
// Ended: gone or a zombie.
bool ProcessEnded(long long pid);

// tests/support/stub-player: see the script for its environment.
QString StubPlayerPath();

}  // namespace testsupport
