#pragma once
// Fills a RecordingEntry from its AVI file: header values, and the G-sensor
// samples and GPS fixes of the text stream. Made for one call on the hub
// worker; reads each text chunk with one read.

#include "recordings/AVIFileParser.h"
#include "recordings/CFileLoader.h"

#include <memory>

class AVIFileLoader : public CFileLoader {
public:
    AVIFileLoader();

    // True when the entry holds its metadata afterwards, or the file was set
    // aside as too small; false, the entry untouched, when it is missing,
    // cannot be opened or its idx1 holds more than
    // RecorderLayout::kMaximumIndexEntries entries.
    bool GetMetadataFromAVIFile(RecordingEntry& entry) override;
    // Closes and frees the parser.
    void Close() override;

    // Reads made on the last file opened (kept after Close).
    IoStats GetLastIoStats() const;

private:
    // False, before the entry is touched, for an idx1 of too many entries.
    bool DecodeTextStream(RecordingEntry& entry, int duration);

    std::unique_ptr<AVIFileParser> parser;
    IoStats closedStats;
};
