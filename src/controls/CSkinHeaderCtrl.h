#pragma once
// The skinned list's column header: a dark strip under image 124 with the
// headings centred in their own font. Sections keep their widths (the
// list pane refuses changes) but can be clicked and moved.

#include "controls/ImageSource.h"

#include <QHeaderView>
#include <QImage>

class CSkinHeaderCtrl : public QHeaderView {
    Q_OBJECT
public:
    static constexpr int kBackgroundImage = 124;
    static constexpr int kHeight = 18;
    static constexpr int kMaxHeadingLength = 255;

    explicit CSkinHeaderCtrl(QWidget* parent = nullptr, const ImageSource& images = ImageSource::Resources());

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage background;
};
