#pragma once
// Replaces a file's contents so that a failure at any point leaves the old
// file whole: temporary file in the same folder, fsync, rename over the
// target, fsync the folder.

#include <QByteArray>
#include <QString>
#include <functional>
#include <system_error>

class AtomicFile {
public:
    // Empty error code on success. On failure the temporary file is removed,
    // the old file stays byte for byte, and the error says why.
    static std::error_code Write(const QString& path, const QByteArray& bytes);
    // The same for a writer that needs a file name (a printer, say): write
    // gets the temporary's path (an empty file with the new file's
    // permissions), fills it and closes it; true renames it over path.
    // false gives operation_canceled, removes the temporary and leaves path
    // untouched.
    static std::error_code Replace(const QString& path, const std::function<bool(const QString& temporary)>& write);
};
