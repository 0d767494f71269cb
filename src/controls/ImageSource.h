#pragma once
// Where the controls get their skin images. Controls ask once, when their
// owner sets them up, and keep what they got; a paint never asks.

#include <QByteArray>
#include <QImage>

class ImageSource {
public:
    virtual ~ImageSource() = default;
    // Format_RGB32 with the stored pixels, or a null image when missing.
    virtual QImage Bitmap(int id) const = 0;
    // Format_ARGB32, or a null image when missing.
    virtual QImage Icon(int id) const = 0;
    // The bytes of PNG resource id as stored (the caller decodes them), or
    // empty when missing.
    virtual QByteArray Png(int id) const
    {
        (void)id;
        return {};
    }

    // The resource module (ResourceManager), which logs every missing image.
    static const ImageSource& Resources();
};
