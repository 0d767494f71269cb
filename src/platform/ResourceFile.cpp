#include "platform/ResourceFile.h"

#include "platform/Paths.h"

#include <QFile>
#include <QFileInfo>
#include <QResource>

#include <cstdint>
#include <vector>

namespace {

// The layout rcc writes: a header of big-endian 32-bit words ("qres",
// version, tree, data and names offsets, and from version 3 the flags); a
// tree of fixed-size nodes, node 0 the root; names as (length, hash, UTF-16);
// data as (length, bytes).
constexpr std::uint16_t kCompressedZlib = 0x01;
constexpr std::uint16_t kDirectory = 0x02;
constexpr std::uint16_t kCompressedZstd = 0x04;

class Reader {
public:
    explicit Reader(const QByteArray& bytes) : bytes(bytes) {}

    std::uint64_t Size() const { return static_cast<std::uint64_t>(bytes.size()); }
    bool Fits(std::uint64_t offset, std::uint64_t length) const
    {
        return offset <= Size() && length <= Size() - offset;
    }
    // Callers check Fits first.
    std::uint32_t U32(std::uint64_t offset) const
    {
        return std::uint32_t(Byte(offset)) << 24 | std::uint32_t(Byte(offset + 1)) << 16
            | std::uint32_t(Byte(offset + 2)) << 8 | std::uint32_t(Byte(offset + 3));
    }
    std::uint16_t U16(std::uint64_t offset) const
    {
        return static_cast<std::uint16_t>(Byte(offset) << 8 | Byte(offset + 1));
    }

private:
    unsigned Byte(std::uint64_t offset) const { return static_cast<unsigned char>(bytes[qsizetype(offset)]); }
    const QByteArray& bytes;
};

QString CheckTree(const Reader& in, std::uint64_t tree, std::uint64_t data, std::uint64_t names, int version)
{
    const std::uint64_t nodeSize = version >= 2 ? 22 : 14;
    const std::uint64_t nodeCount = (in.Size() - tree) / nodeSize;
    if (nodeCount == 0) {
        return QStringLiteral("no root entry");
    }
    // Children always follow their parent, so every walk ends; the visit
    // count bounds a tree whose entries share children.
    std::vector<std::uint64_t> pending{0};
    std::uint64_t visits = 0;
    while (!pending.empty()) {
        const std::uint64_t index = pending.back();
        pending.pop_back();
        if (++visits > nodeCount) {
            return QStringLiteral("entries shared in the tree");
        }
        const std::uint64_t node = tree + index * nodeSize;
        const std::uint32_t nameOffset = in.U32(node);
        const std::uint16_t flags = in.U16(node + 4);
        if (flags & ~(kCompressedZlib | kDirectory | kCompressedZstd)) {
            return QStringLiteral("unknown entry flags");
        }
        if (index != 0) {
            const std::uint64_t name = names + nameOffset;
            if (!in.Fits(name, 6) || !in.Fits(name + 6, std::uint64_t(in.U16(name)) * 2)) {
                return QStringLiteral("a name lies outside the file");
            }
        } else if (!(flags & kDirectory)) {
            return QStringLiteral("the root is not a folder");
        }
        if (flags & kDirectory) {
            const std::uint64_t count = in.U32(node + 6);
            const std::uint64_t first = in.U32(node + 10);
            if (count > 0 && (first <= index || first + count > nodeCount)) {
                return QStringLiteral("a folder's entries lie outside the tree");
            }
            for (std::uint64_t child = first; child < first + count; ++child) {
                pending.push_back(child);
            }
        } else {
            const std::uint64_t content = data + in.U32(node + 10);
            if (!in.Fits(content, 4) || !in.Fits(content + 4, in.U32(content))) {
                return QStringLiteral("data lies outside the file");
            }
        }
    }
    return {};
}

}  // namespace

QString ResourceFile::Check(const QByteArray& bytes)
{
    const Reader in(bytes);
    if (!in.Fits(0, 20) || !bytes.startsWith("qres")) {
        return QStringLiteral("not a Qt binary resource");
    }
    const std::uint32_t version = in.U32(4);
    if (version < 1 || version > 3) {
        return QStringLiteral("unsupported version %1").arg(version);
    }
    const std::uint64_t headerSize = version >= 3 ? 24 : 20;
    if (!in.Fits(0, headerSize)) {
        return QStringLiteral("header cut short");
    }
    if (version >= 3 && (in.U32(20) & ~std::uint32_t(kCompressedZlib | kCompressedZstd))) {
        return QStringLiteral("unknown file flags");
    }
    const std::uint64_t tree = in.U32(8);
    const std::uint64_t data = in.U32(12);
    const std::uint64_t names = in.U32(16);
    for (std::uint64_t offset : {tree, data, names}) {
        if (offset < headerSize || offset >= in.Size()) {
            return QStringLiteral("offsets do not fit the file's size");
        }
    }
    return CheckTree(in, tree, data, names, static_cast<int>(version));
}

ResourceFile::~ResourceFile() { Unload(); }

bool ResourceFile::Load(const QStringList& folders, const QString& fileName, const QString& mapRoot,
                        QStringList* rejected)
{
    Unload();
    const auto reject = [rejected](const QString& candidate, const QString& reason) {
        if (rejected) {
            rejected->append(candidate + QStringLiteral(": ") + reason);
        }
    };
    for (const QString& folder : folders) {
        const QString candidate = Paths::Join(folder, fileName);
        const QFileInfo info(candidate);
        if (!info.exists()) {
            continue;
        }
        if (!info.isFile() || info.size() > kMaxSize) {
            reject(candidate, QStringLiteral("not a regular file of at most %1 bytes").arg(kMaxSize));
            continue;
        }
        QFile file(candidate);
        if (!file.open(QIODevice::ReadOnly)) {
            reject(candidate, file.errorString());
            continue;
        }
        // Checked and registered from the same bytes, so the file cannot
        // change between the two.
        QByteArray bytes = file.read(kMaxSize + 1);
        if (const QString problem = Check(bytes); !problem.isEmpty()) {
            reject(candidate, problem);
            continue;
        }
        if (!QResource::registerResource(reinterpret_cast<const uchar*>(bytes.constData()), mapRoot)) {
            reject(candidate, QStringLiteral("refused by QResource"));
            continue;
        }
        data = std::move(bytes);
        path = candidate;
        root = mapRoot;
        return true;
    }
    return false;
}

void ResourceFile::Unload()
{
    if (data.isEmpty()) {
        return;
    }
    QResource::unregisterResource(reinterpret_cast<const uchar*>(data.constData()), root);
    data.clear();
    path.clear();
    root.clear();
}
