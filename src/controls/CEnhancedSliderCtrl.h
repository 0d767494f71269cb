#pragma once
// The project's own horizontal track bar: a click moves the thumb straight
// to the clicked value and a drag follows the mouse, reported as scroll
// codes. Keys and the wheel do nothing.

#include <QRect>
#include <QWidget>
#include <optional>

// The value under coordinate c of a channel [chLeft, chRight): the one
// nearest to min + f·(max − min), kept within [min, max]; none for a
// channel without width.
std::optional<int> ValueFromPoint(int c, int chLeft, int chRight, int min, int max);
// Widened by 1 at either side when taller than wide, else 2 at top and bottom.
QRect WidenChannel(const QRect& channel);
// The filled part of the channel up to thumb rectangle t.
QRect FillRect(const QRect& thumb);
// The 11 x 20 thumb centred on the position's place in the channel.
QRect ThumbRectFor(const QRect& channel, int pos, int min, int max);

class CEnhancedSliderCtrl : public QWidget {
    Q_OBJECT
public:
    static constexpr int SB_THUMBPOSITION = 4;
    static constexpr int SB_THUMBTRACK = 5;

    explicit CEnhancedSliderCtrl(QWidget* parent = nullptr);

    void SetRange(int min, int max);
    // Kept within the range.
    void SetPos(int pos);
    int GetPos() const { return position; }
    int GetRangeMin() const { return rangeMin; }
    int GetRangeMax() const { return rangeMax; }
    void SetPageSize(int size);
    void SetLineSize(int size);
    void SetTicFreq(int frequency);

    QRect ChannelRect() const;
    QRect ThumbRect() const;
    bool IsDragging() const { return dragging; }

    // Moves the thumb to the value under the point; true when it changed.
    bool SetPosFromPoint(QPoint point);
    void NotifyParent(int code);
    // Ends a press without a release point: no seek, one SB_THUMBPOSITION
    // when the press moved the thumb.
    void EndDrag();

signals:
    void hScroll(int code, int pos);

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    int rangeMin = 0;
    int rangeMax = 100;
    int position = 0;
    int pageSize = 0;
    int lineSize = 0;
    int ticFrequency = 0;
    bool dragging = false;
    bool moved = false;
};
