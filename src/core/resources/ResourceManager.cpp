#include "core/resources/ResourceManager.h"

#include "core/Logger.h"
#include "platform/Paths.h"

#include <QResource>

#include <utility>
#include <mutex>

namespace {

std::mutex instanceMutex;
// Left alone at exit unless destroyed: unregistering after Qt's own statics
// are gone would touch freed state.
ResourceManager* instance = nullptr;
QStringList searchFolders;  // empty: the working folder, then the program folder

void LogLine(const QString& message, const char* function)
{
    Logger::GetInstance().Log(message, QStringLiteral("ResourceManager"), QString::fromLatin1(function), 3, 3);
}

}  // namespace

ResourceManager& ResourceManager::GetInstance()
{
    std::lock_guard lock(instanceMutex);
    if (!instance) {
        instance = new ResourceManager();
    }
    return *instance;
}

void ResourceManager::DestroyInstance()
{
    ResourceManager* doomed;
    {
        std::lock_guard lock(instanceMutex);
        doomed = std::exchange(instance, nullptr);
    }
    delete doomed;
}

void ResourceManager::SetSearchFolders(QStringList folders)
{
    std::lock_guard lock(instanceMutex);
    searchFolders = std::move(folders);
}

ResourceManager::ResourceManager()
{
    // Called with instanceMutex held.
    const QStringList folders =
        searchFolders.isEmpty() ? QStringList{Paths::WorkingFolder(), Paths::ProgramFolder()} : searchFolders;
    QStringList rejected;
    const bool loaded = module.Load(folders, QString::fromLatin1(kModuleFileName), QString::fromLatin1(kMapRoot), &rejected);
    for (const QString& reason : rejected) {
        LogLine(reason, "init");
    }
    if (!loaded) {
        LogLine(QString::fromLatin1(kModuleFileName) + QStringLiteral(" Load fail"), "init");
    }
}

ResourceManager::~ResourceManager() = default;

bool ResourceManager::IsLoaded() const { return module.IsLoaded(); }

QByteArray ResourceManager::Entry(const QString& type, int id) const
{
    if (!module.IsLoaded()) {
        return {};
    }
    const QResource entry(QStringLiteral(":%1/%2/%3").arg(QString::fromLatin1(kMapRoot), type).arg(id));
    return entry.isValid() ? entry.uncompressedData() : QByteArray();
}

QImage ResourceManager::Image(const char* kind, int id, QImage::Format format, const char* failure,
                              const char* function) const
{
    const QImage image = QImage::fromData(Entry(QString::fromLatin1(kind), id), "PNG");
    if (image.isNull()) {
        LogLine(QString::fromLatin1(failure), function);
        return {};
    }
    return image.convertToFormat(format);
}

QImage ResourceManager::GetIcon(int id) const
{
    return Image("icon", id, QImage::Format_ARGB32, "ICon NULL", "GetIcon");
}

QImage ResourceManager::GetBitmap(int id) const
{
    return Image("bitmap", id, QImage::Format_RGB32, "Bitmap NULL", "GetBitmap");
}

QByteArray ResourceManager::GetRes(int id, const QString& type) const
{
    QByteArray bytes = Entry(type, id);
    if (bytes.isEmpty()) {
        LogLine(QStringLiteral("Resource NULL"), "GetRes");
    }
    return bytes;
}
