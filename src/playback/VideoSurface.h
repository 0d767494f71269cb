#pragma once
// Shows a sink's latest frame, stretched into the largest centred rectangle
// of the 16:9 display aspect, black around it. The sink asks for a repaint
// from libvlc's threads; the surface only ever paints on the UI thread.

#include <QRect>
#include <QWidget>
#include <cstdint>

class VideoFrameSink;

class VideoSurface : public QWidget {
    Q_OBJECT
public:
    // The sink must outlive the surface.
    explicit VideoSurface(VideoFrameSink& sink, QWidget* parent = nullptr);
    ~VideoSurface() override;

    // Black until a frame newer than the ones shown so far arrives.
    void Clear();

    // The picture's rectangle inside a widget of the given size.
    static QRect PictureRect(const QSize& size);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    VideoFrameSink& sink;
    bool cleared = false;
    std::uint64_t clearedAt = 0;  // the sink's count when cleared
};
