#pragma once
// The process-wide message hub: a queue of numbered messages delivered, one
// at a time and in posting order, to every attached listener on the hub's own
// worker thread; and the playlist with its current entry, filter, play
// position and full-view flag.

#include "hub/HubMessage.h"
#include "platform/Locks.h"
#include "recordings/RecordingEntry.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class IListener;

class ApplicationHub {
public:
    // Fills an entry from its file; true when the entry holds its metadata.
    using MetadataLoader = std::function<bool(RecordingEntry&)>;
    using Entries = std::vector<std::shared_ptr<RecordingEntry>>;

    // The process-wide hub, created on first use. Null after DestroyInstance,
    // for the rest of the process.
    static ApplicationHub* GetInstance();
    static void DestroyInstance();

    // The decoder of the recordings library.
    static MetadataLoader DefaultMetadataLoader();

    // Starts the worker.
    explicit ApplicationHub(MetadataLoader loader = DefaultMetadataLoader());
    // Stops and joins the worker if StopAndWait has not.
    ~ApplicationHub();
    ApplicationHub(const ApplicationHub&) = delete;
    ApplicationHub& operator=(const ApplicationHub&) = delete;

    // Listeners get messages in attach order. Neither may be called from an
    // Invoke task. On the UI thread they serve pending Invoke tasks while the
    // list is busy, so a delivery waiting for the UI thread can finish.
    void AttachListener(IListener* listener);
    // Removes every entry of the listener; it is not called after this returns.
    void DetachListener(IListener* listener);

    // Queues a message; dropped once stopped. Never waits for a delivery.
    void Post(int code, std::unique_ptr<MessageParam> payload = {});
    // Queues the messages together, under one hold of the queue; all of them
    // are dropped once stopped. Marked Yes, they survive ClearMessages. True
    // when queued, false once stopped.
    bool PostBatch(std::vector<HubMessage> batch, KeepOnClear keep);
    // Drops every queued message not marked to be kept.
    void ClearMessages();
    // Drops the queued messages with one of the codes that are neither kept
    // nor part of a batch; everything else stays, in order.
    void ClearMessages(std::initializer_list<int> codes);
    std::optional<HubMessage> PopMessage();

    // Ends delivery: the update in progress finishes, nothing else is
    // delivered, later posts are dropped, the worker ends.
    void Stop();
    // Stop, then wait for the worker to end, calling serve between short
    // waits. Not on the worker.
    void StopAndWait(const std::function<void()>& serve);
    bool GetRunning() const { return running; }

    // Playlist. Every operation holds fileLock for its whole run.
    void SetVideoFiles(Entries entries);
    Entries GetVideoFiles();
    std::shared_ptr<RecordingEntry> GetCurrentVideoFile();  // null = none
    void ClearVideoFiles();  // keeps currentIndex
    // Each sort keeps the current entry current.
    void SortVideoFilesByDate();
    void SortVideoFilesByTime();
    void SortVideoFilesByType();
    void RenumberVideoFiles();
    bool LoadCurrentVideoMetadata();
    // The parse runs without fileLock, on a copy.
    bool LoadVideoMetadata(const std::shared_ptr<RecordingEntry>& entry);
    bool GetPreviousIndex(int& index);
    bool GetNextIndex(int& index);

    // Sets the current index when index, taken as unsigned, is below the
    // count; returns whether it did.
    bool SetCurrentIndex(int index);
    unsigned GetCurrentIndex() const { return currentIndex; }
    float GetPosition() const { return position; }
    void SetPosition(float value) { position = value; }
    int GetFilterType() const { return filterType; }
    void SetFilterType(int value) { filterType = value; }
    bool GetMaximized() const { return maximized; }
    void SetMaximized(bool value) { maximized = value; }

    // Guards the playlist and the writes of currentIndex. Readers of an
    // entry's metadata fields outside the worker take it too.
    platform::RecursiveLock fileLock{"fileLock", 3, platform::InvokeRule::Forbidden};

private:
    static void DispatchThreadProc(ApplicationHub* hub);
    void Deliver(const HubMessage& message);
    bool IsAttached(const IListener* listener) const;
    void LockListenersServingUi(std::unique_lock<platform::RecursiveLock>& lock);
    std::vector<int> PlaylistTypes() const;  // caller holds fileLock
    template <typename Less>
    void SortKeepingCurrent(Less less);

    std::atomic<bool> running{true};
    std::deque<HubMessage> messages;
    std::vector<IListener*> listeners;
    platform::Lock messageLock{"messageLock", 4, platform::InvokeRule::Forbidden};
    platform::RecursiveLock listenerLock{"listenerLock", 1, platform::InvokeRule::Allowed};
    std::condition_variable_any messageArrived;

    Entries videoFiles;
    std::atomic<unsigned> currentIndex{0};
    std::atomic<float> position{0};
    std::atomic<int> filterType{0};
    std::atomic<bool> maximized{false};
    MetadataLoader loadMetadata;

    std::mutex endMutex;
    std::condition_variable workerEnded;
    bool ended = false;
    std::thread worker;
};
