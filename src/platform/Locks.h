#pragma once
// Named, ranked locks. They behave as std::mutex / std::recursive_mutex
// (Lockable, so std::scoped_lock and std::unique_lock work) and, when built
// with lock checks, report two kinds of misuse that would deadlock the UI
// thread against the hub worker: taking a lock of lower rank than one the
// thread already holds, and a blocking UI hand-off made while holding a lock
// that forbids it.

#include <functional>
#include <mutex>
#include <string>

namespace platform {

enum class InvokeRule { Allowed, Forbidden };

class LockBase {
public:
    LockBase(const char* name, int rank, InvokeRule rule) : name(name), rank(rank), rule(rule) {}
    LockBase(const LockBase&) = delete;
    LockBase& operator=(const LockBase&) = delete;

    const char* Name() const { return name; }
    int Rank() const { return rank; }
    bool ForbidsInvoke() const { return rule == InvokeRule::Forbidden; }

protected:
    void BeforeLock(bool recursive) const;
    void AfterLock() const;
    void AfterUnlock() const;

private:
    const char* name;
    int rank;
    InvokeRule rule;
};

template <typename Mutex, bool Recursive>
class RankedLock : public LockBase {
public:
    using LockBase::LockBase;

    void lock()
    {
        BeforeLock(Recursive);
        mutex.lock();
        AfterLock();
    }
    // A failed try cannot deadlock, so the order is not checked here.
    bool try_lock()
    {
        if (!mutex.try_lock())
            return false;
        AfterLock();
        return true;
    }
    void unlock()
    {
        AfterUnlock();
        mutex.unlock();
    }

private:
    Mutex mutex;
};

// Never re-entered: a second lock() on the owning thread deadlocks (and is
// reported when checks are on).
using Lock = RankedLock<std::mutex, false>;
// May be re-entered by the thread that holds it.
using RecursiveLock = RankedLock<std::recursive_mutex, true>;

namespace LockChecks {

// True when the build tracks held locks (option LOCK_CHECKS).
bool Enabled();

// Receives every violation; the default prints it on stderr and aborts.
// Returns the handler it replaces; an empty handler restores the default.
using Handler = std::function<void(const std::string& violation)>;
Handler SetHandler(Handler handler);
void Report(const std::string& violation);

// Reports each lock held by the calling thread that forbids a blocking
// hand-off to the UI thread.
void CheckInvokeAllowed();

// How many locks the calling thread holds (re-entries counted).
int HeldCount();

}  // namespace LockChecks

}  // namespace platform
