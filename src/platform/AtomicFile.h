#pragma once
// Replaces a file's contents so that a failure at any point leaves the old
// file whole: temporary file in the same folder, fsync, rename over the
// target, fsync the folder.

#include <QByteArray>
#include <QString>
#include <system_error>

class AtomicFile {
public:
    // Empty error code on success. On failure the temporary file is removed,
    // the old file stays byte for byte, and the error says why.
    static std::error_code Write(const QString& path, const QByteArray& bytes);
};
