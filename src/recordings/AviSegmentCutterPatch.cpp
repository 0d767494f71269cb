#include "recordings/AviSegmentCutterPatch.h"

#include "platform/ExclusiveOutputFile.h"
#include "recordings/LittleEndian.h"

#include <cstring>
#include <string>

namespace AviSegmentCutter {

void PatchRiffSize(CutPlan& plan)
{
    plan.headerPatches.emplace_back(4, static_cast<uint32_t>(plan.outputSize - 8));
}

void PatchTotalFrames(CutPlan& plan, const Chunk& avih)
{
    uint32_t frames = 0;
    for (const auto& [id, count] : plan.counts) {
        frames += id.find("dc") != std::string::npos ? count : 0;
    }
    plan.headerPatches.emplace_back(avih.offset + 24, frames);
}

bool PatchStreamLengths(CutPlan& plan, AVIFileParser& parser, Chunk& hdrl)
{
    std::vector<Chunk>& children = parser.Children(hdrl);
    for (size_t i = 1; i < children.size(); ++i) {
        const std::vector<Chunk>& grandchildren = parser.Children(children[i]);
        if (grandchildren.empty() || !grandchildren[0].id.Is("strh")) {
            continue;
        }
        const Chunk& strh = grandchildren[0];
        const char* suffix = strh.type.Is("vids") ? "dc" : strh.type.Is("auds") ? "wb" : strh.type.Is("txts") ? "tx" : nullptr;
        if (!suffix) {
            continue;
        }
        // The id GetStreamChunkIds gives this child: its number counts from -1.
        const std::string id = "0" + std::to_string(static_cast<int>(i) - 1) + suffix;
        if (strh.offset + 44 > plan.headerSize) {
            return false;
        }
        const auto found = plan.counts.find(id);
        plan.headerPatches.emplace_back(strh.offset + 40, found == plan.counts.end() ? 0 : found->second);
    }
    return true;
}

void ApplyHeaderPatches(const std::vector<std::pair<int64_t, uint32_t>>& patches, int64_t windowStart, char* bytes,
                        size_t count)
{
    const int64_t windowEnd = windowStart + static_cast<int64_t>(count);
    for (const auto& [at, value] : patches) {
        unsigned char field[4];
        WriteLe32(field, value);
        for (int i = 0; i < 4; ++i) {
            if (at + i >= windowStart && at + i < windowEnd) {
                bytes[at + i - windowStart] = static_cast<char>(field[i]);
            }
        }
    }
}

bool WriteIndex(const CutPlan& plan, ExclusiveOutputFile& output, char* buffer, size_t bufferSize)
{
    char head[8];
    std::memcpy(head, "idx1", 4);
    WriteLe32(head + 4, static_cast<uint32_t>(16 * plan.entries.size()));
    if (!output.Write(head, sizeof head)) {
        return false;
    }
    size_t used = 0;
    for (const PlannedEntry& entry : plan.entries) {
        if (used + 16 > bufferSize) {
            if (!output.Write(buffer, used)) {
                return false;
            }
            used = 0;
        }
        char* out = buffer + used;
        std::memcpy(out, entry.source.id.bytes.data(), 4);
        WriteLe32(out + 4, entry.source.flags);
        WriteLe32(out + 8, static_cast<uint32_t>(entry.outputOffset - plan.MoviFieldOffset()));
        WriteLe32(out + 12, entry.length.value_or(0));
        used += 16;
    }
    return output.Write(buffer, used);
}

}  // namespace AviSegmentCutter
