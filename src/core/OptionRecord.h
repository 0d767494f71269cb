#pragma once
// The viewer's own options, kept in option.ini in the per-user configuration
// folder (sections DIRECTORY and OPTION).

#include <QString>

class OptionRecord {
public:
    OptionRecord();  // the defaults

    // The defaults, then option.ini: loaded when it exists, else written with
    // the defaults. Also fixes the file's path for the process.
    static OptionRecord LoadOptionIni();
    // The path option.ini is read from and written to (empty: none is kept).
    static QString FilePath();

    void Load();
    // False when option.ini was not written (no configuration folder: error
    // stays 0); error, when given, then holds the errno of the failure.
    bool Save(int* error = nullptr) const;

    QString GetRootDirectory() const { return rootDirectory; }
    QString GetEventDirectory() const { return eventDirectory; }
    QString GetContinuousDirectory() const { return continuousDirectory; }
    QString GetCaptureFolderName() const { return captureFolderName; }
    QString GetSaveDirectory() const { return saveDirectory; }
    QString GetDrivePath() const { return drivePath; }
    QString GetUseLogText() const { return FlagText(useLog); }
    QString GetCh1VerticalFlipText() const { return FlagText(ch1VerticalFlip); }
    QString GetCh1HorizontalFlipText() const { return FlagText(ch1HorizontalFlip); }
    QString GetCh2VerticalFlipText() const { return FlagText(ch2VerticalFlip); }
    QString GetCh2HorizontalFlipText() const { return FlagText(ch2HorizontalFlip); }

    static QString FlagText(bool flag) { return flag ? QStringLiteral("TRUE") : QStringLiteral("FALSE"); }

    QString eventDirectory;
    QString continuousDirectory;
    QString rootDirectory;
    QString captureFolderName;
    QString saveDirectory;
    QString drivePath;  // the card's mount point with a trailing '/', or empty
    bool useLog = false;
    bool ch1VerticalFlip = false;
    bool ch1HorizontalFlip = false;
    bool ch2VerticalFlip = false;
    bool ch2HorizontalFlip = false;
    int playValue = 5;
    int logLevel = 3;
    int logType = 3;
};
