#include "platform/Locks.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace platform {

namespace {

#ifdef KESTROV_LOCK_CHECKS
constexpr bool kChecksEnabled = true;
#else
constexpr bool kChecksEnabled = false;
#endif

// Locks held by this thread, in the order taken; a re-entered lock appears
// once per entry.
thread_local std::vector<const LockBase*> heldLocks;

std::mutex handlerMutex;
LockChecks::Handler& CurrentHandler()
{
    static LockChecks::Handler handler;
    return handler;
}

}  // namespace

void LockBase::BeforeLock(bool recursive) const
{
    if (!kChecksEnabled)
        return;
    const bool reentry = std::find(heldLocks.begin(), heldLocks.end(), this) != heldLocks.end();
    if (reentry) {
        if (!recursive)
            LockChecks::Report(std::string("lock ") + name + " taken again by the thread that holds it");
        return;
    }
    for (const LockBase* held : heldLocks) {
        if (held->rank > rank) {
            LockChecks::Report(std::string("lock order: ") + name + " (rank " + std::to_string(rank) +
                               ") taken while holding " + held->name + " (rank " +
                               std::to_string(held->rank) + ")");
            return;
        }
    }
}

void LockBase::AfterLock() const
{
    if (kChecksEnabled)
        heldLocks.push_back(this);
}

void LockBase::AfterUnlock() const
{
    if (!kChecksEnabled)
        return;
    const auto it = std::find(heldLocks.rbegin(), heldLocks.rend(), this);
    if (it != heldLocks.rend())
        heldLocks.erase(std::next(it).base());
}

namespace LockChecks {

bool Enabled()
{
    return kChecksEnabled;
}

Handler SetHandler(Handler handler)
{
    std::lock_guard guard(handlerMutex);
    Handler previous = std::move(CurrentHandler());
    CurrentHandler() = std::move(handler);
    return previous;
}

void Report(const std::string& violation)
{
    Handler handler;
    {
        std::lock_guard guard(handlerMutex);
        handler = CurrentHandler();
    }
    if (handler) {
        handler(violation);
        return;
    }
    std::fprintf(stderr, "lock rule violated: %s\n", violation.c_str());
    std::abort();
}

void CheckInvokeAllowed()
{
    if (!kChecksEnabled)
        return;
    std::vector<const LockBase*> reported;
    for (const LockBase* held : heldLocks) {
        if (!held->ForbidsInvoke() || std::find(reported.begin(), reported.end(), held) != reported.end())
            continue;
        reported.push_back(held);
        Report(std::string("UI hand-off while holding ") + held->Name());
    }
}

int HeldCount()
{
    return static_cast<int>(heldLocks.size());
}

}  // namespace LockChecks

}  // namespace platform
