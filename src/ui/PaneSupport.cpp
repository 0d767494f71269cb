#include "ui/PaneSupport.h"

#include "core/Logger.h"
#include "hub/ApplicationHub.h"

std::shared_ptr<RecordingEntry> EntryAtCurrentIndex(ApplicationHub& hub)
{
    const ApplicationHub::Entries entries = hub.GetVideoFiles();
    const unsigned index = hub.GetCurrentIndex();
    return index < entries.size() ? entries[index] : nullptr;
}

float PlaySeconds(const RecordingEntry& entry, float position)
{
    return float(entry.duration) * position;
}

namespace {

template <typename Lookup>
auto AtPosition(ApplicationHub& hub, float position, Lookup lookup)
{
    const std::shared_ptr<RecordingEntry> entry = hub.GetCurrentVideoFile();
    return entry ? lookup(*entry, PlaySeconds(*entry, position)) : decltype(lookup(*entry, 0.0f))();
}

}  // namespace

std::optional<MotionSample> MotionSampleAtPosition(ApplicationHub& hub, float position)
{
    return AtPosition(hub, position, [](const RecordingEntry& entry, float seconds) {
        return entry.GetMotionSampleAt(seconds);
    });
}

std::optional<GpsFix> GpsFixAtPosition(ApplicationHub& hub, float position)
{
    return AtPosition(hub, position,
                      [](const RecordingEntry& entry, float seconds) { return entry.GetGpsFixAt(seconds); });
}

void LogPane(const QString& message, const QString& className, const QString& function)
{
    Logger::GetInstance().Log(message, className, function, 3, 3);
}
