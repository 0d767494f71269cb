// option.ini through ProfileFile: read, looked up, changed and written back.

#include "FuzzSupport.h"
#include "platform/ProfileFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzzsupport::ScratchFile scratch("option.ini");
    const QString& path = scratch.Write(data, size);
    ProfileFile file = ProfileFile::Read(path);
    for (const char* key : {"SAVE_DIRECTORY", "USE_LOG", "LOG_LEVEL", "SEEK_STEP"}) {
        file.Value(QStringLiteral("OPTION"), QString::fromLatin1(key));
        file.Value(QStringLiteral("DIRECTORY"), QString::fromLatin1(key), 7);
    }
    file.SetValue(QStringLiteral("OPTION"), QStringLiteral("SEEK_STEP"), QStringLiteral("10"));
    if (file.Value(QStringLiteral("OPTION"), QStringLiteral("SEEK_STEP")) != QStringLiteral("10"))
        std::abort();
    if (file.Save(path))
        std::abort();
    return 0;
}
