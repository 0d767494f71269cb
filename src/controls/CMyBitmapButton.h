#pragma once
// A button drawn from up to four bitmaps: normal, selected (pressed),
// focus and disabled.

#include "controls/ImageSource.h"

#include <QAbstractButton>
#include <QImage>

enum class BitmapFace { Normal, Selected, Focus, Disabled };

struct ButtonFaceState {
    bool pressed = false;
    bool focused = false;
    bool disabled = false;
};

struct AvailableFaces {
    bool selected = false;
    bool focus = false;
    bool disabled = false;
};

// Selected while pressed, else focus while focused, else disabled while
// disabled, each only when that bitmap exists; else normal.
BitmapFace PickBitmap(ButtonFaceState state, AvailableFaces available);

class CMyBitmapButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CMyBitmapButton(QWidget* parent = nullptr, const ImageSource& images = ImageSource::Resources());

    // Releases the four bitmaps and loads the requested ones (0 = none), in
    // order. A missing normal bitmap stops at once; any missing one gives false.
    bool LoadBitmaps(int normal, int selected, int focus, int disabled);
    // The same with images; a null normal image gives false.
    bool LoadBitmaps(const QImage& normal, const QImage& selected, const QImage& focus, const QImage& disabled);
    // Sizes the button to its normal bitmap.
    void SizeToContent();

    // A flag of the owner's; a click does not change it and it is not drawn.
    void SetCheck(bool checked);
    bool GetCheck() const { return checkFlag; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QImage& Face(BitmapFace face) const;

    const ImageSource& images;
    QImage normalBitmap;
    QImage selectedBitmap;
    QImage focusBitmap;
    QImage disabledBitmap;
    bool checkFlag = false;
};
