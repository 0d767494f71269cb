#pragma once
// A push button drawn as one of three icons over a piece of its parent's
// background image, so that it blends into the window behind it.

#include "controls/ImageSource.h"

#include <QAbstractButton>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

// The background area shown behind a button: background 107 always its
// (3, 8) corner, any other the 50 x 20 area at the button's place.
QRect BackgroundSourceRect(int backgroundId, QPoint posInParent, QSize clientSize);

class CButtonStyle : public QAbstractButton {
    Q_OBJECT
public:
    enum State { Normal = 1, Hover = 2, Pressed = 3 };

    explicit CButtonStyle(QWidget* parent = nullptr, const ImageSource& images = ImageSource::Resources());

    void SetBackgroundBitmap(int id);
    void SetBackgroundBitmap(int id, const QImage& bitmap);
    void SetIcons(int normal, int pressed, int hover);
    void SetIcons(const QImage& normal, const QImage& pressed, const QImage& hover);

    int state() const { return currentState; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SetState(int state);
    void Disarm();

    const ImageSource& images;
    int backgroundId = 0;
    QImage background;  // null: no background source
    QImage normalIcon;
    QImage pressedIcon;
    QImage hoverIcon;
    int currentState = Normal;
    bool trackArmed = true;
};
