#pragma once
// The recorder's own file layout and the rules that the reader, the discovery
// and the repair share about broken files.

#include "recordings/LittleEndian.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace RecorderLayout {

constexpr uint64_t kMoviListOffset = 520;    // "LIST" of the movie data
constexpr uint64_t kMoviTypeOffset = 528;    // "movi"; index offsets count from here
constexpr uint64_t kFirstChunkOffset = 532;
constexpr uint64_t kHeaderBytes = 532;       // every field a repair patches lies below
constexpr uint64_t kMinimumFileSize = 540;   // the header plus one chunk header
constexpr uint64_t kMaximumFileSize = 0xFFFFFFFFull;  // RIFF cannot describe more
// Index entries a repair or a cut keeps in memory at most. A real recording
// has some hundred thousand chunks at the very most; a file of millions of
// tiny chunks is forged and is refused instead of held entry by entry.
constexpr size_t kMaximumIndexEntries = 4'000'000;

// RIFF AVI with hdrl/avih, four stream headers (vids, vids, auds, txts) and
// the movi list at 520; header holds the file's first bytes.
bool HasRecorderLayout(std::span<const uint8_t> header);

// <documents>/BROKENFILES, where repairs keep their backups.
QString BrokenFolderPath(const QString& documentsFolder);

// Whether the file at nativePath lies in nativeFolder or below it, compared
// by device and inode so that links and bind mounts are seen through. A
// parent that cannot be resolved counts as inside: such a file is left alone.
bool IsInsideFolder(const std::string& nativePath, const std::string& nativeFolder);

}  // namespace RecorderLayout
