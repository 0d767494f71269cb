#include "hub/ApplicationHub.h"

#include "core/Logger.h"
#include "hub/IListener.h"
#include "hub/PlaylistNavigation.h"
#include "platform/UiThread.h"

#include <QString>

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <chrono>
#include <exception>

using namespace std::chrono_literals;

namespace {

std::mutex instanceMutex;
ApplicationHub* instance = nullptr;
bool instanceDestroyed = false;

constexpr auto kIdlePoll = 100ms;
constexpr auto kEndPoll = 10ms;

void LogListenerException(const QString& text)
{
    Logger::GetInstance().Log(QStringLiteral("Listener exception: ") + text, QStringLiteral("ApplicationHub"),
                              QStringLiteral("DispatchThreadProc"), 3, 3);
}

void ReportIfInInvokeTask(const char* operation)
{
    if (platform::LockChecks::Enabled() && UiThread::InInvokeTask())
        platform::LockChecks::Report(std::string(operation) + " inside a UI hand-off task");
}

// The fields the metadata decoder writes; number, type and names stay.
void MoveDecodedFields(RecordingEntry& from, RecordingEntry& to)
{
    to.duration = from.duration;
    to.durationSpan = from.durationSpan;
    to.videoStreamCount = from.videoStreamCount;
    to.totalFrames = from.totalFrames;
    to.width = from.width;
    to.height = from.height;
    to.metadataLoaded = from.metadataLoaded;
    to.selectTrack1 = from.selectTrack1;
    to.motionSamples = std::move(from.motionSamples);
    to.motionTimes = std::move(from.motionTimes);
    to.gpsFixes = std::move(from.gpsFixes);
}

}  // namespace

ApplicationHub* ApplicationHub::GetInstance()
{
    std::lock_guard lock(instanceMutex);
    if (!instance && !instanceDestroyed)
        instance = new ApplicationHub();
    return instance;
}

void ApplicationHub::DestroyInstance()
{
    ApplicationHub* hub = nullptr;
    {
        std::lock_guard lock(instanceMutex);
        hub = instance;
        instance = nullptr;
        instanceDestroyed = true;
    }
    delete hub;
}

ApplicationHub::ApplicationHub(MetadataLoader loader) : loadMetadata(std::move(loader))
{
    worker = std::thread(&ApplicationHub::DispatchThreadProc, this);
}

ApplicationHub::~ApplicationHub()
{
    if (worker.joinable()) {
        assert(std::this_thread::get_id() != worker.get_id() && "the hub cannot be destroyed by its own worker");
        Stop();
        worker.join();
    }
}

void ApplicationHub::DispatchThreadProc(ApplicationHub* hub)
{
    pthread_setname_np(pthread_self(), "hub-worker");
    // Needs CAP_SYS_NICE; an ordinary user is refused, which changes nothing else.
    [[maybe_unused]] const int refused = setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), -10);

    while (hub->running) {
        {
            std::unique_lock lock(hub->messageLock);
            hub->messageArrived.wait_for(lock, kIdlePoll,
                                         [hub] { return !hub->running || !hub->messages.empty(); });
        }
        std::optional<HubMessage> message = hub->PopMessage();
        if (!message)
            continue;
        if (!hub->running)
            break;
        hub->Deliver(*message);
    }
    {
        std::lock_guard lock(hub->endMutex);
        hub->ended = true;
    }
    hub->workerEnded.notify_all();
}

void ApplicationHub::Deliver(const HubMessage& message)
{
    std::unique_lock lock(listenerLock);
    // A listener may attach or detach from inside update: walk a snapshot and
    // skip whoever is no longer attached.
    const std::vector<IListener*> snapshot = listeners;
    for (IListener* listener : snapshot) {
        if (!IsAttached(listener))
            continue;
        try {
            listener->update(message.code, message.payload.get());
        } catch (const std::exception& e) {
            LogListenerException(QString::fromUtf8(e.what()));
        } catch (...) {
            LogListenerException(QStringLiteral("unknown"));
        }
        if (!running)
            break;
    }
}

