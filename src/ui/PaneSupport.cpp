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

void LogPane(const QString& message, const QString& className, const QString& function)
{
    Logger::GetInstance().Log(message, className, function, 3, 3);
}
