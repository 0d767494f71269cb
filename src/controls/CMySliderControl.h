#pragma once
// The skinned track bar of the player pane: the pane's background, the
// channel, for the position slider a black field and the filled part, and
// the thumb, all stretched from bitmaps.

#include "controls/CEnhancedSliderCtrl.h"
#include "controls/ImageSource.h"

#include <QImage>

class CMySliderControl : public CEnhancedSliderCtrl {
    Q_OBJECT
public:
    static constexpr int kBackgroundImage = 107;

    // Image numbers as the resource module has them; fillImage 0 = none.
    CMySliderControl(int channelImage, int thumbImage, int pressedThumbImage, int fillImage, bool drawFill,
                     QWidget* parent = nullptr, const ImageSource& images = ImageSource::Resources());

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void DrawChannel(QPainter& painter) const;
    void DrawThumb(QPainter& painter) const;

    bool drawFill;
    QImage background;
    QImage channel;
    QImage thumb;
    QImage pressedThumb;
    QImage fill;
};
