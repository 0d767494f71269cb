// The default loader while the build has no metadata decoder.
#include "hub/ApplicationHub.h"

#include "core/Logger.h"

#include <mutex>

ApplicationHub::MetadataLoader ApplicationHub::DefaultMetadataLoader()
{
    return [](RecordingEntry&) {
        static std::once_flag logged;
        std::call_once(logged, [] {
            Logger::GetInstance().Log(QStringLiteral("Metadata decoder not available"), QStringLiteral("ApplicationHub"),
                                      QStringLiteral("LoadVideoMetadata"), 3, 3);
        });
        return false;
    };
}