bool ApplicationHub::IsAttached(const IListener* listener) const
{
    return std::find(listeners.begin(), listeners.end(), listener) != listeners.end();
}

void ApplicationHub::LockListenersServingUi(std::unique_lock<platform::RecursiveLock>& lock)
{
    if (!UiThread::IsUiThread()) {
        lock.lock();
        return;
    }
    // The delivery holding the list may be waiting for this very thread.
    while (!lock.try_lock()) {
        UiThread::ServePending();
        std::this_thread::sleep_for(1ms);
    }
}

void ApplicationHub::AttachListener(IListener* listener)
{
    ReportIfInInvokeTask("AttachListener");
    std::unique_lock lock(listenerLock, std::defer_lock);
    LockListenersServingUi(lock);
    listeners.push_back(listener);
}

void ApplicationHub::DetachListener(IListener* listener)
{
    ReportIfInInvokeTask("DetachListener");
    std::unique_lock lock(listenerLock, std::defer_lock);
    LockListenersServingUi(lock);
    std::erase(listeners, listener);
}

void ApplicationHub::Post(int code, std::unique_ptr<MessageParam> payload)
{
    HubMessage message(code, std::move(payload));
    {
        std::lock_guard lock(messageLock);
        if (!running)
            return;
        messages.push_back(std::move(message));
    }
    messageArrived.notify_one();
}

bool ApplicationHub::PostBatch(std::vector<HubMessage> batch, KeepOnClear keep)
{
    {
        std::lock_guard lock(messageLock);
        if (!running)
            return false;
        for (HubMessage& message : batch) {
            message.keep = keep;
            message.inBatch = true;
            messages.push_back(std::move(message));
        }
    }
    messageArrived.notify_one();
    return true;
}

void ApplicationHub::ClearMessages()
{
    std::lock_guard lock(messageLock);
    std::erase_if(messages, [](const HubMessage& message) { return message.keep == KeepOnClear::No; });
}

void ApplicationHub::ClearMessages(std::initializer_list<int> codes)
{
    std::lock_guard lock(messageLock);
    std::erase_if(messages, [codes](const HubMessage& message) {
        return message.keep == KeepOnClear::No && !message.inBatch &&
               std::find(codes.begin(), codes.end(), message.code) != codes.end();
    });
}

std::optional<HubMessage> ApplicationHub::PopMessage()
{
    std::lock_guard lock(messageLock);
    if (messages.empty())
        return std::nullopt;
    HubMessage head = std::move(messages.front());
    messages.pop_front();
    return head;
}

void ApplicationHub::Stop()
{
    std::deque<HubMessage> discarded;
    {
        std::lock_guard lock(messageLock);
        running = false;
        discarded.swap(messages);
    }
    messageArrived.notify_all();
}

void ApplicationHub::StopAndWait(const std::function<void()>& serve)
{
    assert(std::this_thread::get_id() != worker.get_id() && "StopAndWait cannot run on the hub worker");
    Stop();
    std::unique_lock lock(endMutex);
    while (!ended) {
        lock.unlock();
        serve();
        lock.lock();
        workerEnded.wait_for(lock, kEndPoll, [this] { return ended; });
    }
    lock.unlock();
    if (worker.joinable())
        worker.join();
}

void ApplicationHub::SetVideoFiles(Entries entries)
{
    Entries old;  // released after the lock
    std::lock_guard lock(fileLock);
    old.swap(videoFiles);
    videoFiles = std::move(entries);
    currentIndex = 0;
}

ApplicationHub::Entries ApplicationHub::GetVideoFiles()
{
    std::lock_guard lock(fileLock);
    return videoFiles;
}

