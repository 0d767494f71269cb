#pragma once
// The recording loader: builds the entries of one load. The metadata decoder
// AVIFileLoader derives from it and supplies the two operations.

#include "recordings/RecordingEntry.h"

#include <memory>
#include <vector>

class CFileLoader {
public:
    CFileLoader() = default;
    virtual ~CFileLoader() = default;
    CFileLoader(const CFileLoader&) = delete;
    CFileLoader& operator=(const CFileLoader&) = delete;

    // Fills the entry from its file; the base knows no file format.
    virtual bool GetMetadataFromAVIFile(RecordingEntry& entry);
    virtual void Close();

    std::vector<std::shared_ptr<RecordingEntry>> entries;
};
