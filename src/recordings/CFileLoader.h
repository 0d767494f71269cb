#pragma once
// The recording loader: builds the entries of one load. The metadata decoder
// AVIFileLoader derives from it and supplies the two operations.

#include "recordings/RecordingEntry.h"

#include <QString>
#include <QStringList>
#include <ctime>
#include <memory>
#include <optional>
#include <vector>

class FileRepair;
class UserNotifier;

class CFileLoader {
public:
    CFileLoader() = default;
    virtual ~CFileLoader() = default;
    CFileLoader(const CFileLoader&) = delete;
    CFileLoader& operator=(const CFileLoader&) = delete;

    // Fills the entry from its file; the base knows no file format.
    virtual bool GetMetadataFromAVIFile(RecordingEntry& entry);
    virtual void Close();

    std::vector<std::shared_ptr<RecordingEntry>> entries;

    // ---- Discovery: finding, checking, dating and listing recordings ----

    // notifier shows the load message; broken recordings go to repair
    // (AVIFileRecovery over <documentsFolder>/BROKENFILES when none is given).
    CFileLoader(UserNotifier& notifier, QString documentsFolder, std::shared_ptr<FileRepair> repair = nullptr);

    // The recordings among files and in folders (recursively), files first,
    // sorted by start time and numbered 1 to n. One call per loader.
    std::vector<std::shared_ptr<RecordingEntry>> LoadVideoFiles(const QStringList& folders, const QStringList& files);

    // The six date fields a recorder name carries, by the first rule that
    // applies to its '_' pieces (at least 3).
    struct NameDateFields {
        int year = 0;
        int month = 0;
        int day = 0;
        int hour = 0;
        int minute = 0;
        int second = 0;
    };
    static NameDateFields ReadNameDateFields(const QStringList& pieces);
    // The start time a file name carries; invalid when it carries none.
    static OleDateTime ParseNameDateTime(const QString& fileName);
    static bool IsRecorderPrefix(const QString& piece);
    // RECORDING_NORMAL, _EVENT or _MOTION by the code at 16-18 of the name
    // without its extension; RECORDING_UNKNOWN otherwise.
    static int GetTypeFromName(const QString& fileName);
    static QString StripExtension(const QString& fileName);
    // The file's last-write time in local time (TZ honoured), to the second;
    // invalid when it cannot be read or lies outside the date range.
    static OleDateTime GetFileWriteTime(const QString& path);
    // A time_t in local time (TZ honoured), to the second.
    static OleDateTime LocalTime(time_t seconds);
    // Ascending by start time, in the order of a bubble sort that swaps
    // only a strictly later entry: equal times keep their order, and an
    // entry with an invalid time stays where it is.
    static void SortByStartTime(std::vector<std::shared_ptr<RecordingEntry>>& list);

private:
    QStringList ScanFolder(const QString& folder);
    void BuildEntries(const QStringList& paths);
    static bool IsAviFile(const QString& path);
    // modified: the last-write time of an accepted file, taken as it was
    // opened; none when the file was repaired.
    bool ProbeFile(const QString& path, std::optional<timespec>& modified);
    bool IsRepairCandidate(const QString& path) const;
    void AddEntry(const QString& path, const std::optional<timespec>& modified);
    static OleDateTime GetStartTime(const QString& path, const std::optional<timespec>& modified);
    void ShowLoadMessage(bool anyAvi, bool anyOther);
    void SortByStartTime();

    UserNotifier* notifier = nullptr;
    QString documentsFolder;
    std::shared_ptr<FileRepair> repair;
};
