#include "controls/CMyBitmapButton.h"

#include "controls/ControlSupport.h"

#include <QPainter>

BitmapFace PickBitmap(ButtonFaceState state, AvailableFaces available)
{
    if (state.pressed && available.selected)
        return BitmapFace::Selected;
    if (state.focused && available.focus)
        return BitmapFace::Focus;
    if (state.disabled && available.disabled)
        return BitmapFace::Disabled;
    return BitmapFace::Normal;
}

CMyBitmapButton::CMyBitmapButton(QWidget* parent, const ImageSource& images) : QAbstractButton(parent), images(images)
{
    setFocusPolicy(Qt::ClickFocus);
}

bool CMyBitmapButton::LoadBitmaps(int normal, int selected, int focus, int disabled)
{
    controls::AssertUiThread(this);
    normalBitmap = selectedBitmap = focusBitmap = disabledBitmap = QImage();
    update();
    if (normal == 0)
        return false;
    normalBitmap = images.Bitmap(normal);
    if (normalBitmap.isNull())
        return false;
    bool complete = true;
    for (auto [id, bitmap] : {std::pair{selected, &selectedBitmap}, {focus, &focusBitmap}, {disabled, &disabledBitmap}}) {
        if (id == 0)
            continue;
        *bitmap = images.Bitmap(id);
        complete = complete && !bitmap->isNull();
    }
    return complete;
}

bool CMyBitmapButton::LoadBitmaps(const QImage& normal, const QImage& selected, const QImage& focus, const QImage& disabled)
{
    controls::AssertUiThread(this);
    normalBitmap = normal;
    selectedBitmap = normal.isNull() ? QImage() : selected;
    focusBitmap = normal.isNull() ? QImage() : focus;
    disabledBitmap = normal.isNull() ? QImage() : disabled;
    update();
    return !normal.isNull();
}

void CMyBitmapButton::SizeToContent()
{
    controls::AssertUiThread(this);
    if (!normalBitmap.isNull())
        resize(normalBitmap.size());
}

void CMyBitmapButton::SetCheck(bool checked)
{
    controls::AssertUiThread(this);
    checkFlag = checked;
}

QSize CMyBitmapButton::sizeHint() const
{
    return normalBitmap.isNull() ? QSize() : normalBitmap.size();
}

const QImage& CMyBitmapButton::Face(BitmapFace face) const
{
    switch (face) {
    case BitmapFace::Selected:
        return selectedBitmap;
    case BitmapFace::Focus:
        return focusBitmap;
    case BitmapFace::Disabled:
        return disabledBitmap;
    case BitmapFace::Normal:
        break;
    }
    return normalBitmap;
}

void CMyBitmapButton::paintEvent(QPaintEvent*)
{
    const ButtonFaceState state{isDown(), hasFocus(), !isEnabled()};
    const AvailableFaces available{!selectedBitmap.isNull(), !focusBitmap.isNull(), !disabledBitmap.isNull()};
    const QImage& face = Face(PickBitmap(state, available));
    if (face.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), face);
}
