#include "support/hub/HubFixtures.h"

#include <cstdio>
#include <cstdlib>

namespace hubtest {

// Notified under the lock: a waiter may destroy the gate as soon as it
// returns, which it cannot before the lock is released.
void Gate::Open()
{
    std::lock_guard lock(mutex);
    open = true;
    opened.notify_all();
}

bool Gate::Wait(std::chrono::milliseconds limit)
{
    std::unique_lock lock(mutex);
    return opened.wait_for(lock, limit, [this] { return open; });
}

bool Gate::IsOpen()
{
    std::lock_guard lock(mutex);
    return open;
}

Watchdog::Watchdog(const char* what, std::chrono::milliseconds limit)
    : thread([this, what, limit] {
          if (!done.Wait(limit)) {
              std::fprintf(stderr, "watchdog: %s did not return\n", what);
              std::abort();
          }
      })
{
}

Watchdog::~Watchdog()
{
    done.Open();
    thread.join();
}

void Journal::Add(Delivery delivery)
{
    {
        std::lock_guard lock(mutex);
        notes.push_back(delivery.listener + ":" + std::to_string(delivery.code));
        entries.push_back(std::move(delivery));
    }
    changed.notify_all();
}

void Journal::Mark(const std::string& note)
{
    std::lock_guard lock(mutex);
    notes.push_back("#" + note);
}

void Journal::Clear()
{
    std::lock_guard lock(mutex);
    entries.clear();
    notes.clear();
}

std::vector<Delivery> Journal::Entries()
{
    std::lock_guard lock(mutex);
    return entries;
}

std::vector<std::string> Journal::Sequence()
{
    std::lock_guard lock(mutex);
    return notes;
}

bool Journal::WaitFor(const std::string& listener, int code, std::chrono::milliseconds limit)
{
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, limit, [&] {
        for (const Delivery& d : entries) {
            if (d.listener == listener && d.code == code)
                return true;
        }
        return false;
    });
}

void RecordingListener::update(int code, const MessageParam* payload)
{
    if (before)
        before(code, *payload);
    journal.Add({name, code, *payload, std::this_thread::get_id()});
    if (after)
        after(code, *payload);
}

std::unique_ptr<MessageParam> Index(int index)
{
    auto payload = std::make_unique<MessageParam>();
    payload->index = index;
    return payload;
}

std::shared_ptr<RecordingEntry> EntryFactory::Make(int type, const QString& date, const QString& time)
{
    ++created;
    const QString name = QStringLiteral("entry%1.avi").arg(created);
    auto counter = destroyed;
    std::shared_ptr<RecordingEntry> entry(new RecordingEntry(OleDateTime(), type, QStringLiteral("/none/") + name, name),
                                          [counter](RecordingEntry* e) {
                                              ++*counter;
                                              delete e;
                                          });
    entry->dateText = date;
    entry->timeText = time;
    entry->number = created;
    return entry;
}

ApplicationHub::Entries EntryFactory::MakeTypes(const std::vector<int>& types)
{
    ApplicationHub::Entries entries;
    for (int type : types)
        entries.push_back(Make(type));
    return entries;
}

}  // namespace hubtest
