#pragma once
// The pictograms of the skin, drawn in a 24-unit design square mapped onto
// any box, with strokes of a fixed pixel width. No text anywhere.

#include <QColor>
#include <QPainter>
#include <QRectF>

namespace skingen {

enum class Glyph {
    None,
    Info, CornersOut, CornersIn, Folder, Gear, Printer, Scissors, Camera,
    Play, Pause, Forward, Rewind, Next, Previous,
    ArrowOutOfSquare, ArrowIntoSquare,
    Gauge, Sun, SpeakerWaves, SpeakerMuted,
    TwoScreens, ScreenForward, ScreenBackward,
    FourSquares, Lightning, Dot, ThreeArcs,
    Check, ChevronUp, ChevronDown,
    MapPinSlash, GlobeSlash,
};

// Draws glyph centred in the largest square of box, antialiased.
void DrawGlyph(QPainter& painter, Glyph glyph, const QRectF& box, const QColor& color, qreal strokePixels = 2.0);

// The program's mark: two overlapping lens rings, accent and blue.
void DrawAppMark(QPainter& painter, const QRectF& box, qreal strokePixels);

}  // namespace skingen
