#pragma once
// Off-screen surfaces for one paint: draw on painter() in the target's
// logical coordinates, and the picture reaches the target in one copy when
// the object goes.

#include <QImage>
#include <QPainter>
#include <QRect>
#include <memory>
#include <optional>

class OffscreenSurface {
public:
    OffscreenSurface(const OffscreenSurface&) = delete;
    OffscreenSurface& operator=(const OffscreenSurface&) = delete;

    QPainter& painter();
    // False when drawing goes straight to the target (a printer).
    bool offScreen() const { return surfacePainter != nullptr; }
    QRect rect() const { return area; }

protected:
    enum class Start {
        TargetPixels,      // what the target shows there
        TargetBackground,  // the target painter's background colour
        Black,             // a fresh bitmap
    };
    OffscreenSurface(QPainter& target, std::optional<QRect> rect, Start start, bool directOnPrinter);
    ~OffscreenSurface();

private:
    QPainter& target;
    QRect area;
    QImage surface;
    std::unique_ptr<QPainter> surfacePainter;
    // A widget's pixels cannot be read: the surface starts transparent and
    // is laid over the target instead of replacing it.
    bool layOver = false;
};

// The bitmap slider's surface: a printer target is drawn on directly.
class CMemDCC : public OffscreenSurface {
public:
    explicit CMemDCC(QPainter& target, std::optional<QRect> rect = std::nullopt, bool copyBackground = false)
        : OffscreenSurface(target, rect, copyBackground ? Start::TargetPixels : Start::TargetBackground, true)
    {
    }
};

// The list's surface: a fresh bitmap over the rectangle, copied straight.
class CMemoryDC : public OffscreenSurface {
public:
    CMemoryDC(const QRect& rect, QPainter& target) : OffscreenSurface(target, rect, Start::Black, false) {}
};
