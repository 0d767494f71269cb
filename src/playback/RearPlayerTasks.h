#pragma once
// The rear pane's own thread ("rear-player"), which runs the libvlc work its
// event handlers ask for. libvlc calls made on libvlc's event thread while
// the hub's worker stops, loads or releases the same player wait for each
// other for ever; a handler therefore only queues here.
//
// A task is queued with the load generation it was asked for. The
// generation moves on at every load and stop, so the work of an older
// generation drops itself: a queued task before it starts (here), a running
// one at its next step (the task checks Current()).

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class RearPlayerTasks {
public:
    using Task = std::function<void(std::uint64_t generation)>;

    RearPlayerTasks();
    // Stop().
    ~RearPlayerTasks();
    RearPlayerTasks(const RearPlayerTasks&) = delete;
    RearPlayerTasks& operator=(const RearPlayerTasks&) = delete;

    std::uint64_t Current() const { return generation; }
    // Moves the generation on and returns the new one.
    std::uint64_t Advance() { return ++generation; }

    // Any thread; waits at most for the queue's own lock. Dropped once
    // stopped.
    void Queue(std::uint64_t forGeneration, Task task);

    // On the tasks' thread, between steps: waits for pause, less when
    // stopping; false when stopping.
    bool Pause(std::chrono::milliseconds pause);

    // The task in progress finishes, queued ones are dropped, the thread
    // ends and is joined. Not on the tasks' thread.
    void Stop();

    bool OnTasksThread() const { return std::this_thread::get_id() == thread.get_id(); }

private:
    void Run();

    std::atomic<std::uint64_t> generation{0};
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::pair<std::uint64_t, Task>> queue;
    bool stopping = false;
    std::thread thread;
};
