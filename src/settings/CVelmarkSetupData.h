#pragma once
// The recorder's settings on its card: TARSIM/config/setup.cfg, read with
// per-key range checks and written whole in a fixed order, and the clock file
// time.cfg at the card's root (only ever written).

#include "core/CSetupDataEx.h"
#include "platform/Drives.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class CVelmarkSetupData : public CSetupDataEx {
public:
    using Clock = std::function<QDateTime()>;

    struct WriteError {
        enum class Kind { None, NoCard, CardGone, Folder, Write };
        Kind kind = Kind::None;
        QString path;
        int error = 0;  // errno where one is known
    };

    CVelmarkSetupData();

    // Every field but dateText and timeText back to its default; basePath
    // becomes the working folder and the card is forgotten.
    void SetDefaults();
    // Reads setup.cfg when there is one; with no base path reads nothing.
    // True in every case (an unreadable file has shown its box).
    bool Load() override;
    // Writes setup.cfg. False, with LastWriteError saying why, when there is
    // no card, the card was pulled or swapped, or a folder or the file cannot
    // be written; the old file then stays as it was.
    bool Save() override;
    // The 22 lines of setup.cfg, each ended by "\n".
    QString MakeFileText() override;
    QString MakeTimeFileText();
    // dateText/timeText, filled once from the clock when empty.
    QString GetDateText();
    QString GetTimeText();
    QString GetBasePath() const { return basePath; }
    QString GetTimeFileName() const { return timeFileName; }
    // basePath from a drive list text; forgets the card.
    void SetBasePathFromDriveText(const QString& text);

    // The card the settings belong to: basePath becomes its root, and every
    // write first checks that it is still mounted there.
    void SetCard(const DriveInfo& drive, std::shared_ptr<const Drives> drives);
    // A base path without a card (no mount check).
    void SetBasePath(const QString& path);
    const std::optional<DriveInfo>& Card() const { return card; }
    // Writes time.cfg at basePath behind the same checks as Save.
    bool SaveTimeFile();
    const WriteError& LastWriteError() const { return lastWriteError; }
    // The log line of a failed write.
    static QString WriteFailureText(const QString& path, int error);
    void SetClock(Clock clock);

    // The line rules of setup.cfg over its lines, in file order.
    void ApplyLines(const QStringList& lines);

    QString basePath;
    QString timeFileName;
    QString setupFileName;
    QString dateText;
    QString timeText;
    QString productName;
    QString hwVersion;
    QString swVersion;
    int timeZone = 0;
    int accTriggerLevel = 0;
    int lcdBrightness = 0;
    int backgroundImage = 0;
    int screenSaverEnable = 0;
    int recAudioEnable = 0;
    int spkVol = 0;
    int touchAudioEnable = 0;
    int parkingModeOnOff = 0;
    int powerOffVoltage = 0;
    int powerOffTime = 0;
    int lcdOffTime = 0;
    int cameraAngle = 0;
    int autoParkingMode = 0;
    int sdFormatReserved = 0;
    int sdFormatYear = 0;
    int sdFormatMonth = 0;
    int sdFormatDay = 0;
    int videoQuality = 0;

private:
    QString ConfigFolder() const;
    // Sets lastWriteError and returns false when nothing may be written.
    bool MayWrite(const char* function);
    bool Fail(const char* function, WriteError::Kind kind, const QString& path, int error);
    QDateTime Now() const;

    std::optional<DriveInfo> card;
    std::shared_ptr<const Drives> drives;
    WriteError lastWriteError;
    Clock clock;
};
