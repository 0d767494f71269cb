#pragma once
// A static picture whose pixels of one colour are not drawn, so the parent
// shows through them.

#include "platform/gdi/GdiCompat.h"

#include <QImage>
#include <QWidget>

class CPicture : public QWidget {
    Q_OBJECT
public:
    explicit CPicture(QWidget* parent = nullptr);

    void SetBitmap(const QImage& bitmap);
    QImage GetBitmap() const { return bitmap; }
    void SetTransparentColor(gdi::ColorRef color);
    gdi::ColorRef GetTransparentColor() const { return transparentColor; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage bitmap;
    QImage keyed;  // bitmap with the transparent colour made alpha, made when set
    gdi::ColorRef transparentColor = gdi::Rgb(255, 255, 255);
};
