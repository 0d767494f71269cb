#pragma once
// The front pane's logo area: the whole logo bitmap stretched over the area,
// pixels copied unchanged. Nothing is painted without a bitmap, so the pane's
// black shows through. UI thread only.

#include <QImage>
#include <QWidget>

class ChannelLogo : public QWidget {
    Q_OBJECT
public:
    explicit ChannelLogo(QWidget* parent = nullptr);
    void SetBitmap(QImage image);
    const QImage& Bitmap() const { return bitmap; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage bitmap;
};