std::shared_ptr<RecordingEntry> ApplicationHub::GetCurrentVideoFile()
{
    std::lock_guard lock(fileLock);
    const unsigned current = currentIndex;
    return current < videoFiles.size() ? videoFiles[current] : nullptr;
}

void ApplicationHub::ClearVideoFiles()
{
    Entries old;
    std::lock_guard lock(fileLock);
    old.swap(videoFiles);
}

bool ApplicationHub::SetCurrentIndex(int index)
{
    std::lock_guard lock(fileLock);
    const auto wanted = static_cast<unsigned>(index);
    if (wanted >= videoFiles.size())
        return false;
    currentIndex = wanted;
    return true;
}

template <typename Less>
void ApplicationHub::SortKeepingCurrent(Less less)
{
    std::lock_guard lock(fileLock);
    const unsigned current = currentIndex;
    const std::shared_ptr<RecordingEntry> currentEntry = current < videoFiles.size() ? videoFiles[current] : nullptr;
    std::stable_sort(videoFiles.begin(), videoFiles.end(),
                     [&](const auto& a, const auto& b) { return less(*a, *b); });
    if (!currentEntry)
        return;
    const auto it = std::find(videoFiles.begin(), videoFiles.end(), currentEntry);
    currentIndex = static_cast<unsigned>(it - videoFiles.begin());
}

void ApplicationHub::SortVideoFilesByDate()
{
    SortKeepingCurrent([](const RecordingEntry& a, const RecordingEntry& b) {
        return QString::compare(a.dateText, b.dateText, Qt::CaseSensitive) < 0;
    });
}

void ApplicationHub::SortVideoFilesByTime()
{
    SortKeepingCurrent([](const RecordingEntry& a, const RecordingEntry& b) {
        return QString::compare(a.timeText, b.timeText, Qt::CaseSensitive) < 0;
    });
}

void ApplicationHub::SortVideoFilesByType()
{
    SortKeepingCurrent([](const RecordingEntry& a, const RecordingEntry& b) { return a.type < b.type; });
}

void ApplicationHub::RenumberVideoFiles()
{
    std::lock_guard lock(fileLock);
    for (std::size_t i = 0; i < videoFiles.size(); ++i)
        videoFiles[i]->number = static_cast<int>(i + 1);
}

bool ApplicationHub::LoadCurrentVideoMetadata()
{
    return LoadVideoMetadata(GetCurrentVideoFile());
}

bool ApplicationHub::LoadVideoMetadata(const std::shared_ptr<RecordingEntry>& entry)
{
    if (!entry)
        return false;
    std::optional<RecordingEntry> copy;
    {
        std::lock_guard lock(fileLock);
        if (entry->metadataLoaded)
            return true;
        copy.emplace(*entry);
    }
    // Parsed without the lock: the UI thread and the player callbacks never
    // wait for a file to be read. A failed parse leaves the entry as it was.
    if (!loadMetadata || !loadMetadata(*copy))
        return false;
    std::lock_guard lock(fileLock);
    if (!entry->metadataLoaded)
        MoveDecodedFields(*copy, *entry);
    return true;
}

std::vector<int> ApplicationHub::PlaylistTypes() const
{
    std::vector<int> types;
    types.reserve(videoFiles.size());
    for (const auto& entry : videoFiles)
        types.push_back(entry->type);
    return types;
}

bool ApplicationHub::GetPreviousIndex(int& index)
{
    std::lock_guard lock(fileLock);
    const PlaylistNavigation::Step step = PlaylistNavigation::Previous(PlaylistTypes(), currentIndex, filterType);
    index = static_cast<int>(step.index);
    return step.ok;
}

bool ApplicationHub::GetNextIndex(int& index)
{
    std::lock_guard lock(fileLock);
    const PlaylistNavigation::Step step = PlaylistNavigation::Next(PlaylistTypes(), currentIndex, filterType);
    index = static_cast<int>(step.index);
    return step.ok;
}
