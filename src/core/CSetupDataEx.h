#pragma once
// Base of the recorder's settings model, and the whole-file text routines
// its files are read and written with (8-bit text, CR LF on disk).

#include <QString>
#include <QStringList>

class CSetupDataEx {
public:
    virtual ~CSetupDataEx() = default;

    virtual bool Load() { return true; }
    virtual bool Save() { return true; }
    virtual QString MakeFileText() { return QString(); }

    // The file's lines each followed by "^". A missing file gives the empty
    // text silently; a folder at the path, a file that cannot be opened or one
    // over 1 MiB shows one file-error box and gives the empty text.
    static QString ReadTextFile(const QString& path);
    // The same rules; the lines as a list (LF or CR LF ends a line).
    static QStringList ReadTextLines(const QString& path);

    // Writes directory/fileName atomically, creating directory when its parent
    // exists. False on any failure (the old file then stays as it was).
    static bool WriteTextFile(const QString& fileName, const QString& directory, const QString& content);
    // The same write, with why it failed: 0 on success, else the errno value
    // (EINVAL for an empty name or folder).
    static int WriteTextFileError(const QString& fileName, const QString& directory, const QString& content);
};
