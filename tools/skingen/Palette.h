#pragma once
// The skin's colours: one dark theme shared by every drawing.

#include <QColor>

namespace skingen::palette {

inline const QColor kWindow(59, 59, 59);     // window and player band
inline const QColor kStrip(66, 66, 66);      // pane title strips
inline const QColor kBody(72, 72, 72);       // button bodies
inline const QColor kTrack(80, 80, 80);      // tracks, channels, scroll bar
inline const QColor kPanel(51, 51, 51);      // list and map panels
inline const QColor kGlyph(200, 200, 200);   // glyphs, as the text
inline const QColor kHover(235, 235, 235);
inline const QColor kDisabled(100, 100, 100);
inline const QColor kDisabledBody(60, 60, 60);
inline const QColor kDark(40, 40, 40);       // lines under strips, panels
inline const QColor kLcd(20, 20, 20);
inline const QColor kAccent(255, 165, 0);    // as the list's selection
inline const QColor kBlue(49, 106, 197);     // as the list's playing row
inline const QColor kThumb(130, 130, 130);
inline const QColor kAboutPanel(75, 75, 75);
// The speedometer's digits sit on a white key; no channel may come near it.
inline const QColor kLcdDigit(232, 150, 0);
inline const QColor kKeyMagenta(255, 0, 255);
inline const QColor kKeyWhite(255, 255, 255);

}  // namespace skingen::palette
