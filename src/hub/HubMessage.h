#pragma once
// A hub message: its code, its payload and whether ClearMessages spares it.

#include <QString>
#include <memory>

// The payload. A sender sets the member its code uses; every number starts
// at 0 so a receiver never reads an unset value.
struct MessageParam {
    float position = 0;    // 14, 17: fraction 0 to 1 of the duration
    int index = 0;         // 10: playlist index
    float rate = 0;        // 18
    float brightness = 0;  // 19
    int volume = 0;        // 20: 0 to 100
    int seekStep = 0;      // 15: seconds
    QString snapshotPath;    // 21
    QString snapshotFolder;  // 21

    QString GetSnapshotPath() const { return snapshotPath; }
    QString GetSnapshotFolder() const { return snapshotFolder; }
};

enum class KeepOnClear { No, Yes };

struct HubMessage {
    // A null payload becomes a zeroed one: codes that carry nothing need none.
    explicit HubMessage(int code, std::unique_ptr<MessageParam> payload = {}, KeepOnClear keep = KeepOnClear::No)
        : code(code), payload(payload ? std::move(payload) : std::make_unique<MessageParam>()), keep(keep)
    {
    }

    int code;
    std::unique_ptr<MessageParam> payload;  // never null
    KeepOnClear keep;
    // Set by PostBatch: the message belongs to a sequence that a clear of
    // chosen codes must never split.
    bool inBatch = false;
};
