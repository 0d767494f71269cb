#include "Glyphs.h"

#include "Palette.h"

#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <initializer_list>

namespace skingen {

namespace {

constexpr qreal kDesign = 24.0;
constexpr qreal kPi = 3.14159265358979323846;

// A painter mapped onto the design square, with a pen of fixed pixel width.
class DesignCanvas {
public:
    DesignCanvas(QPainter& painter, const QRectF& box, const QColor& color, qreal strokePixels)
        : painter(painter), color(color)
    {
        const qreal side = std::min(box.width(), box.height());
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(box.center() - QPointF(side / 2, side / 2));
        painter.scale(side / kDesign, side / kDesign);
        unitsPerPixel = kDesign / side;
        strokeUnits = strokePixels * unitsPerPixel;
        Stroke();
    }
    ~DesignCanvas() { painter.restore(); }

    void Stroke(qreal widthFactor = 1.0)
    {
        QPen pen(color, strokeUnits * widthFactor, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
    }
    void Fill()
    {
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
    }

    void Line(qreal x1, qreal y1, qreal x2, qreal y2) { painter.drawLine(QPointF(x1, y1), QPointF(x2, y2)); }
    void Polyline(std::initializer_list<QPointF> points) { painter.drawPolyline(QPolygonF(points)); }
    void Polygon(std::initializer_list<QPointF> points) { painter.drawPolygon(QPolygonF(points)); }
    void Circle(qreal cx, qreal cy, qreal r) { painter.drawEllipse(QPointF(cx, cy), r, r); }
    void Rect(qreal x, qreal y, qreal w, qreal h, qreal radius = 0)
    {
        painter.drawRoundedRect(QRectF(x, y, w, h), radius, radius);
    }
    // Arc around (cx, cy) from angle a0 to a1, degrees counter-clockwise from 3 o'clock.
    void Arc(qreal cx, qreal cy, qreal r, qreal a0, qreal a1)
    {
        painter.drawArc(QRectF(cx - r, cy - r, 2 * r, 2 * r), int(a0 * 16), int((a1 - a0) * 16));
    }
    // Spokes from radius r0 to r1, n of them, starting at angle start.
    void Spokes(qreal cx, qreal cy, qreal r0, qreal r1, int n, qreal start)
    {
        for (int i = 0; i < n; ++i) {
            const qreal a = (start + 360.0 * i / n) * kPi / 180.0;
            Line(cx + r0 * std::cos(a), cy - r0 * std::sin(a), cx + r1 * std::cos(a), cy - r1 * std::sin(a));
        }
    }

    QPainter& painter;

private:
    QColor color;
    qreal unitsPerPixel = 1;
    qreal strokeUnits = 2;
};

void Speaker(DesignCanvas& c)
{
    c.Fill();
    c.Polygon({{2, 9}, {6, 9}, {11, 4.5}, {11, 19.5}, {6, 15}, {2, 15}});
}

void Screen(DesignCanvas& c, qreal x, qreal y, qreal w, qreal h)
{
    c.Stroke();
    c.Rect(x, y, w, h, 1.5);
}

}  // namespace

void DrawGlyph(QPainter& painter, Glyph glyph, const QRectF& box, const QColor& color, qreal strokePixels)
{
    DesignCanvas c(painter, box, color, strokePixels);
    switch (glyph) {
    case Glyph::None:
        break;
    case Glyph::Info:
        c.Circle(12, 12, 10);
        c.Line(12, 10.5, 12, 17.5);
        c.Fill();
        c.Circle(12, 6.8, 1.6);
        break;
    case Glyph::CornersOut:
        c.Polyline({{2, 8}, {2, 2}, {8, 2}});
        c.Polyline({{16, 2}, {22, 2}, {22, 8}});
        c.Polyline({{22, 16}, {22, 22}, {16, 22}});
        c.Polyline({{8, 22}, {2, 22}, {2, 16}});
        c.Line(2, 2, 8, 8);
        c.Line(22, 22, 16, 16);
        break;
    case Glyph::CornersIn:
        c.Polyline({{9, 3}, {9, 9}, {3, 9}});
        c.Polyline({{15, 3}, {15, 9}, {21, 9}});
        c.Polyline({{21, 15}, {15, 15}, {15, 21}});
        c.Polyline({{3, 15}, {9, 15}, {9, 21}});
        break;
    case Glyph::Folder:
        c.Polygon({{2, 5}, {9, 5}, {11.5, 8}, {22, 8}, {22, 20}, {2, 20}});
        c.Line(2, 11, 22, 11);
        break;
    case Glyph::Gear:
        c.Circle(12, 12, 6.5);
        c.Circle(12, 12, 2.5);
        c.Stroke(1.8);
        c.Spokes(12, 12, 7.5, 10.5, 8, 0);
        break;
    case Glyph::Printer:
        c.Polyline({{6.5, 8}, {6.5, 2.5}, {17.5, 2.5}, {17.5, 8}});
        c.Rect(2.5, 8, 19, 9, 1.5);
        c.Rect(6.5, 13.5, 11, 8);
        c.Fill();
        c.Circle(18.5, 11, 1.2);
        break;
    case Glyph::Scissors:
        c.Circle(6.5, 18, 3.5);
        c.Circle(17.5, 18, 3.5);
        c.Line(8.5, 15, 17, 2.5);
        c.Line(15.5, 15, 7, 2.5);
        break;
    case Glyph::Camera:
        c.Rect(2, 7, 20, 13.5, 2);
        c.Polyline({{8, 7}, {9.5, 4}, {14.5, 4}, {16, 7}});
        c.Circle(12, 13.5, 4);
        break;
    case Glyph::Play:
        c.Fill();
        c.Polygon({{6, 3.5}, {20, 12}, {6, 20.5}});
        break;
    case Glyph::Pause:
        c.Fill();
        c.Rect(5.5, 4, 4.5, 16, 1);
        c.Rect(14, 4, 4.5, 16, 1);
        break;
    case Glyph::Forward:
        c.Fill();
        c.Polygon({{2, 5}, {12, 12}, {2, 19}});
        c.Polygon({{12, 5}, {22, 12}, {12, 19}});
        break;
    case Glyph::Rewind:
        c.Fill();
        c.Polygon({{22, 5}, {12, 12}, {22, 19}});
        c.Polygon({{12, 5}, {2, 12}, {12, 19}});
        break;
    case Glyph::Next:
        c.Fill();
        c.Polygon({{4, 5}, {15, 12}, {4, 19}});
        c.Rect(16.5, 5, 3.5, 14);
        break;
    case Glyph::Previous:
        c.Fill();
        c.Polygon({{20, 5}, {9, 12}, {20, 19}});
        c.Rect(4, 5, 3.5, 14);
        break;
    case Glyph::ArrowOutOfSquare:
        c.Polyline({{11, 4}, {3, 4}, {3, 21}, {20, 21}, {20, 13}});
        c.Line(10, 14, 21, 3);
        c.Polyline({{14, 3}, {21, 3}, {21, 10}});
        break;
    case Glyph::ArrowIntoSquare:
        c.Polyline({{11, 4}, {3, 4}, {3, 21}, {20, 21}, {20, 13}});
        c.Line(21, 3, 10, 14);
        c.Polyline({{10, 7}, {10, 14}, {17, 14}});
        break;
    case Glyph::Gauge:
        c.Arc(12, 15, 10, 0, 180);
        c.Line(2, 15, 22, 15);
        c.Line(12, 15, 17, 8);
        c.Fill();
        c.Circle(12, 15, 2);
        break;
    case Glyph::Sun:
        c.Circle(12, 12, 4.5);
        c.Spokes(12, 12, 7.5, 10.5, 8, 0);
        break;
    case Glyph::SpeakerWaves:
        Speaker(c);
        c.Stroke();
        c.Arc(11, 12, 5, -45, 45);
        c.Arc(11, 12, 9.5, -45, 45);
        break;
    case Glyph::SpeakerMuted:
        Speaker(c);
        c.Stroke();
        c.Line(14.5, 8.5, 21.5, 15.5);
        c.Line(21.5, 8.5, 14.5, 15.5);
        break;
    case Glyph::TwoScreens:
        Screen(c, 0.5, 5, 10.5, 12);
        Screen(c, 13, 5, 10.5, 12);
        c.Line(3, 20, 8.5, 20);
        c.Line(15.5, 20, 21, 20);
        break;
    case Glyph::ScreenForward:
        Screen(c, 2, 3.5, 20, 15);
        c.Line(8, 21, 16, 21);
        c.Fill();
        c.Polygon({{9, 7}, {16, 11}, {9, 15}});
        break;
    case Glyph::ScreenBackward:
        Screen(c, 2, 3.5, 20, 15);
        c.Line(8, 21, 16, 21);
        c.Fill();
        c.Polygon({{15, 7}, {8, 11}, {15, 15}});
        break;
    case Glyph::FourSquares:
        c.Fill();
        c.Rect(3, 3, 8, 8, 1);
        c.Rect(13, 3, 8, 8, 1);
        c.Rect(3, 13, 8, 8, 1);
        c.Rect(13, 13, 8, 8, 1);
        break;
    case Glyph::Lightning:
        c.Fill();
        c.Polygon({{14, 1.5}, {4.5, 13.5}, {11, 13.5}, {9, 22.5}, {19.5, 10}, {13, 10}, {15.5, 1.5}});
        break;
    case Glyph::Dot:
        c.Fill();
        c.Circle(12, 12, 5.5);
        break;
    case Glyph::ThreeArcs:
        c.Arc(4, 12, 5, -50, 50);
        c.Arc(4, 12, 10, -50, 50);
        c.Arc(4, 12, 15, -50, 50);
        c.Fill();
        c.Circle(4, 12, 1.8);
        break;
    case Glyph::Check:
        c.Polyline({{4, 12.5}, {9.5, 18}, {20, 6}});
        break;
    case Glyph::ChevronUp:
        c.Polyline({{6, 15}, {12, 9}, {18, 15}});
        break;
    case Glyph::ChevronDown:
        c.Polyline({{6, 9}, {12, 15}, {18, 9}});
        break;
    case Glyph::MapPinSlash: {
        QPainterPath pin;
        pin.moveTo(12, 22);
        pin.cubicTo(6, 15, 4.5, 12.5, 4.5, 9.5);
        pin.arcTo(QRectF(4.5, 2, 15, 15), 180, -180);
        pin.cubicTo(19.5, 12.5, 18, 15, 12, 22);
        c.painter.drawPath(pin);
        c.Circle(12, 9.5, 2.8);
        c.Line(3, 3, 21, 21);
        break;
    }
    case Glyph::GlobeSlash:
        c.Circle(12, 12, 10);
        c.painter.drawEllipse(QPointF(12, 12), 4.5, 10);
        c.Line(2, 12, 22, 12);
        c.Line(4, 6.5, 20, 6.5);
        c.Line(4, 17.5, 20, 17.5);
        c.Line(3, 3, 21, 21);
        break;
    }
}

void DrawAppMark(QPainter& painter, const QRectF& box, qreal strokePixels)
{
    {
        DesignCanvas c(painter, box, palette::kBlue, strokePixels);
        c.Circle(15, 12, 6.8);
    }
    DesignCanvas c(painter, box, palette::kAccent, strokePixels);
    c.Circle(9, 12, 6.8);
}

}  // namespace skingen
