#include "support/hub/HubHarness.h"

#include "platform/UiThread.h"

#include <QCoreApplication>

#include <algorithm>

namespace hubtest {

namespace {

// A test waiting on the UI thread keeps serving it: a delivery may wait in
// an Invoke, a frame's repaint in the event loop.
void ServeUiThread()
{
    if (!UiThread::IsUiThread())
        return;
    UiThread::ServePending();
    QCoreApplication::processEvents();
}

}  // namespace

HubHarness::HubHarness(ApplicationHub::MetadataLoader loader)
    : hub(std::make_unique<ApplicationHub>(std::move(loader)))
{
    hub->AttachListener(&window);
}

HubHarness::~HubHarness()
{
    StopAndWait();
    hub->DetachListener(&window);
    if (recorderAttached)
        hub->DetachListener(&recorder);
}

RecordingListener& HubHarness::AttachRecorder()
{
    if (!recorderAttached) {
        hub->AttachListener(&recorder);
        recorderAttached = true;
    }
    return recorder;
}

void HubHarness::MainWindowStandIn::update(int code, const MessageParam* payload)
{
    ApplicationHub& hub = harness.Hub();
    switch (code) {
    case SET_VIDEO_FILES: {
        ApplicationHub::Entries entries;
        {
            std::lock_guard lock(harness.parkedMutex);
            entries.swap(harness.parked);
        }
        if (!entries.empty())
            hub.SetVideoFiles(std::move(entries));
        break;
    }
    case SET_CURRENT_VIDEO_INDEX:
        hub.SetCurrentIndex(payload->index);
        break;
    case CREATE_VIDEO_METADATA:
        hub.LoadCurrentVideoMetadata();
        break;
    case VIDEO_PLAY:
    case VIDEO_STOP:
    case VIDEO_PREVIOUS:
    case VIDEO_NEXT:
    case NEW_VIDEO_PLAY:
        hub.ClearMessages();
        break;
    default:
        break;
    }
}

void HubHarness::Load(ApplicationHub::Entries entries)
{
    {
        std::lock_guard lock(parkedMutex);
        parked = std::move(entries);
    }
    std::vector<HubMessage> batch;
    batch.emplace_back(SET_VIDEO_FILES);
    batch.emplace_back(VIDEO_FILES_OPENED);
    batch.emplace_back(SET_CURRENT_VIDEO_INDEX, Index(0));
    batch.emplace_back(SET_CURRENT_VIDEO_MEDIA);
    batch.emplace_back(NEW_VIDEO_PLAY);
    hub->PostBatch(std::move(batch), KeepOnClear::Yes);
}

void HubHarness::Select(int index, int play)
{
    std::vector<HubMessage> batch;
    batch.emplace_back(SET_CURRENT_VIDEO_INDEX, Index(index));
    batch.emplace_back(SET_CURRENT_VIDEO_MEDIA);
    batch.emplace_back(play);
    hub->PostBatch(std::move(batch), KeepOnClear::No);
}

void HubHarness::Post(int code, std::unique_ptr<MessageParam> payload)
{
    hub->Post(code, std::move(payload));
}

bool HubHarness::Drain(std::chrono::milliseconds limit)
{
    int mark = 0;
    {
        std::lock_guard lock(drainMutex);
        mark = ++drainsPosted;
    }
    std::vector<HubMessage> batch;
    batch.emplace_back(kDrainMark, Index(mark));
    if (!hub->PostBatch(std::move(batch), KeepOnClear::Yes))
        return false;
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
        for (const Delivery& delivery : journal.Entries())
            if (delivery.listener == kRecorder && delivery.code == kDrainMark && delivery.payload.index == mark)
                return true;
        ServeUiThread();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

std::vector<int> HubHarness::Codes()
{
    std::vector<int> codes;
    for (const Delivery& delivery : journal.Entries())
        if (delivery.listener == kRecorder && delivery.code != kDrainMark)
            codes.push_back(delivery.code);
    return codes;
}

int HubHarness::CountOf(int code)
{
    const std::vector<int> codes = Codes();
    return static_cast<int>(std::count(codes.begin(), codes.end(), code));
}

bool HubHarness::WaitForCode(int code, int count, std::chrono::milliseconds limit)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
        if (CountOf(code) >= count)
            return true;
        ServeUiThread();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return CountOf(code) >= count;
}

void HubHarness::ClearJournal()
{
    journal.Clear();
}

void HubHarness::StopAndWait()
{
    if (stopped)
        return;
    stopped = true;
    hub->StopAndWait([] {
        if (UiThread::IsUiThread())
            UiThread::ServePending();
    });
}

}  // namespace hubtest
