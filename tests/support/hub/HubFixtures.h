#pragma once
// Fixtures of the suites that drive a hub: gates with bounded waits,
// recording listeners and playlist entries whose destruction is counted.

#include "hub/ApplicationHub.h"
#include "hub/IListener.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace hubtest {

using namespace std::chrono_literals;
constexpr auto kLimit = 5s;  // only catches a hang

// A one-shot event with a bounded wait.
class Gate {
public:
    void Open();
    bool Wait(std::chrono::milliseconds limit = kLimit);
    bool IsOpen();

private:
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
};

struct Delivery {
    std::string listener;
    int code;
    MessageParam payload;
    std::thread::id thread;
};

// Appends every delivery to a shared journal, then runs its hook.
class Journal {
public:
    void Add(Delivery delivery);
    void Mark(const std::string& note);  // a non-delivery event, listener "" code -1
    void Clear();
    std::vector<Delivery> Entries();
    // The "name:code" sequence, marks as "#note".
    std::vector<std::string> Sequence();
    // Waits until at least count deliveries of listener carry code.
    bool WaitFor(const std::string& listener, int code, std::chrono::milliseconds limit = kLimit);

private:
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Delivery> entries;
    std::vector<std::string> notes;
};

class RecordingListener : public IListener {
public:
    RecordingListener(std::string name, Journal& journal) : name(std::move(name)), journal(journal) {}
    void update(int code, const MessageParam* payload) override;

    // Runs before the delivery is journaled; may throw.
    std::function<void(int code, const MessageParam& payload)> before;
    // Runs after.
    std::function<void(int code, const MessageParam& payload)> after;

private:
    std::string name;
    Journal& journal;
};

std::unique_ptr<MessageParam> Index(int index);

// Entries made here count their destruction.
class EntryFactory {
public:
    std::shared_ptr<RecordingEntry> Make(int type, const QString& date = {}, const QString& time = {});
    ApplicationHub::Entries MakeTypes(const std::vector<int>& types);
    int Created() const { return created; }
    int Destroyed() const { return *destroyed; }

private:
    int created = 0;
    std::shared_ptr<std::atomic<int>> destroyed = std::make_shared<std::atomic<int>>(0);
};

// Aborts the run when the scope has not ended in time: a deadlock cannot be
// recovered from inside the test.
class Watchdog {
public:
    explicit Watchdog(const char* what, std::chrono::milliseconds limit = kLimit);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    Gate done;
    std::thread thread;
};

// A hub whose loader never touches a file.
inline ApplicationHub::MetadataLoader NoLoader()
{
    return [](RecordingEntry&) { return false; };
}

}  // namespace hubtest
