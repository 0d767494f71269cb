#include "recordings/AVIFileLoader.h"

#include "core/Logger.h"
#include "recordings/RecorderLayout.h"
#include "recordings/TextChunkDecoder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

void LogLine(const char* message)
{
    Logger::GetInstance().Log(QString::fromLatin1(message), QStringLiteral("AVIFileLoader"),
                              QStringLiteral("GetMetadataFromAVIFile"), 3, 3);
}

bool IsRegularFile(const QString& path)
{
    std::string native;
    if (!CFileParser::ToAnsiPath(path, native)) {
        return false;
    }
    std::error_code error;
    return std::filesystem::is_regular_file(native, error);
}

}  // namespace

AVIFileLoader::AVIFileLoader() : parser(std::make_unique<AVIFileParser>()) {}

bool AVIFileLoader::GetMetadataFromAVIFile(RecordingEntry& entry)
{
    if (entry.metadataLoaded) {
        return true;
    }
    if (!IsRegularFile(entry.path)) {
        return false;
    }
    if (!parser) {
        parser = std::make_unique<AVIFileParser>();
    }
    if (!parser->Open(entry.path)) {
        return false;
    }
    if (parser->GetRootChunks().empty()) {
        return true;
    }
    const int duration = parser->GetDuration();
    LogLine("Meta Data Parse Start!");
    const bool decoded = DecodeTextStream(entry, duration);
    LogLine("Meta Data Parse end!");
    if (!decoded) {
        return false;
    }
    entry.duration = duration;
    entry.durationSpan = duration;
    entry.metadataLoaded = true;
    entry.selectTrack1 = true;
    entry.videoStreamCount = parser->GetVideoStreamCount();
    entry.width = parser->GetWidth();
    entry.height = parser->GetHeight();
    entry.totalFrames = parser->GetTotalFrames();
    return true;
}

bool AVIFileLoader::DecodeTextStream(RecordingEntry& entry, int duration)
{
    const Chunk* idx1 = parser->FindIndexChunk();
    if (!idx1) {
        return true;
    }
    // Every entry might be text: a forged idx1 size could need gigabytes.
    if (parser->CountIndexEntries(*idx1) > RecorderLayout::kMaximumIndexEntries) {
        return false;
    }
    entry.motionSamples.clear();
    entry.gpsFixes.clear();
    entry.motionTimes.clear();
    const std::optional<int64_t> base = parser->GetIndexDataBase();
    std::vector<int64_t> offsets;
    parser->ForEachIndexEntry(*idx1, [&](const AVIFileParser::RawIndexEntry& raw) {
        if (base && raw.id.Contains("tx")) {
            offsets.push_back(raw.chunkOffset + *base);
        }
    });
    // One read per chunk: its header, then at most kMaxTextBytes of data.
    constexpr size_t kHeader = 8;
    char buffer[kHeader + TextChunkDecoder::kMaxTextBytes];
    for (const int64_t offset : offsets) {
        const size_t got = parser->ReadAvailable(offset - kHeader, sizeof buffer, buffer);
        if (got <= kHeader) {
            continue;
        }
        const QByteArrayView data(buffer + kHeader, static_cast<qsizetype>(got - kHeader));
        if (data[0] == 'M') {
            entry.motionSamples.push_back(TextChunkDecoder::DecodeMotion(data));
        } else if (data[0] == 'G') {
            const uint32_t size = ReadLe32(buffer + 4);
            // The text never runs past the chunk's end.
            const qsizetype length = static_cast<qsizetype>(std::min<uint64_t>(size, static_cast<uint64_t>(data.size())));
            if (const auto fix = TextChunkDecoder::DecodeGps(data.first(length))) {
                entry.gpsFixes.push_back(*fix);
            }
        }
    }
    entry.motionTimes = TextChunkDecoder::MotionTimes(entry.motionSamples.size(), duration);
    return true;
}

void AVIFileLoader::Close()
{
    if (parser) {
        closedStats = parser->GetIoStats();
        parser.reset();
    }
}

IoStats AVIFileLoader::GetLastIoStats() const
{
    return parser ? parser->GetIoStats() : closedStats;
}
