#pragma once
// The skin: icons, bitmaps and raw resources asked for by number from the
// resource module KestrovResource.rcc (working folder first, then the
// program's folder). Images stay QImage so they can be asked for from any
// thread; a QPixmap is made only on the UI thread.

#include "platform/ResourceFile.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

class ResourceManager {
public:
    static ResourceManager& GetInstance();
    // Frees the module and the manager; a later GetInstance builds a new one.
    static void DestroyInstance();

    // ARGB32 icon, or a null image (logged "ICon NULL").
    QImage GetIcon(int id) const;
    // RGB32 bitmap with the exact stored pixels, or a null image ("Bitmap NULL").
    QImage GetBitmap(int id) const;
    // Raw bytes of resource type/id, e.g. ("PNG", 103), or empty ("Resource NULL").
    QByteArray GetRes(int id, const QString& type) const;

    bool IsLoaded() const;

    // For tests: the folders searched for the module, in order (default:
    // working folder, program folder). Takes effect for the next instance.
    static void SetSearchFolders(QStringList folders);

    ~ResourceManager();

    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;

    // The module's file name, and where its entries appear (":/kestrov/...").
    static constexpr const char* kModuleFileName = "KestrovResource.rcc";
    static constexpr const char* kMapRoot = "/kestrov";

private:
    ResourceManager();
    QByteArray Entry(const QString& type, int id) const;
    // The PNG entry kind/id decoded into format; null (and failure logged) when there is none.
    QImage Image(const char* kind, int id, QImage::Format format, const char* failure, const char* function) const;

    ResourceFile module;  // not loaded when no usable module was found
};
