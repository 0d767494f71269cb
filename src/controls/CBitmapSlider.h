#pragma once
// A horizontal slider drawn entirely from images: the empty channel, and the
// filled channel from the left end to the position. A click sets the
// position at once and a drag follows the mouse.

#include "controls/ImageSource.h"
#include "platform/gdi/GdiCompat.h"

#include <QImage>
#include <QRect>
#include <QWidget>

// Position <-> pixel over the usable length width - margins.
struct SliderMapping {
    int width = 0;
    int marginLeft = 0;
    int marginRight = 0;
    int rangeMin = 0;
    int rangeMax = 100;
};
// An empty range maps to marginLeft.
int PosToPixel(const SliderMapping& mapping, int pos);
// No usable length maps to rangeMin.
int PixelToPos(const SliderMapping& mapping, int x);

class CBitmapSlider : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBackgroundImage = 107;
    static constexpr int kChannelImage = 186;
    static constexpr int kActiveChannelImage = 185;

    explicit CBitmapSlider(QWidget* parent = nullptr, const ImageSource& images = ImageSource::Resources());

    // Background 107, channel 186, active channel 185; false when one is missing.
    bool LoadChannelBitmaps();
    bool LoadChannelBitmaps(const QImage& background, const QImage& channel, const QImage& activeChannel);

    void SetRange(int min, int max);
    void SetPos(int pos);
    int GetPos() const { return position; }
    void SetMargin(int left, int right);
    void SetPageSize(int size);
    void SetControlId(int id);
    int GetControlId() const { return controlId; }

    int PosToPixel(int pos) const;
    int PixelToPos(int x) const;

signals:
    // While the button is held and the position changed.
    void positionChanging(int controlId, int pos);
    // At the release and on every key press.
    void positionChanged(int controlId, int pos);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    SliderMapping Mapping() const;
    void TrackTo(int x);
    void EndPress();

    const ImageSource& images;
    int controlId = 0;
    int rangeMin = 0;
    int rangeMax = 100;
    int position = 0;
    int marginLeft = 0;
    int marginRight = 0;
    int pageSize = 0;
    int width = 0;
    int height = 0;
    QRect rect;
    bool mouseDown = false;
    bool focused = false;
    QImage background;
    gdi::MaskedImage channel;
    gdi::MaskedImage activeChannel;
};
