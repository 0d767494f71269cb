#include "support/gui/Screenshot.h"

#include <QBuffer>
#include <QDir>
#include <QRegularExpression>
#include <QWidget>
#include <cstdio>
#include <gtest/gtest.h>

namespace testsupport {

QImage Grab(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(1.0);
    image.fill(Qt::transparent);
    widget.render(&image);
    return image.convertToFormat(QImage::Format_RGB32);
}

bool SaveScreenshot(QWidget& widget, const QString& name)
{
    return SaveScreenshot(Grab(widget), name);
}

bool SaveScreenshot(const QImage& image, const QString& name)
{
    static const QRegularExpression allowed(QStringLiteral("^[a-z0-9-]+$"));
    if (!allowed.match(name).hasMatch()) {
        ADD_FAILURE() << "screenshot name \"" << name.toStdString() << "\" is not [a-z0-9-]+";
        return false;
    }
    const QString folder = qEnvironmentVariableIsEmpty("KESTROV_SCREENSHOT_DIR")
                               ? QStringLiteral(KESTROV_DEFAULT_SCREENSHOT_DIR)
                               : qEnvironmentVariable("KESTROV_SCREENSHOT_DIR");
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (!QDir().mkpath(folder) || !image.save(path, "PNG")) {
        ADD_FAILURE() << "cannot write the screenshot " << path.toStdString();
        return false;
    }
    std::printf("wrote %s\n", qPrintable(path));
    return true;
}

QByteArray PngOf(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

}  // namespace testsupport
