// The default loader: one decoder per call, closed before it goes.
#include "hub/ApplicationHub.h"

#include "recordings/AVIFileLoader.h"

ApplicationHub::MetadataLoader ApplicationHub::DefaultMetadataLoader()
{
    return [](RecordingEntry& entry) {
        AVIFileLoader loader;
        const bool loaded = loader.GetMetadataFromAVIFile(entry);
        loader.Close();
        return loaded;
    };
}
