// The lazy reader against an eager walk that follows the original algorithm
// literally: every chunk walked for children (payload nodes included, movi
// too), signed 32-bit sizes, each field read on its own.

#include "RecordingsFixtures.h"
#include "recordings/AVIFileParser.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace recordingstest;

struct RefChunk {
    FourCC id;
    FourCC type;
    int64_t offset = -1;
    int32_t size = 0;
    std::vector<RefChunk> children;
};

class EagerParser {
public:
    explicit EagerParser(QByteArray fileBytes) : bytes(std::move(fileBytes)), fileSize(static_cast<int32_t>(bytes.size()))
    {
        ParseChunks(0, root, fileSize, 0);
    }

    bool HasRiff() const
    {
        for (const RefChunk& c : root) {
            if (c.id.Is("RIFF")) {
                return true;
            }
        }
        return false;
    }

    const RefChunk* FindChildByType(std::string_view type) const
    {
        for (const RefChunk& r : root) {
            for (const RefChunk& c : r.children) {
                if (c.type.Is(type)) {
                    return &c;
                }
            }
        }
        return root.empty() ? nullptr : &root.back();
    }

    std::vector<const RefChunk*> FindChunks(std::string_view id) const
    {
        std::vector<const RefChunk*> found;
        Search(root, id, found);
        return found;
    }

    int VideoStreamCount() const
    {
        int count = 0;
        if (const RefChunk* hdrl = FindChildByType("hdrl")) {
            for (const RefChunk& c : hdrl->children) {
                for (const RefChunk& g : c.children) {
                    count += g.type.Is("vids");
                }
            }
        }
        return count;
    }

    int AvihField(int offset) const
    {
        if (const RefChunk* hdrl = FindChildByType("hdrl")) {
            for (const RefChunk& c : hdrl->children) {
                if (c.id.Is("avih")) {
                    return static_cast<int>(ReadDword(c.offset + offset));
                }
            }
        }
        return 0;
    }

    const RefChunk* VideoStreamHeader() const
    {
        if (const RefChunk* hdrl = FindChildByType("hdrl")) {
            for (const RefChunk& c : hdrl->children) {
                for (const RefChunk& g : c.children) {
                    if (g.type.Is("vids")) {
                        return &g;
                    }
                }
            }
        }
        return nullptr;
    }

    int Duration() const
    {
        const RefChunk* strh = VideoStreamHeader();
        if (!strh) {
            return 0;
        }
        const double scale = static_cast<int32_t>(ReadDword(strh->offset + 28));
        const double rate = static_cast<int32_t>(ReadDword(strh->offset + 32));
        const double length = static_cast<int32_t>(ReadDword(strh->offset + 40));
        return static_cast<int>(length / (rate / scale));
    }

    std::vector<IndexEntry> IndexEntries(std::string_view prefix) const
    {
        std::vector<IndexEntry> entries;
        const auto idx1 = FindChunks("idx1");
        if (idx1.empty()) {
            return entries;
        }
        const int64_t base = FindChildByType("movi")->offset + 16;
        for (int64_t pos = idx1[0]->offset + 8; pos < idx1[0]->offset + 8 + idx1[0]->size; pos += 16) {
            if (ReadFourCC(pos).StartsWith(prefix)) {
                entries.push_back({ReadDword(pos + 8) + base, pos, ReadDword(pos + 4)});
            }
        }
        return entries;
    }

    std::vector<std::string> StreamChunkIds() const
    {
        std::vector<std::string> ids;
        const RefChunk* hdrl = FindChildByType("hdrl");
        if (!hdrl) {
            return ids;
        }
        int number = -1;
        for (const RefChunk& c : hdrl->children) {
            for (const RefChunk& g : c.children) {
                if (g.type.Is("vids")) {
                    ids.push_back("0" + std::to_string(number) + "dc");
                } else if (g.type.Is("auds")) {
                    ids.push_back("0" + std::to_string(number) + "wb");
                } else if (g.type.Is("txts")) {
                    ids.push_back("0" + std::to_string(number) + "tx");
                }
            }
            ++number;
        }
        return ids;
    }

private:
    uint32_t ReadDword(int64_t offset) const
    {
        return offset >= 0 && offset + 4 <= fileSize ? U32At(bytes, offset) : 0;
    }
    FourCC ReadFourCC(int64_t offset) const
    {
        return offset >= 0 && offset + 4 <= fileSize ? FourCC::FromBytes(bytes.constData() + offset) : FourCC{};
    }

