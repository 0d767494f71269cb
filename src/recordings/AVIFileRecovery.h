#pragma once
// Repairs a recording whose power was cut while it was written: its movie
// data is indexed again and its header sizes and counts rewritten, in place.
//
// The user's file is never lost: a guard refuses anything but a broken file
// of the recorder's own layout, a byte-identical backup is made in
// <documents>/BROKENFILES first (a copy under a free name; nothing is ever
// moved, replaced or deleted there), and a failed write to the original
// restores it from what was saved.

#include "recordings/FileRepair.h"
#include "recordings/RepairFileOps.h"
#include "recordings/RepairPlan.h"

#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

class AVIFileRecovery : public FileRepair {
public:
    explicit AVIFileRecovery(QString documentsFolder,
                             std::shared_ptr<RepairFileOps> ops = std::make_shared<PosixRepairFileOps>());

    // True when a repaired recording stands at path (repairedPath = path);
    // see the class comment for what false leaves behind.
    bool RecoverFile(const QString& path, QString& repairedPath) override;

    // The backup of the last successful or failed-after-writing call.
    QString LastBackupPath() const { return lastBackupPath; }

private:
    struct Original {
        QString path;
        std::string native;
        std::unique_ptr<RepairFile> file;
        struct stat info {};
        std::vector<uint8_t> header;  // the first kMinimumFileSize bytes
    };

    bool OpenFile(Original& original);
    bool CheckRepairable(Original& original);
    bool CopyToBrokenFolder(Original& original, MoviScanner& scanner, std::string& backupPath);
    bool PlaceBackup(const std::string& temporaryPath, const QString& fileName, std::string& backupPath);
    std::optional<RepairPlan> ScanMovi(const Original& original, const MoviScanner& scanner);
    bool UnchangedSinceGuard(Original& original, bool& nowValid);
    bool WriteRepairedFile(Original& original, const RepairPlan& plan, const std::string& backupPath);
    void RestoreOriginal(Original& original, bool headerWritten, bool closed, const std::string& backupPath);

    void LogFailure(const char* function, const QString& path, const QString& reason) const;
    static QString ErrorText(int error);

    QString documentsFolder;
    std::shared_ptr<RepairFileOps> ops;
    QString lastBackupPath;
};
