#pragma once
// Fixtures of the controls suites: a fake skin that logs what is asked of
// it, image makers, a green parent and synthetic input.

#include "controls/ImageSource.h"
#include "support/gui/Screenshot.h"

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMap>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace controlstest {

class FakeImageSource : public ImageSource {
public:
    void AddBitmap(int id, const QImage& image) { bitmaps[id] = image.convertToFormat(QImage::Format_RGB32); }
    void AddIcon(int id, const QImage& image) { icons[id] = image.convertToFormat(QImage::Format_ARGB32); }
    void AddPng(int id, const QByteArray& bytes) { pngs[id] = bytes; }

    QImage Bitmap(int id) const override
    {
        requests.push_back({'B', id});
        return bitmaps.value(id);
    }
    QImage Icon(int id) const override
    {
        requests.push_back({'I', id});
        return icons.value(id);
    }
    QByteArray Png(int id) const override
    {
        requests.push_back({'P', id});
        return pngs.value(id);
    }

    std::vector<int> BitmapRequests() const
    {
        std::vector<int> ids;
        for (const auto& [kind, id] : requests)
            if (kind == 'B')
                ids.push_back(id);
        return ids;
    }

    mutable std::vector<std::pair<char, int>> requests;

private:
    QMap<int, QImage> bitmaps;
    QMap<int, QImage> icons;
    QMap<int, QByteArray> pngs;
};

inline QImage Flat(QSize size, QColor color, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(size, format);
    image.fill(color);
    return image;
}

// Every pixel names its place: red = x mod 256, green = y.
inline QImage Gradient(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, 0));
    return image;
}

inline QRgb GradientAt(int x, int y)
{
    return qRgb(x % 256, y % 256, 0);
}

// `key` on rows [0, bandTop) and [bandBottom, height), `body` between.
inline QImage Banded(QSize size, QColor key, QColor body, int bandTop, int bandBottom)
{
    QImage image = Flat(size, key);
    for (int y = bandTop; y < bandBottom; ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, body.rgb());
    return image;
}

// A parent that paints itself plain green, as a window's backdrop.
class GreenParent : public QWidget {
public:
    explicit GreenParent(QSize size = QSize(400, 200))
    {
        setAutoFillBackground(true);
        QPalette palette;
        palette.setColor(QPalette::Window, Qt::green);
        setPalette(palette);
        resize(size);
    }
};

inline QRgb Green()
{
    return QColor(Qt::green).rgb();
}

// What the window shows, at device pixel ratio 1.
using testsupport::Grab;

inline void Mouse(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(at), QPointF(widget.mapToGlobal(at)), Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}
inline void Press(QWidget& w, QPoint at) { Mouse(w, QEvent::MouseButtonPress, at, Qt::LeftButton); }
inline void Release(QWidget& w, QPoint at) { Mouse(w, QEvent::MouseButtonRelease, at, Qt::NoButton); }
inline void DoubleClick(QWidget& w, QPoint at) { Mouse(w, QEvent::MouseButtonDblClick, at, Qt::LeftButton); }
inline void Move(QWidget& w, QPoint at, bool held = true)
{
    QMouseEvent event(QEvent::MouseMove, QPointF(at), QPointF(w.mapToGlobal(at)), Qt::NoButton,
                      held ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &event);
}
inline void Leave(QWidget& w)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(&w, &event);
}
inline void Key(QWidget& w, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autoRepeat = false)
{
    QKeyEvent event(QEvent::KeyPress, key, modifiers, QString(), autoRepeat);
    QCoreApplication::sendEvent(&w, &event);
}
inline void Wheel(QWidget& w, QPoint at)
{
    QWheelEvent event(QPointF(at), QPointF(w.mapToGlobal(at)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&w, &event);
}

}  // namespace controlstest
