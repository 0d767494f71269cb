#include "platform/UiThread.h"

#include "platform/Locks.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>

#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

namespace UiThread {

namespace {

struct InvokeTask {
    std::function<void()> fn;
    bool started = false;
    bool done = false;
    std::exception_ptr error;
};

struct PostTask {
    QPointer<QObject> context;
    bool hasContext = false;
    std::function<void()> fn;
    std::string key;  // empty: not coalesced
};

struct State {
    std::mutex mutex;
    std::condition_variable finished;
    std::deque<std::shared_ptr<InvokeTask>> invokes;
    std::deque<PostTask> posts;
    std::set<std::string> activeKeys;  // coalesced tasks queued or running
    bool open = false;
    int eventFd = -1;
    std::atomic<std::thread::id> uiThread{};

    // UI thread only.
    QSocketNotifier* notifier = nullptr;
    int servingDepth = 0;
    int wakeDepth = 0;
};

State& TheState()
{
    static State* state = new State;  // outlives every thread that may still call in
    return *state;
}

thread_local int invokeTaskDepth = 0;

struct InvokeTaskScope {
    InvokeTaskScope() { ++invokeTaskDepth; }
    ~InvokeTaskScope() { --invokeTaskDepth; }
};

// Caller holds the mutex, so Close cannot close the descriptor meanwhile.
void WakeLocked(State& s)
{
    if (s.eventFd < 0)
        return;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(s.eventFd, &one, sizeof one);
}

void RunInvokeTasks(State& s)
{
    for (;;) {
        std::shared_ptr<InvokeTask> task;
        {
            std::lock_guard lock(s.mutex);
            if (s.invokes.empty())
                return;
            task = std::move(s.invokes.front());
            s.invokes.pop_front();
            task->started = true;
        }
        try {
            InvokeTaskScope scope;
            task->fn();
        } catch (...) {
            task->error = std::current_exception();
        }
        {
            std::lock_guard lock(s.mutex);
            task->done = true;
            // The caller ends up with the last reference: the task, its fn
            // and any exception are released on the caller's thread.
            task.reset();
        }
        s.finished.notify_all();
    }
}

// Runs the Post tasks queued when it starts; later ones come with their own
// wake-up, so a task that posts again cannot keep the loop here.
void RunPostTasks(State& s)
{
    std::size_t budget;
    {
        std::lock_guard lock(s.mutex);
        budget = s.posts.size();
    }
    for (; budget > 0; --budget) {
        RunInvokeTasks(s);
        PostTask task;
        {
            std::lock_guard lock(s.mutex);
            if (s.posts.empty() || s.servingDepth > 0)
                return;
            task = std::move(s.posts.front());
            s.posts.pop_front();
        }
        if (!task.hasContext || task.context) {
            try {
                task.fn();
            } catch (const std::exception& e) {
                std::fprintf(stderr, "UI task failed: %s\n", e.what());
            } catch (...) {
                std::fprintf(stderr, "UI task failed\n");
            }
        }
        if (!task.key.empty()) {
            std::lock_guard lock(s.mutex);
            s.activeKeys.erase(task.key);
        }
    }
}

void OnWake()
{
    State& s = TheState();
    {
        std::lock_guard lock(s.mutex);
        std::uint64_t count = 0;
        if (s.eventFd >= 0)
            [[maybe_unused]] const ssize_t got = ::read(s.eventFd, &count, sizeof count);
    }
    ++s.wakeDepth;
    RunInvokeTasks(s);
    if (s.servingDepth == 0)
        RunPostTasks(s);
    --s.wakeDepth;
}

bool Enqueue(PostTask task)
{
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    if (!s.open)
        return false;
    if (!task.key.empty() && !s.activeKeys.insert(task.key).second)
        return false;
    s.posts.push_back(std::move(task));
    WakeLocked(s);
    return true;
}

}  // namespace

void Install()
{
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    if (s.open)
        return;
    s.eventFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (s.eventFd < 0) {
        std::perror("eventfd");
        return;
    }
    s.uiThread = std::this_thread::get_id();
    s.notifier = new QSocketNotifier(s.eventFd, QSocketNotifier::Read);
    QObject::connect(s.notifier, &QSocketNotifier::activated, s.notifier, [] { OnWake(); });
    s.open = true;
}

bool IsUiThread()
{
    return TheState().uiThread.load() == std::this_thread::get_id();
}

bool InInvokeTask()
{
    return invokeTaskDepth > 0;
}

bool Invoke(const std::function<void()>& fn)
{
    platform::LockChecks::CheckInvokeAllowed();
    State& s = TheState();
    if (IsUiThread()) {
        {
            std::lock_guard lock(s.mutex);
            if (!s.open)
                return false;
        }
        InvokeTaskScope scope;
        fn();
        return true;
    }

    auto task = std::make_shared<InvokeTask>();
    task->fn = fn;
    std::unique_lock lock(s.mutex);
    if (!s.open)
        return false;
    s.invokes.push_back(task);
    WakeLocked(s);
    // A task already started is waited for even after Close: fn may refer to
    // the caller's locals.
    s.finished.wait(lock, [&] { return task->done || (!s.open && !task->started); });
    if (!task->done)
        return false;
    lock.unlock();
    if (task->error)
        std::rethrow_exception(task->error);
    return true;
}

bool Post(QObject* context, std::function<void()> fn)
{
    return Enqueue(PostTask{QPointer<QObject>(context), context != nullptr, std::move(fn), {}});
}

bool PostCoalesced(const std::string& key, QObject* context, std::function<void()> fn)
{
    return Enqueue(PostTask{QPointer<QObject>(context), context != nullptr, std::move(fn), key});
}

void ServePending()
{
    if (!IsUiThread())
        return;
    State& s = TheState();
    {
        std::lock_guard lock(s.mutex);
        ++s.servingDepth;
    }
    RunInvokeTasks(s);
    std::lock_guard lock(s.mutex);
    // Post tasks skipped by nested loops meanwhile need a fresh wake-up.
    if (--s.servingDepth == 0 && !s.posts.empty())
        WakeLocked(s);
}

void Close()
{
    State& s = TheState();
    if (!IsUiThread())
        return;
    // Stop watching before the descriptor goes.
    QSocketNotifier* notifier = s.notifier;
    if (notifier)
        notifier->setEnabled(false);
    {
        std::lock_guard lock(s.mutex);
        if (!s.open)
            return;
        s.open = false;
        s.invokes.clear();
        s.posts.clear();
        s.activeKeys.clear();
        if (s.eventFd >= 0)
            ::close(s.eventFd);
        s.eventFd = -1;
        s.notifier = nullptr;
    }
    s.finished.notify_all();
    if (notifier) {
        if (s.wakeDepth > 0)
            notifier->deleteLater();
        else
            delete notifier;
    }
}

}  // namespace UiThread
