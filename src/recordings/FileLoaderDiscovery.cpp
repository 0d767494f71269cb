// Discovery: the recordings among the given files and folders, checked by
// the reader, broken ones sent to the repair, then dated, sorted and
// numbered.

#include "recordings/CFileLoader.h"

#include "core/Common.h"
#include "platform/Paths.h"
#include "platform/UserNotifier.h"
#include "recordings/AVIFileParser.h"
#include "recordings/AVIFileRecovery.h"
#include "recordings/RecorderLayout.h"
#include "recordings/RecordingFolderScanner.h"

#include <algorithm>
#include <array>
#include <sys/stat.h>

namespace {

constexpr int kOnlyAviString = 299;
constexpr int kCannotReadString = 298;
constexpr int kNoVideoString = 300;

bool IsRegularFile(const std::string& native, bool followLinks)
{
    struct stat info {};
    const int result = followLinks ? stat(native.c_str(), &info) : lstat(native.c_str(), &info);
    return result == 0 && S_ISREG(info.st_mode);
}

}  // namespace

CFileLoader::CFileLoader(UserNotifier& notifier, QString documentsFolder, std::shared_ptr<FileRepair> repair)
    : notifier(&notifier), documentsFolder(std::move(documentsFolder)), repair(std::move(repair))
{
}

std::vector<std::shared_ptr<RecordingEntry>> CFileLoader::LoadVideoFiles(const QStringList& folders,
                                                                         const QStringList& files)
{
    if (!notifier)
        notifier = &UserNotifier::Current();
    if (documentsFolder.isEmpty())
        documentsFolder = Paths::DocumentsFolder();
    if (!repair)
        repair = std::make_shared<AVIFileRecovery>(documentsFolder);

    entries.clear();
    QStringList paths = files;
    for (const QString& folder : folders)
        paths += ScanFolder(folder);
    BuildEntries(paths);
    // The receiver owns the entries from here on.
    return std::exchange(entries, {});
}

QStringList CFileLoader::ScanFolder(const QString& folder)
{
    return RecordingFolderScanner().Scan(folder);
}

bool CFileLoader::IsAviFile(const QString& path)
{
    return RecordingFolderScanner::IsRecordingName(path);
}

void CFileLoader::BuildEntries(const QStringList& paths)
{
    bool anyAvi = false;
    bool anyOther = false;
    for (const QString& path : paths) {
        if (!IsAviFile(path)) {
            anyOther = true;
            continue;
        }
        anyAvi = true;
        std::optional<timespec> modified;
        if (ProbeFile(path, modified))
            AddEntry(path, modified);
    }
    if (!paths.isEmpty())
        ShowLoadMessage(anyAvi, anyOther);
    SortByStartTime();
    for (size_t i = 0; i < entries.size(); ++i)
        entries[i]->number = int(i + 1);
}

bool CFileLoader::ProbeFile(const QString& path, std::optional<timespec>& modified)
{
    AVIFileParser::OpenOutcome outcome;
    {
        AVIFileParser parser;
        if (parser.Probe(path)) {
            // The file was just opened as a regular file: its fstat answers
            // what AddEntry would ask again.
            if (!parser.GetRootChunks().empty())
                modified = parser.GetModifiedTime();
            return !parser.GetRootChunks().empty();
        }
        outcome = parser.GetOpenOutcome();
    }
    // Only a file the reader found broken may be repaired; anything else it
    // refused (empty, too large, unreadable, foreign) is left as it is.
    if (outcome != AVIFileParser::OpenOutcome::Broken || !IsRepairCandidate(path))
        return false;
    QString repairedPath;
    return repair->RecoverFile(path, repairedPath);
}

bool CFileLoader::IsRepairCandidate(const QString& path) const
{
    std::string native;
    std::string brokenFolder;
    if (!CFileParser::ToAnsiPath(path, native) ||
        !CFileParser::ToAnsiPath(RecorderLayout::BrokenFolderPath(documentsFolder), brokenFolder))
        return false;
    // A symlinked recording is read through its link but never written.
    if (!IsRegularFile(native, false) || RecorderLayout::IsInsideFolder(native, brokenFolder))
        return false;
    PositionedFile file;
    std::array<uint8_t, RecorderLayout::kHeaderBytes> header{};
    return file.OpenForReading(native) && file.ReadAt(0, header.data(), header.size()) &&
           RecorderLayout::HasRecorderLayout(header);
}

void CFileLoader::AddEntry(const QString& path, const std::optional<timespec>& modified)
{
    if (!modified) {
        std::string native;
        if (!CFileParser::ToAnsiPath(path, native) || !IsRegularFile(native, true))
            return;  // gone since it was listed
    }
    const QString fileName = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    entries.push_back(
        std::make_shared<RecordingEntry>(GetStartTime(path, modified), GetTypeFromName(fileName), path, fileName));
}

OleDateTime CFileLoader::GetStartTime(const QString& path, const std::optional<timespec>& modified)
{
    const QString fileName = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const OleDateTime fromName = ParseNameDateTime(fileName);
    if (fromName.IsValid())
        return fromName;
    return modified ? LocalTime(modified->tv_sec) : GetFileWriteTime(path);
}

void CFileLoader::ShowLoadMessage(bool anyAvi, bool anyOther)
{
    int id = 0;
    if (!anyAvi)
        id = kOnlyAviString;
    else if (anyOther)
        id = kCannotReadString;
    else if (entries.empty())
        id = kNoVideoString;
    if (id != 0)
        notifier->ShowMessage(Common::GetResourceString(id));
}

void CFileLoader::SortByStartTime()
{
    SortByStartTime(entries);
}

void CFileLoader::SortByStartTime(std::vector<std::shared_ptr<RecordingEntry>>& list)
{
    // The order of a bubble sort that swaps neighbours only when the first
    // is strictly later: an invalid start time is never later and nothing
    // is later than it, so such an entry never moves and no entry crosses
    // it. Each stretch between invalid entries is therefore sorted on its
    // own, and a stable sort keeps equal times in their input order.
    const auto isInvalid = [](const std::shared_ptr<RecordingEntry>& entry) { return !entry->startTime.IsValid(); };
    const auto earlier = [](const std::shared_ptr<RecordingEntry>& a, const std::shared_ptr<RecordingEntry>& b) {
        return b->startTime.IsLaterThan(a->startTime);
    };
    for (auto stretch = list.begin(); stretch != list.end();) {
        const auto stretchEnd = std::find_if(stretch, list.end(), isInvalid);
        std::stable_sort(stretch, stretchEnd, earlier);
        stretch = stretchEnd == list.end() ? stretchEnd : stretchEnd + 1;
    }
}
