#include "recordings/RecorderLayout.h"

#include "platform/Paths.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace {

bool HasTag(std::span<const uint8_t> bytes, size_t offset, const char (&tag)[5])
{
    return bytes.size() >= offset + 4 && std::memcmp(bytes.data() + offset, tag, 4) == 0;
}

}  // namespace

bool RecorderLayout::HasRecorderLayout(std::span<const uint8_t> header)
{
    return HasTag(header, 0, "RIFF") && HasTag(header, 8, "AVI ") && HasTag(header, 12, "LIST") &&
           HasTag(header, 20, "hdrl") && HasTag(header, 24, "avih") && HasTag(header, 100, "strh") &&
           HasTag(header, 108, "vids") && HasTag(header, 224, "strh") && HasTag(header, 232, "vids") &&
           HasTag(header, 348, "strh") && HasTag(header, 356, "auds") && HasTag(header, 448, "strh") &&
           HasTag(header, 456, "txts") && HasTag(header, 520, "LIST") && HasTag(header, 528, "movi");
}

QString RecorderLayout::BrokenFolderPath(const QString& documentsFolder)
{
    return Paths::Join(documentsFolder, QStringLiteral("BROKENFILES"));
}

bool RecorderLayout::IsInsideFolder(const std::string& nativePath, const std::string& nativeFolder)
{
    struct stat folderInfo {};
    if (stat(nativeFolder.c_str(), &folderInfo) != 0)
        return false;  // no such folder: nothing lies inside it
    const size_t slash = nativePath.rfind('/');
    const std::string parent = slash == std::string::npos ? std::string(".")
                               : slash == 0               ? std::string("/")
                                                          : nativePath.substr(0, slash);
    char resolved[PATH_MAX];
    if (!realpath(parent.c_str(), resolved))
        return true;
    std::string ancestor = resolved;
    for (;;) {
        struct stat info {};
        if (stat(ancestor.c_str(), &info) != 0)
            return true;
        if (info.st_dev == folderInfo.st_dev && info.st_ino == folderInfo.st_ino)
            return true;
        if (ancestor == "/")
            return false;
        const size_t cut = ancestor.rfind('/');
        ancestor = cut == 0 ? std::string("/") : ancestor.substr(0, cut);
    }
}