    bool ParseChunks(int64_t start, std::vector<RefChunk>& list, int64_t end, int depth)
    {
        if (start >= fileSize || end > fileSize) {
            return false;
        }
        for (int64_t pos = start; pos < end;) {
            const auto size = static_cast<int32_t>(ReadDword(pos + 4));
            if (size < 8 || size >= fileSize) {
                return size != 0;
            }
            RefChunk chunk{ReadFourCC(pos), ReadFourCC(pos + 8), pos, size, {}};
            if (chunk.id.bytes[0] == 0) {
                return true;
            }
            int64_t step = size;
            if (!chunk.id.Is("LIST") && !chunk.id.Is("RIFF")) {
                step += 8;
            }
            if (depth < 64) {  // payload can nest without end; recorder lists are shallow
                ParseChunks(pos + 12, chunk.children, pos + step, depth + 1);
            }
            if (chunk.id.Is("LIST")) {
                step += 8;
            }
            list.push_back(std::move(chunk));
            pos += step;
        }
        return true;
    }

    static void Search(const std::vector<RefChunk>& list, std::string_view id, std::vector<const RefChunk*>& found)
    {
        for (const RefChunk& c : list) {
            if (c.id.Is(id)) {
                found.push_back(&c);
            } else {
                Search(c.children, id, found);
            }
        }
    }

    QByteArray bytes;
    int32_t fileSize;
    std::vector<RefChunk> root;
};

template <typename C>
std::optional<int64_t> OffsetOf(const C* chunk)
{
    return chunk ? std::optional<int64_t>(chunk->offset) : std::nullopt;
}

struct Variant {
    const char* name;
    std::function<void(AviFixtureOptions&)> apply;
};

TEST(ParserDifferential, LazyReaderAnswersAsTheEagerWalk)
{
    const Variant variants[] = {
        {"golden", [](AviFixtureOptions&) {}},
        {"one camera", [](AviFixtureOptions& o) { o.rearFrames = 0; }},
        {"odd sizes", [](AviFixtureOptions& o) { o.frameSize = [](int s, int f) { return 501u + 2u * static_cast<uint32_t>(f + s); }; }},
        {"padding granularity", [](AviFixtureOptions& o) { o.paddingGranularity = 2048; }},
        {"JUNK in hdrl", [](AviFixtureOptions& o) { o.hdrlJunkSize = 100; o.hdrlJunkBefore = 2; }},
        {"JUNK in movi", [](AviFixtureOptions& o) { o.moviJunkSize = 333; o.moviJunkAfter = 5; }},
        {"JUNK before movi", [](AviFixtureOptions& o) { o.junkBeforeMoviSize = 64; }},
        {"no idx1", [](AviFixtureOptions& o) { o.writeIndex = false; }},
        {"zero tail", [](AviFixtureOptions& o) { o.zeroTail = 4096; }},
        {"truncated", [](AviFixtureOptions& o) { o.truncateAt = 40000; }},
        {"power cut", [](AviFixtureOptions& o) { o.powerCut = 0.6; }},
        {"idx1 size beyond the file", [](AviFixtureOptions& o) { o.idx1Size = 250000; }},
    };
    for (const Variant& v : variants) {
        SCOPED_TRACE(v.name);
        FixtureFolder folder;
        AviFixtureOptions options;
        options.seconds = 3;
        v.apply(options);
        const QString path = folder.Write("v.avi", options);
        const EagerParser eager(ReadAll(path));
        AVIFileParser lazy;

        ASSERT_EQ(lazy.Open(path), eager.HasRiff());
        for (const char* type : {"hdrl", "movi"}) {
            EXPECT_EQ(OffsetOf(lazy.FindChildByType(type)), OffsetOf(eager.FindChildByType(type))) << type;
        }
        EXPECT_EQ(lazy.GetVideoStreamCount(), eager.VideoStreamCount());
        EXPECT_EQ(lazy.GetTotalFrames(), eager.AvihField(24));
        EXPECT_EQ(lazy.GetWidth(), eager.AvihField(40));
        EXPECT_EQ(lazy.GetHeight(), eager.AvihField(44));
        EXPECT_EQ(OffsetOf(lazy.FindVideoStreamHeader()), OffsetOf(eager.VideoStreamHeader()));
        EXPECT_EQ(lazy.GetDuration(), eager.Duration());
        EXPECT_EQ(lazy.GetStreamChunkIds(), eager.StreamChunkIds());
        const auto lazyIdx1 = lazy.FindChunks("idx1");
        const auto eagerIdx1 = eager.FindChunks("idx1");
        ASSERT_EQ(lazyIdx1.empty(), eagerIdx1.empty());
        if (!lazyIdx1.empty()) {
            EXPECT_EQ(lazyIdx1[0]->offset, eagerIdx1[0]->offset);
        }
        for (const char* id : {"00dc", "01dc", "02wb", "03tx"}) {
            const auto a = lazy.GetIndexEntries(id);
            const auto b = eager.IndexEntries(id);
            ASSERT_EQ(a.size(), b.size()) << id;
            for (size_t k = 0; k < a.size(); ++k) {
                EXPECT_EQ(a[k].dataOffset, b[k].dataOffset) << id << ' ' << k;
                EXPECT_EQ(a[k].entryOffset, b[k].entryOffset) << id << ' ' << k;
                EXPECT_EQ(a[k].flags, b[k].flags) << id << ' ' << k;
            }
        }
    }
}

}  // namespace
