#include "playback/RearPlayerTasks.h"

#include <pthread.h>

#include <cassert>

RearPlayerTasks::RearPlayerTasks() : thread(&RearPlayerTasks::Run, this) {}

RearPlayerTasks::~RearPlayerTasks()
{
    Stop();
}

void RearPlayerTasks::Queue(std::uint64_t forGeneration, Task task)
{
    {
        std::lock_guard lock(mutex);
        if (stopping)
            return;
        queue.emplace_back(forGeneration, std::move(task));
    }
    changed.notify_all();
}

bool RearPlayerTasks::Pause(std::chrono::milliseconds pause)
{
    std::unique_lock lock(mutex);
    changed.wait_for(lock, pause, [this] { return stopping; });
    return !stopping;
}

void RearPlayerTasks::Stop()
{
    assert(!OnTasksThread() && "the rear tasks cannot stop themselves");
    {
        std::lock_guard lock(mutex);
        stopping = true;
        queue.clear();
    }
    changed.notify_all();
    if (thread.joinable())
        thread.join();
}

void RearPlayerTasks::Run()
{
    pthread_setname_np(pthread_self(), "rear-player");
    for (;;) {
        std::pair<std::uint64_t, Task> next;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [this] { return stopping || !queue.empty(); });
            if (stopping)
                return;
            next = std::move(queue.front());
            queue.pop_front();
        }
        if (next.first == generation)
            next.second(next.first);
    }
}
