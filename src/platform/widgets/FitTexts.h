#pragma once
// Templates were laid out for the original platform's dialog font, whose
// letters are narrower than DejaVu Sans's at the same size: a text that fits
// its rectangle there can wrap or run out of it here.

class QWidget;

namespace platform {

// The narrowest a text is squeezed to fit, in percent of its font's width.
inline constexpr int kMinimumTextStretch = 75;

// Each label, radio button and check box among window's children whose text
// does not fit its rectangle gets its font narrowed just enough to fit (same
// face, horizontal stretch). A text that would need less than
// kMinimumTextStretch keeps its font and is clipped by its rectangle, as its
// template clips it. Run once the texts and geometry are set (UI thread).
void FitTexts(QWidget& window);

}  // namespace platform
