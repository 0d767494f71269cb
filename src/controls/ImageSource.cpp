#include "controls/ImageSource.h"

#include "core/resources/ResourceManager.h"

namespace {

class ResourceImageSource final : public ImageSource {
public:
    QImage Bitmap(int id) const override { return ResourceManager::GetInstance().GetBitmap(id); }
    QImage Icon(int id) const override { return ResourceManager::GetInstance().GetIcon(id); }
    QByteArray Png(int id) const override { return ResourceManager::GetInstance().GetRes(id, QStringLiteral("PNG")); }
};

}  // namespace

const ImageSource& ImageSource::Resources()
{
    static const ResourceImageSource source;
    return source;
}
