#pragma once
// What a widget shows, for pixel asserts and for pictures to look at.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

class QWidget;

namespace testsupport {

// The widget as it paints itself, children included: RGB32 at device pixel
// ratio 1, whatever the screen's scale.
QImage Grab(QWidget& widget);

// Writes Grab(widget) to <dir>/<name>.png, dir being $KESTROV_SCREENSHOT_DIR
// or <build>/screenshots. A name outside [a-z0-9-]+ is refused; a refusal or
// a failed write fails the test. True when written.
bool SaveScreenshot(QWidget& widget, const QString& name);
// The same for a picture composed by the test.
bool SaveScreenshot(const QImage& image, const QString& name);

// The bytes of a PNG file of that size, filled with colour.
QByteArray PngOf(QSize size, QColor colour);

}  // namespace testsupport
