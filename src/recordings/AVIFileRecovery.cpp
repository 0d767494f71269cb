#include "recordings/AVIFileRecovery.h"

#include "core/Logger.h"
#include "platform/Paths.h"
#include "recordings/AVIFileParser.h"
#include "recordings/RecorderLayout.h"

#include <QFile>

#include <cerrno>
#include <cstring>

namespace {

constexpr size_t kCopyBufferBytes = 1 << 20;
constexpr int kMaximumBackupNumber = 100000;

bool SameTime(const timespec& a, const timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The text after the last '/'.
QString FileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// "x.avi", then "x(1).avi", "x(2).avi", ...
QString BackupName(const QString& fileName, int number)
{
    if (number == 0)
        return fileName;
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot < 0 ? fileName : fileName.left(dot);
    const QString extension = dot < 0 ? QString() : fileName.mid(dot);
    return stem + QLatin1Char('(') + QString::number(number) + QLatin1Char(')') + extension;
}

}  // namespace

AVIFileRecovery::AVIFileRecovery(QString documentsFolder, std::shared_ptr<RepairFileOps> ops)
    : documentsFolder(std::move(documentsFolder)), ops(std::move(ops))
{
}

QString AVIFileRecovery::ErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

void AVIFileRecovery::LogFailure(const char* function, const QString& path, const QString& reason) const
{
    Logger::GetInstance().Log(QString::fromLatin1(function) + QStringLiteral(": ") + path + QStringLiteral(": ") +
                                  reason,
                              QStringLiteral("AVIFileRecovery"), QString::fromLatin1(function), 3, 3);
}

bool AVIFileRecovery::RecoverFile(const QString& path, QString& repairedPath)
{
    lastBackupPath.clear();
    Original original;
    original.path = path;
    if (!CheckRepairable(original))
        return false;

    MoviScanner scanner(uint64_t(original.info.st_size));
    std::string backupPath;
    if (!CopyToBrokenFolder(original, scanner, backupPath))
        return false;

    // Until the original is written, a refusal takes the new backup back.
    auto dropBackup = [&] { ops->Remove(backupPath); };
    bool nowValid = false;
    if (!UnchangedSinceGuard(original, nowValid)) {
        dropBackup();
        if (!nowValid)
            return false;
        repairedPath = path;
        return true;
    }
    const std::optional<RepairPlan> plan = ScanMovi(original, scanner);
    if (!plan) {
        dropBackup();
        return false;
    }
    lastBackupPath = QFile::decodeName(QByteArray::fromStdString(backupPath));
    if (!WriteRepairedFile(original, *plan, backupPath))
        return false;
    repairedPath = path;
    return true;
}

bool AVIFileRecovery::OpenFile(Original& original)
{
    int error = 0;
    original.file = ops->OpenOriginal(original.native, error);
    if (!original.file) {
        Logger::GetInstance().Log(original.path + QStringLiteral(" Recovery File Not Found~"),
                                  QStringLiteral("AVIFileRecovery"), QStringLiteral("OpenFile"), 3, 3);
        return false;
    }
    return true;
}

bool AVIFileRecovery::CheckRepairable(Original& original)
{
    const QString& path = original.path;
    auto refuse = [&](const QString& reason) {
        LogFailure("CheckRepairable", path, reason);
        return false;
    };
    if (path.isEmpty() || !CFileParser::ToAnsiPath(path, original.native))
        return refuse(QStringLiteral("not a usable path"));
    if (AVIFileParser::HasSdexitMark(path))
        return refuse(QStringLiteral("the path holds SDEXIT"));
    struct stat linkInfo {};
    if (lstat(original.native.c_str(), &linkInfo) != 0 || !S_ISREG(linkInfo.st_mode))
        return refuse(QStringLiteral("not a regular file"));
    std::string brokenFolder;
    if (!CFileParser::ToAnsiPath(RecorderLayout::BrokenFolderPath(documentsFolder), brokenFolder) ||
        RecorderLayout::IsInsideFolder(original.native, brokenFolder))
        return refuse(QStringLiteral("the file is a backup"));
    if (!OpenFile(original))
        return false;
    // Another holder of the lock is repairing or copying it right now.
    if (const int error = original.file->TryLockExclusive())
        return refuse(QStringLiteral("in use elsewhere: ") + ErrorText(error));
    if (const int error = original.file->Stat(original.info))
        return refuse(ErrorText(error));
    const uint64_t size = uint64_t(original.info.st_size);
    if (!S_ISREG(original.info.st_mode))
        return refuse(QStringLiteral("not a regular file"));
    if (size < RecorderLayout::kMinimumFileSize || size > RecorderLayout::kMaximumFileSize)
        return refuse(QStringLiteral("size %1 outside 540 to 4 GiB - 1").arg(size));

    original.header.resize(RecorderLayout::kMinimumFileSize);
    if (const int error = original.file->ReadAt(0, original.header.data(), original.header.size()))
        return refuse(QStringLiteral("header read: ") + ErrorText(error));
    if (!RecorderLayout::HasRecorderLayout(original.header))
        return refuse(QStringLiteral("not the recorder's layout"));
    if (!AVIFileParser::IsRefusedSize(ReadLe32(original.header.data() + 4), int64_t(size)))
        return refuse(QStringLiteral("not broken"));
    return true;
}

bool AVIFileRecovery::CopyToBrokenFolder(Original& original, MoviScanner& scanner, std::string& backupPath)
{
    const QString folder = RecorderLayout::BrokenFolderPath(documentsFolder);
    std::string nativeFolder;
    if (!CFileParser::ToAnsiPath(folder, nativeFolder)) {
        LogFailure("CopyToBrokenFolder", folder, QStringLiteral("not a usable path"));
        return false;
    }
    if (const int error = ops->CreateFolders(nativeFolder)) {
        LogFailure("CopyToBrokenFolder", folder, ErrorText(error));
        return false;
    }
    int error = 0;
    std::string temporaryPath;
    std::unique_ptr<RepairFile> copy = ops->CreateTemporary(nativeFolder, temporaryPath, error);
    if (!copy) {
        LogFailure("CopyToBrokenFolder", folder, ErrorText(error));
        return false;
    }
    auto fail = [&](const QString& reason) {
        LogFailure("CopyToBrokenFolder", original.path, reason);
        copy->Close();
        ops->Remove(temporaryPath);
        return false;
    };

    // One sequential pass: the backup is written and the movie data scanned
    // from the same buffers.
    original.file->AdviseSequential();
    const uint64_t size = uint64_t(original.info.st_size);
    std::vector<uint8_t> buffer(kCopyBufferBytes);
    for (uint64_t offset = 0; offset < size;) {
        const size_t wanted = size_t(std::min<uint64_t>(buffer.size(), size - offset));
        if (const int readError = original.file->ReadAt(offset, buffer.data(), wanted))
            return fail(QStringLiteral("read: ") + ErrorText(readError));
        if (const int writeError = copy->WriteAt(offset, buffer.data(), wanted))
            return fail(QStringLiteral("backup write: ") + ErrorText(writeError));
        scanner.Feed(offset, std::span(buffer.data(), wanted));
        // Refused before the rest is copied; fail removes the temporary.
        if (scanner.Exceeded())
            return fail(QStringLiteral("more than %1 chunks").arg(RecorderLayout::kMaximumIndexEntries));
        offset += wanted;
    }
    if (const int timeError = copy->SetTimes(original.info.st_atim, original.info.st_mtim))
        return fail(QStringLiteral("backup time: ") + ErrorText(timeError));
    if (const int syncError = copy->Sync())
        return fail(QStringLiteral("backup fsync: ") + ErrorText(syncError));
    if (const int closeError = copy->Close())
        return fail(QStringLiteral("backup close: ") + ErrorText(closeError));
    if (!PlaceBackup(temporaryPath, FileNameOf(original.path), backupPath)) {
        ops->Remove(temporaryPath);
        return false;
    }
    if (const int syncError = ops->SyncFolder(nativeFolder)) {
        LogFailure("CopyToBrokenFolder", folder, QStringLiteral("folder fsync: ") + ErrorText(syncError));
        ops->Remove(backupPath);
        return false;
    }
    return true;
}

bool AVIFileRecovery::PlaceBackup(const std::string& temporaryPath, const QString& fileName, std::string& backupPath)
{
    const QString folder = RecorderLayout::BrokenFolderPath(documentsFolder);
    for (int number = 0; number <= kMaximumBackupNumber; ++number) {
        const QString candidate = Paths::Join(folder, BackupName(fileName, number));
        std::string nativeCandidate;
        if (!CFileParser::ToAnsiPath(candidate, nativeCandidate)) {
            LogFailure("CopyToBrokenFolder", candidate, QStringLiteral("not a usable path"));
            return false;
        }
        const int error = ops->RenameNoReplace(temporaryPath, nativeCandidate);
        if (error == 0) {
            backupPath = nativeCandidate;
            return true;
        }
        if (error != EEXIST) {
            LogFailure("CopyToBrokenFolder", candidate, QStringLiteral("rename: ") + ErrorText(error));
            return false;
        }
    }
    LogFailure("CopyToBrokenFolder", folder, QStringLiteral("no free backup name"));
    return false;
}

bool AVIFileRecovery::UnchangedSinceGuard(Original& original, bool& nowValid)
{
    nowValid = false;
    struct stat now {};
    if (const int error = original.file->Stat(now)) {
        LogFailure("CheckRepairable", original.path, ErrorText(error));
        return false;
    }
    if (now.st_size == original.info.st_size && SameTime(now.st_mtim, original.info.st_mtim))
        return true;
    // Written while it was copied: another program is at work on it.
    std::vector<uint8_t> header(RecorderLayout::kMinimumFileSize);
    nowValid = original.file->ReadAt(0, header.data(), header.size()) == 0 &&
               RecorderLayout::HasRecorderLayout(header) &&
               !AVIFileParser::IsRefusedSize(ReadLe32(header.data() + 4), int64_t(now.st_size));
    LogFailure("CheckRepairable", original.path,
               nowValid ? QStringLiteral("repaired elsewhere meanwhile") : QStringLiteral("changed during the copy"));
    return false;
}

std::optional<RepairPlan> AVIFileRecovery::ScanMovi(const Original& original, const MoviScanner& scanner)
{
    PlanRefusal refusal{};
    std::optional<RepairPlan> plan = MakeRepairPlan(scanner.Entries(), uint64_t(original.info.st_size), &refusal);
    if (!plan)
        LogFailure("ScanMovi", original.path,
                   refusal == PlanRefusal::NoCompleteChunk ? QStringLiteral("no complete chunk")
                                                           : QStringLiteral("the repaired file would exceed 4 GiB"));
    return plan;
}

bool AVIFileRecovery::WriteRepairedFile(Original& original, const RepairPlan& plan, const std::string& backupPath)
{
    RepairFile& file = *original.file;
    auto fail = [&](const char* step, int error, bool headerWritten, bool closed = false) {
        LogFailure("WriteRepairedFile", original.path,
                   QString::fromLatin1(step) + QStringLiteral(": ") + ErrorText(error));
        RestoreOriginal(original, headerWritten, closed, backupPath);
        return false;
    };
    // The index goes behind the old end first: until the header names it,
    // the file reads as before.
    if (const int error = file.WriteAt(plan.oldLength, plan.tail.data(), plan.tail.size()))
        return fail("index append", error, false);
    if (const int error = file.Sync())
        return fail("fsync", error, false);
    const std::vector<uint8_t> patched = plan.PatchedHeader(original.header);
    if (const int error = file.WriteAt(0, patched.data(), patched.size()))
        return fail("header write", error, true);
    if (const int error = file.SetTimes(original.info.st_atim, original.info.st_mtim))
        return fail("time", error, true);
    if (const int error = file.Sync())
        return fail("final fsync", error, true);
    if (const int error = file.Close())
        return fail("close", error, true, true);
    return true;
}

void AVIFileRecovery::RestoreOriginal(Original& original, bool headerWritten, bool closed,
                                      const std::string& backupPath)
{
    int error = 0;
    RepairFile* file = original.file.get();
    std::unique_ptr<RepairFile> reopened;
    if (closed) {
        reopened = ops->OpenOriginal(original.native, error);
        file = reopened.get();
    }
    if (file && headerWritten)
        error = file->WriteAt(0, original.header.data(), RecorderLayout::kHeaderBytes);
    if (file && !error)
        error = file->Truncate(uint64_t(original.info.st_size));
    if (file && !error)
        error = file->SetTimes(original.info.st_atim, original.info.st_mtim);
    if (file && !error)
        error = file->Sync();
    if (file && !error)
        error = file->Close();
    if (error)
        LogFailure("WriteRepairedFile", original.path,
                   QStringLiteral("restore failed: ") + ErrorText(error) + QStringLiteral("; the backup is ") +
                       QFile::decodeName(QByteArray::fromStdString(backupPath)));
}
