#pragma once
// Shared by the fuzz targets: a scratch file for readers that take a path.

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace fuzzsupport {

// A file of the given name in a folder of this process's own, rewritten
// with each input. Under a folder named SDEXIT, so that the reader walks
// files of any size (small ones are otherwise set aside unread).
class ScratchFile {
public:
    explicit ScratchFile(const char* name);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // Replaces the file's bytes; its path.
    const QString& Write(const uint8_t* data, size_t size);
    const QString& Path() const { return path; }
    const QString& Folder() const { return folder; }

private:
    QString root;
    QString folder;
    QString path;
};

}  // namespace fuzzsupport
