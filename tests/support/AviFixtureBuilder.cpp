#include "AviFixtureBuilder.h"

#include "platform/FullIo.h"
#include "recordings/LittleEndian.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace testsupport {

namespace {

constexpr uint32_t kKeyFrameFlag = 16;
constexpr uint32_t kAvihSize = 56;
constexpr uint32_t kStrhSize = 56;

// Sequence and picture parameter sets the recorder puts before the first
// frame of each video stream: 21 bytes.
const char kParameterSets[] = "\x00\x00\x00\x01\x67\x42\x00\x1e\x95\xa8\x28\x0f\x64"
                              "\x00\x00\x00\x01\x68\xce\x3c\x80";
constexpr size_t kParameterSetsSize = 21;

void PutU32(QByteArray& out, uint32_t value)
{
    char bytes[4];
    WriteLe32(bytes, value);
    out.append(bytes, 4);
}

void PutU16(QByteArray& out, uint16_t value)
{
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>(value >> 8));
}

void PutId(QByteArray& out, const std::string& id)
{
    std::string padded = id;
    padded.resize(4, '\0');
    out.append(padded.data(), 4);
}

void SetU32(QByteArray& out, int64_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        out[static_cast<qsizetype>(offset + i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

[[noreturn]] void Fail(const QString& what)
{
    throw std::runtime_error(what.toStdString());
}

// Positioned writes with one buffer for runs of adjacent bytes; a gap (a hole
// of a sparse file) flushes it.
class FixtureFile {
public:
    explicit FixtureFile(const QString& path) : name(path)
    {
        fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) {
            Fail("cannot create " + path);
        }
    }
    ~FixtureFile()
    {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    void Put(int64_t offset, const char* data, size_t count)
    {
        if (offset != start + static_cast<int64_t>(buffer.size()) || buffer.size() > (1u << 20)) {
            Flush();
            start = offset;
        }
        buffer.insert(buffer.end(), data, data + count);
    }
    void Put(int64_t offset, const QByteArray& data) { Put(offset, data.constData(), static_cast<size_t>(data.size())); }
    void Flush()
    {
        if (FullIo::WriteAt(fd, buffer.data(), buffer.size(), start) != 0) {
            Fail("cannot write " + name);
        }
        start += static_cast<int64_t>(buffer.size());
        buffer.clear();
    }
    void Resize(int64_t size)
    {
        Flush();
        if (::ftruncate(fd, size) != 0) {
            Fail("cannot size " + name);
        }
    }

private:
    QString name;
    int fd = -1;
    int64_t start = 0;
    std::vector<char> buffer;
};

// One chunk of the movie data, before it is written.
struct PlannedChunk {
    std::string id;
    uint32_t size = 0;
    uint32_t flags = 0;
    bool indexed = true;
    int stream = -1;
    int frame = -1;
    bool key = false;
    QByteArray data;  // text chunks and real frames; else generated
    int64_t offset = 0;
    // Bytes the chunk takes in the file; differs from size only for text
    // chunks with a forged size field.
    uint32_t Stored() const { return stream == 3 && !data.isNull() ? static_cast<uint32_t>(data.size()) : size; }
};

QByteArray StreamList(const AviFixtureOptions& o, int stream, uint32_t length, uint32_t suggested)
{
    const std::array<const char*, 4> types{"vids", "vids", "auds", "txts"};
    const AviStreamHeader& header = o.streams[static_cast<size_t>(stream)];
    const uint32_t scale = header.scale.value_or(AviFixtureBuilder::kDefaultScales[static_cast<size_t>(stream)]);
    const uint32_t rate = header.rate.value_or(AviFixtureBuilder::kDefaultRates[static_cast<size_t>(stream)]);
    const bool video = stream <= kRear;
    const uint32_t width = stream == kFront ? o.width : o.rearWidth.value_or(o.width / 2);
    const uint32_t height = stream == kFront ? o.height : o.rearHeight.value_or(o.height / 2);

    QByteArray strh;
    PutId(strh, "strh");
    PutU32(strh, kStrhSize);
    PutId(strh, types[static_cast<size_t>(stream)]);
    PutId(strh, video ? "H264" : "");
    PutU32(strh, 0);  // dwFlags
    PutU32(strh, 0);  // wPriority, wLanguage
    PutU32(strh, 0);  // dwInitialFrames
    PutU32(strh, scale);
    PutU32(strh, rate);
    PutU32(strh, 0);  // dwStart
    PutU32(strh, header.length.value_or(length));
    PutU32(strh, suggested);
    PutU32(strh, 0xFFFFFFFFu);  // dwQuality
    PutU32(strh, stream == kAudio ? 2 : 0);
    PutU16(strh, 0);
    PutU16(strh, 0);
    PutU16(strh, video ? static_cast<uint16_t>(width) : 0);
    PutU16(strh, video ? static_cast<uint16_t>(height) : 0);

    QByteArray strf;
    PutId(strf, "strf");
    if (video) {
        PutU32(strf, 40);
        PutU32(strf, 40);
        PutU32(strf, width);
        PutU32(strf, height);
        PutU16(strf, 1);
        PutU16(strf, 24);
        PutId(strf, "H264");
        PutU32(strf, width * height * 3);
        for (int i = 0; i < 4; ++i) {
            PutU32(strf, 0);
        }
    } else if (stream == kAudio) {
        PutU32(strf, 16);
        PutU16(strf, 1);
        PutU16(strf, 1);
        PutU32(strf, 8000);
        PutU32(strf, 16000);
        PutU16(strf, 2);
        PutU16(strf, 16);
    } else {
        PutU32(strf, 0);  // the text stream's empty strf, outside the list's walked range
    }

    QByteArray list;
    PutId(list, "LIST");
    PutU32(list, static_cast<uint32_t>(4 + strh.size() + strf.size()));
    PutId(list, "strl");
    list += strh;
    list += strf;
    return list;
}

QByteArray JunkChunk(uint32_t size)
{
    QByteArray junk;
    PutId(junk, "JUNK");
    PutU32(junk, size);
    junk.append(QByteArray(static_cast<qsizetype>(size + (size & 1)), '\0'));
    return junk;
}

QByteArray SyntheticFrame(const AviFixtureOptions& o, int stream, int frame, uint32_t size, bool key)
{
    QByteArray bytes(static_cast<qsizetype>(size), '\0');
    if (o.patternPayload) {
        for (uint32_t i = 0; i < size; ++i) {
            bytes[i] = static_cast<char>((frame * 31 + static_cast<int>(i) * 7 + stream * 101) & 0xFF);
        }
    }
    QByteArray prefix;
    if (frame == 0) {
        prefix.append(kParameterSets, kParameterSetsSize);
    }
    prefix.append("\x00\x00\x00\x01", 4);
    prefix.append(key ? '\x65' : '\x41');
    std::memcpy(bytes.data(), prefix.constData(), std::min<size_t>(size, static_cast<size_t>(prefix.size())));
    return bytes;
}

QByteArray PatternPayload(const AviFixtureOptions& o, int seed, uint32_t size)
{
    QByteArray bytes(static_cast<qsizetype>(size), '\0');
    if (o.patternPayload) {
        for (uint32_t i = 0; i < size; ++i) {
            bytes[i] = static_cast<char>((seed * 13 + static_cast<int>(i) * 3) & 0xFF);
        }
    }
    return bytes;
}

// The generated text stream: per second one "G" chunk, then the "M" chunks.
std::vector<AviTextChunk> GeneratedText(const AviFixtureOptions& o, AviManifest& manifest)
{
    std::vector<AviTextChunk> text;
    int motion = 0;
    for (int s = 0; s < o.seconds; ++s) {
        if (o.gps) {
            const int utc = 3 * 3600 + s;
            const int hhmmss = utc / 3600 % 24 * 10000 + utc / 60 % 60 * 100 + utc % 60;
            const int latUnits = (232475 + 37 * s) % 600000;  // minutes × 10^4
            const int lonUnits = (583416 + 29 * s) % 600000;
            const int knotTenths = (s * 7) % 600;
            const QByteArray knots = o.gpsKnots ? *o.gpsKnots
                                                : QByteArray::number(knotTenths / 10) + "." +
                                                      QByteArray::number(knotTenths % 10);
            const QByteArray fields = QByteArray::number(hhmmss).rightJustified(6, '0') + ".000,A,37" +
                                      QByteArray::number(latUnits / 10000).rightJustified(2, '0') + "." +
                                      QByteArray::number(latUnits % 10000).rightJustified(4, '0') + ",N,121" +
                                      QByteArray::number(lonUnits / 10000).rightJustified(2, '0') + "." +
                                      QByteArray::number(lonUnits % 10000).rightJustified(4, '0') + ",E," + knots +
                                      ",054.7,070513,,";
            text.push_back({GprmcChunk(fields), std::nullopt});
            AviExpectedFix fix;
            fix.latitude = 37 + latUnits / 1e4 / 60.0;
            fix.longitude = 121 + lonUnits / 1e4 / 60.0;
            fix.speed = knots.toDouble() * 1.852;
            const int shifted = hhmmss + 90000;
            fix.timeOfDay = shifted >= 240000 ? shifted - 240000 : shifted;
            manifest.fixes.push_back(fix);
        }
        for (int m = 0; m < o.motionPerSecond; ++m, ++motion) {
            const std::array<int8_t, 6> b{static_cast<int8_t>(motion * 5 % 64 - 32), static_cast<int8_t>(motion * 3 % 64 - 32),
                                          32, static_cast<int8_t>(-(motion % 16)), static_cast<int8_t>(motion % 8), -1};
            text.push_back({MotionChunk(b), std::nullopt});
            constexpr double g = 0.03125;
            manifest.samples.push_back({b[0] * g, b[1] * g, b[2] * g, b[3] * g, b[4] * g, b[5] * g});
        }
    }
    return text;
}

}  // namespace

std::vector<AviChunkRecord> AviManifest::ChunksOf(const std::string& id) const
{
    std::vector<AviChunkRecord> result;
    std::copy_if(chunks.begin(), chunks.end(), std::back_inserter(result),
                 [&](const AviChunkRecord& c) { return c.id == id; });
    return result;
}

QByteArray GprmcChunk(const QByteArray& fieldsAfterName)
{
    const QByteArray body = "GPRMC," + fieldsAfterName;
    unsigned char sum = 0;
    for (const char c : body) {
        sum ^= static_cast<unsigned char>(c);
    }
    return "G$" + body + "*" + QByteArray::number(sum, 16).toUpper().rightJustified(2, '0');
}

QByteArray MotionChunk(std::array<int8_t, 6> bytes)
{
    QByteArray chunk("M");
    for (const int8_t b : bytes) {
        chunk.append(static_cast<char>(b));
    }
    return chunk;
}

AviFixtureBuilder::AviFixtureBuilder(AviFixtureOptions o) : options(std::move(o)) {}

AviManifest AviFixtureBuilder::Write(const QString& path) const
{
    const AviFixtureOptions& o = options;
    AviManifest manifest;

    const auto framesOf = [&](int stream, const std::optional<int>& given, const std::vector<AnnexBFrame>& data) {
        if (!data.empty()) {
            return static_cast<int>(data.size());
        }
        if (given) {
            return *given;
        }
        const AviStreamHeader& h = o.streams[static_cast<size_t>(stream)];
        const double fps = static_cast<double>(h.rate.value_or(kDefaultRates[static_cast<size_t>(stream)])) /
                           h.scale.value_or(kDefaultScales[static_cast<size_t>(stream)]);
        return static_cast<int>(std::llround(o.seconds * fps));
    };
    const int front = framesOf(kFront, o.frontFrames, o.frontData);
    const int rear = framesOf(kRear, o.rearFrames, o.rearData);

    // The movie data, in the order the recorder interleaves it.
    std::vector<AviTextChunk> text = o.textChunks ? *o.textChunks : GeneratedText(o, manifest);
    if (o.foreignLayout) {
        text.clear();
        manifest.fixes.clear();
        manifest.samples.clear();
    }
    std::vector<PlannedChunk> plan;
    const auto videoChunk = [&](int stream, int frame) {
        PlannedChunk c;
        c.id = stream == kFront ? "00dc" : "01dc";
        c.stream = stream;
        c.frame = frame;
        const std::vector<AnnexBFrame>& data = stream == kFront ? o.frontData : o.rearData;
        bool key = o.keyFrame ? o.keyFrame(stream, frame) : frame % std::max(1, o.gop) == 0;
        if (!data.empty()) {
            c.data = data[static_cast<size_t>(frame)].bytes;
            c.size = static_cast<uint32_t>(c.data.size());
            key = data[static_cast<size_t>(frame)].key;
        } else if (o.frameSize) {
            c.size = o.frameSize(stream, frame);
        } else {
            c.size = (key ? 6000u : 2000u) + static_cast<uint32_t>(frame * 13 % 50);
        }
        c.flags = o.videoFlags ? o.videoFlags(stream, frame, key) : key ? kKeyFrameFlag : 0;
        c.key = key;
        plan.push_back(c);
    };
    const auto otherChunk = [&](const char* id, int stream, uint32_t size, QByteArray data) {
        PlannedChunk c;
        c.id = id;
        c.stream = stream;
        c.size = size;
        c.flags = kKeyFrameFlag;
        c.data = std::move(data);
        plan.push_back(c);
    };
    const auto textChunk = [&](size_t k) {
        const AviTextChunk& t = text[k];
        otherChunk(t.id.c_str(), kText, t.sizeField.value_or(static_cast<uint32_t>(t.data.size())), t.data);
    };
    const int lead = std::min(o.rearLead, rear);
    size_t nextRear = 0;
    while (nextRear < static_cast<size_t>(lead)) {
        videoChunk(kRear, static_cast<int>(nextRear++));
    }
    size_t nextText = 0;
    for (int i = 0; i < front; ++i) {
        videoChunk(kFront, i);
        while (nextRear < static_cast<size_t>(rear) &&
               static_cast<int64_t>(nextRear - static_cast<size_t>(lead)) * front <= static_cast<int64_t>(i) * (rear - lead)) {
            videoChunk(kRear, static_cast<int>(nextRear++));
        }
        otherChunk("02wb", kAudio, o.audioChunkSize, {});
        plan.back().frame = i;
        while (nextText < text.size() &&
               static_cast<int64_t>(nextText) * front <= static_cast<int64_t>(i) * static_cast<int64_t>(text.size())) {
            textChunk(nextText++);
        }
        if (o.moviJunkSize && i == o.moviJunkAfter) {
            PlannedChunk junk;
            junk.id = "JUNK";
            junk.size = o.moviJunkSize;
            junk.indexed = false;
            plan.push_back(junk);
        }
    }
    while (nextRear < static_cast<size_t>(rear)) {
        videoChunk(kRear, static_cast<int>(nextRear++));
    }
    while (nextText < text.size()) {
        textChunk(nextText++);
    }

    // Header: RIFF, hdrl with avih and the stream lists.
    const int streamCount = o.foreignLayout ? 3 : 4;
    std::array<uint32_t, 4> counts{};
    std::array<uint32_t, 4> largest{};
    for (const PlannedChunk& c : plan) {
        if (c.stream >= 0) {
            ++counts[static_cast<size_t>(c.stream)];
            largest[static_cast<size_t>(c.stream)] = std::max(largest[static_cast<size_t>(c.stream)], c.size);
        }
    }
    QByteArray lists;
    std::vector<int64_t> listOffsets;
    for (int s = 0; s <= streamCount; ++s) {
        if (o.hdrlJunkSize && s == o.hdrlJunkBefore) {
            lists += JunkChunk(o.hdrlJunkSize);
        }
        if (s < streamCount) {
            listOffsets.push_back(lists.size());
            lists += StreamList(o, s, counts[static_cast<size_t>(s)], largest[static_cast<size_t>(s)]);
        }
    }
    QByteArray header;
    PutId(header, o.riffId.value_or("RIFF"));
    PutU32(header, 0);  // RIFF size, set below
    PutId(header, o.formType.value_or("AVI "));
    PutId(header, "LIST");
    PutU32(header, static_cast<uint32_t>(4 + 8 + kAvihSize + lists.size()));
    PutId(header, "hdrl");
    manifest.avihOffset = header.size();
    PutId(header, "avih");
    PutU32(header, kAvihSize);
    const AviStreamHeader& fh = o.streams[kFront];
    const double frontRate = fh.rate.value_or(kDefaultRates[kFront]);
    const double frontScale = fh.scale.value_or(kDefaultScales[kFront]);
    PutU32(header, frontRate > 0 ? static_cast<uint32_t>(std::min(1e6 * frontScale / frontRate, 4e9)) : 0);
    PutU32(header, 0);  // dwMaxBytesPerSec
    PutU32(header, o.paddingGranularity.value_or(0));
    PutU32(header, 0x10);  // AVIF_HASINDEX
    PutU32(header, o.totalFrames.value_or(counts[kFront] + counts[kRear]));
    PutU32(header, 0);  // dwInitialFrames
    PutU32(header, static_cast<uint32_t>(streamCount));
    PutU32(header, std::max(largest[kFront], largest[kRear]));
    PutU32(header, o.width);
    PutU32(header, o.height);
    for (int i = 0; i < 4; ++i) {
        PutU32(header, 0);
    }
    const int64_t listsOffset = header.size();
    header += lists;
    for (const int64_t offset : listOffsets) {
        manifest.strhOffsets.push_back(listsOffset + offset + 12);
    }
    if (o.junkBeforeMoviSize) {
        header += JunkChunk(o.junkBeforeMoviSize);
    }
    manifest.moviOffset = header.size();
    PutId(header, "LIST");
    PutU32(header, 0);  // movi size, set below
    PutId(header, "movi");
    manifest.firstChunkOffset = header.size();

    // Positions of the movie data, then idx1 and the padding chunk.
    int64_t pos = manifest.firstChunkOffset;
    for (PlannedChunk& c : plan) {
        c.offset = pos;
        pos += 8 + static_cast<int64_t>(c.Stored()) + (c.Stored() & 1);
    }
    const int64_t moviEnd = pos;
    QByteArray index;
    if (o.writeIndex) {
        for (const PlannedChunk& c : plan) {
            if (c.indexed) {
                PutId(index, c.id);
                PutU32(index, c.flags);
                PutU32(index, static_cast<uint32_t>(c.offset - (manifest.moviOffset + 8)));
                PutU32(index, c.size);
            }
        }
        QByteArray idx1;
        PutId(idx1, "idx1");
        PutU32(idx1, o.idx1Size.value_or(static_cast<uint32_t>(index.size())));
        index.prepend(idx1);
        manifest.idx1Offset = moviEnd;
    }
    int64_t total = moviEnd + index.size();
    if (o.exactSize) {
        const int64_t need = *o.exactSize - total;
        if (need != 0 && need < 8) {
            Fail(QStringLiteral("exact size %1 cannot be reached from %2").arg(*o.exactSize).arg(total));
        }
        if (need >= 8) {
            QByteArray pad;
            PutId(pad, "JUNK");
            PutU32(pad, static_cast<uint32_t>(need - 8));
            pad.append(QByteArray(static_cast<qsizetype>(need - 8), '\0'));
            index += pad;
            total += need;
        }
    }
    SetU32(header, 4, o.riffSize.value_or(static_cast<uint32_t>(total - 8)));
    SetU32(header, manifest.moviOffset + 4, static_cast<uint32_t>(moviEnd - manifest.moviOffset - 8));

    // A power cut leaves no index and zeroed sizes and counts.
    int64_t cut = -1;
    if (o.powerCut && plan.empty()) {
        Fail(QStringLiteral("a power cut needs movie data to cut into"));
    }
    if (o.powerCut) {
        const int64_t target = static_cast<int64_t>(*o.powerCut * static_cast<double>(moviEnd));
        const PlannedChunk* inside = &plan.front();
        for (const PlannedChunk& c : plan) {
            if (c.offset <= target) {
                inside = &c;
            }
        }
        cut = inside->offset + 8 + std::max<int64_t>(1, inside->Stored() / 2);
        if (inside->Stored() < 2) {
            cut = inside->offset + 4;
        }
        SetU32(header, 4, 0);
        SetU32(header, manifest.moviOffset + 4, 0);
        SetU32(header, manifest.avihOffset + 24, 0);
        for (const int64_t strh : manifest.strhOffsets) {
            SetU32(header, strh + 40, 0);
        }
        index.clear();
        manifest.idx1Offset = -1;
        total = moviEnd;
    }
    if (o.truncateAt) {
        cut = cut < 0 ? *o.truncateAt : std::min(cut, *o.truncateAt);
    }

    FixtureFile file(path);
    file.Put(0, header);
    for (const PlannedChunk& c : plan) {
        QByteArray head;
        PutId(head, c.id);
        PutU32(head, c.size);
        file.Put(c.offset, head);
        const bool isText = c.stream == kText;
        if ((o.sparse && !isText) || (o.junkAsHole && c.id == "JUNK")) {
            continue;
        }
        QByteArray data = c.data;
        if (c.stream == kFront || c.stream == kRear) {
            if (data.isEmpty()) {
                data = SyntheticFrame(o, c.stream, c.frame, c.size, c.key);
            }
        } else if (!isText) {
            data = PatternPayload(o, static_cast<int>(c.offset & 0xFFFF), c.size);
        }
        data.resize(static_cast<qsizetype>(c.Stored() + (c.Stored() & 1)), '\0');
        file.Put(c.offset + 8, data);
    }
    if (!index.isEmpty()) {
        file.Put(moviEnd, index);
    }
    int64_t size = total;
    if (cut >= 0 && cut < total) {
        size = cut;
        manifest.cutOffset = cut;
    }
    file.Resize(size);
    if (o.zeroTail) {
        size += o.zeroTail;
        file.Resize(size);
    }

    for (const PlannedChunk& c : plan) {
        if (manifest.cutOffset >= 0 && c.offset >= manifest.cutOffset) {
            break;
        }
        manifest.chunks.push_back({c.id, c.offset, c.size, c.flags, c.indexed, c.frame});
        if (c.stream >= 0) {
            ++manifest.streamCounts[static_cast<size_t>(c.stream)];
        }
    }
    if (manifest.cutOffset >= 0 && manifest.idx1Offset >= manifest.cutOffset) {
        manifest.idx1Offset = -1;
    }
    manifest.fileSize = size;
    return manifest;
}

std::vector<AnnexBFrame> AnnexBFrames(QByteArrayView stream)
{
    // Start of every NAL unit (its start code included) and of its header.
    struct Unit {
        qsizetype start;
        qsizetype header;
    };
    std::vector<Unit> units;
    for (qsizetype i = 0; i + 3 <= stream.size(); ++i) {
        if (stream[i] == 0 && stream[i + 1] == 0 && stream[i + 2] == 1) {
            const qsizetype start = i > 0 && stream[i - 1] == 0 ? i - 1 : i;
            units.push_back({start, i + 3});
            i += 2;
        }
    }
    std::vector<AnnexBFrame> frames;
    bool haveSlice = false;
    qsizetype frameStart = units.empty() ? 0 : units.front().start;
    bool key = false;
    const auto finish = [&](qsizetype end) {
        if (end > frameStart) {
            frames.push_back({stream.sliced(frameStart, end - frameStart).toByteArray(), key});
        }
        frameStart = end;
        key = false;
        haveSlice = false;
    };
    for (const Unit& unit : units) {
        if (unit.header >= stream.size()) {
            break;
        }
        const int type = stream[unit.header] & 0x1F;
        const bool slice = type == 1 || type == 5;
        const bool firstSliceOfPicture =
            slice && unit.header + 1 < stream.size() && (static_cast<unsigned char>(stream[unit.header + 1]) & 0x80);
        const bool startsUnit = type == 9 || ((type == 6 || type == 7 || type == 8) && haveSlice) ||
                                (firstSliceOfPicture && haveSlice);
        if (startsUnit) {
            finish(unit.start);
        }
        haveSlice = haveSlice || slice;
        key = key || type == 5;
    }
    if (!units.empty()) {
        finish(stream.size());
    }
    return frames;
}

}  // namespace testsupport
