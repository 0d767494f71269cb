#pragma once
// A hub of the test's own with what the panes under test expect around
// them: a stand-in of the main window attached first, which does what the
// window does on the codes the panes rely on (0 hands the parked entries to
// the playlist, 10 moves the current index, 12 loads the current entry's
// metadata, 2, 4, 8, 9 and 16 clear the queue), and a recorder attached last,
// after the panes, that journals every delivery.
//
//   hubtest::HubHarness harness;
//   SomePane pane(..., harness.Hub(), ...);   // attaches in between
//   harness.AttachRecorder();
//   harness.Load({entry});                    // 0, 1, 10 (0), 11, 16

#include "support/hub/HubFixtures.h"

#include "hub/ApplicationHub.h"
#include "hub/HubCodes.h"
#include "hub/IListener.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <vector>

namespace hubtest {

class HubHarness {
public:
    // The recorder's name in the journal.
    static constexpr const char* kRecorder = "recorder";
    // Posted by Drain and kept out of Codes(): 7 is never posted otherwise.
    static constexpr int kDrainMark = 7;

    explicit HubHarness(ApplicationHub::MetadataLoader loader = ApplicationHub::DefaultMetadataLoader());
    // StopAndWait, then the stand-in and the recorder detach.
    ~HubHarness();
    HubHarness(const HubHarness&) = delete;
    HubHarness& operator=(const HubHarness&) = delete;

    ApplicationHub& Hub() { return *hub; }
    Journal& GetJournal() { return journal; }

    // Attaches the recorder once, behind everything attached so far.
    RecordingListener& AttachRecorder();
    RecordingListener& Recorder() { return recorder; }

    // What the main window posts after a load: the entries parked, then 0, 1,
    // 10 with index 0, 11 and 16 as one batch that survives a clear.
    void Load(ApplicationHub::Entries entries);
    // A change of the current entry as the list, next and previous post it:
    // 10 with index, 11, then play (16, 9 or 8), as one batch.
    void Select(int index, int play = NEW_VIDEO_PLAY);
    void Post(int code, std::unique_ptr<MessageParam> payload = {});

    // Waits until everything queued before this call has reached the
    // recorder (a kept mark is posted behind it).
    bool Drain(std::chrono::milliseconds limit = kLimit);
    // The codes the recorder got, in delivery order, drain marks left out.
    std::vector<int> Codes();
    // Waits until the recorder has had code at least count times.
    bool WaitForCode(int code, int count = 1, std::chrono::milliseconds limit = kLimit);
    int CountOf(int code);
    // Forgets the recorder's deliveries so far.
    void ClearJournal();

    // Stops delivery and waits for the worker, serving the UI thread's
    // hand-offs meanwhile when called on it. Idempotent.
    void StopAndWait();

private:
    class MainWindowStandIn : public IListener {
    public:
        explicit MainWindowStandIn(HubHarness& harness) : harness(harness) {}
        void update(int code, const MessageParam* payload) override;

    private:
        HubHarness& harness;
    };

    Journal journal;
    std::unique_ptr<ApplicationHub> hub;
    MainWindowStandIn window{*this};
    RecordingListener recorder{kRecorder, journal};
    bool recorderAttached = false;
    bool stopped = false;

    std::mutex parkedMutex;
    ApplicationHub::Entries parked;
    std::mutex drainMutex;
    int drainsPosted = 0;
};

}  // namespace hubtest
