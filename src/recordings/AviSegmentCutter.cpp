#include "recordings/AviSegmentCutter.h"

#include "platform/ExclusiveOutputFile.h"
#include "platform/PosixFileOps.h"
#include "recordings/AviSegmentCutterCopy.h"
#include "recordings/AviSegmentCutterPatch.h"
#include "recordings/AviSegmentCutterPlan.h"

#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>

namespace AviSegmentCutter {

bool WriteSegment(CutPlan& plan, int sourceFd, ExclusiveOutputFile& output, PosixFileOps& ops)
{
    // The buffer serves the largest range and the index.
    int64_t largest = std::max<int64_t>(plan.headerSize, 16 * static_cast<int64_t>(plan.entries.size()));
    for (const Piece& piece : plan.pieces) {
        largest = std::max(largest, piece.sourceEnd - piece.sourceStart);
    }
    CopyBuffer buffer(largest);
    std::vector<SizeProbe> none;
    return CopyRange(ops, sourceFd, output, buffer, 0, plan.headerSize, plan.headerPatches, none) &&
           WriteMoviList(plan, ops, sourceFd, output, buffer) && WriteIndex(plan, output, buffer.Data(), buffer.Size());
}

bool CopySegment(const std::filesystem::path& source, uint32_t startSeconds, uint32_t endSeconds,
                 const std::filesystem::path& destination, PosixFileOps& ops)
{
    const QString sourceText = QFile::decodeName(QByteArray::fromStdString(source.native()));
    std::string sourceNative;
    std::string destinationNative;
    if (!CFileParser::ToAnsiPath(sourceText, sourceNative) ||
        !CFileParser::ToAnsiPath(QFile::decodeName(QByteArray::fromStdString(destination.native())), destinationNative)) {
        return false;
    }
    AVIFileParser parser;
    if (!parser.Open(sourceText) || parser.GetRootChunks().empty()) {
        return false;
    }
    std::optional<CutPlan> plan = CutFrames(parser, startSeconds, endSeconds);
    if (!plan) {
        return false;
    }
    const int sourceFd = parser.GetDescriptor();
    posix_fadvise(sourceFd, 0, 0, POSIX_FADV_SEQUENTIAL);
    ExclusiveOutputFile output(ops);
    if (!output.Create(destinationNative)) {
        return false;
    }
    if (!WriteSegment(*plan, sourceFd, output, ops)) {
        output.Abandon();
        return false;
    }
    return output.Commit();
}

bool CutSegment(const std::filesystem::path& source, uint32_t startSeconds, uint32_t endSeconds,
                const std::filesystem::path& destination)
{
    struct stat info {};
    if (source.empty() || destination.empty() || ::stat(source.c_str(), &info) != 0 ||
        ::lstat(destination.c_str(), &info) == 0) {
        return false;
    }
    return CopySegment(source, startSeconds, endSeconds, destination, PosixFileOps::Real());
}

}  // namespace AviSegmentCutter
