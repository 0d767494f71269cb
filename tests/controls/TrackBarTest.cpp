#include "ControlsTestSupport.h"
#include "controls/CMySliderControl.h"

#include <QSignalSpy>

using namespace controlstest;

namespace {

using Scroll = std::pair<int, int>;
constexpr int kTrack = CEnhancedSliderCtrl::SB_THUMBTRACK;
constexpr int kPosition = CEnhancedSliderCtrl::SB_THUMBPOSITION;

std::vector<Scroll> Received(QSignalSpy& spy)
{
    std::vector<Scroll> result;
    for (const auto& args : spy)
        result.push_back({args.at(0).toInt(), args.at(1).toInt()});
    return result;
}

// x of value v on a 216-px track bar of range 0-100: channel 8 to 208.
QPoint At(int v)
{
    return QPoint(8 + 2 * v, 12);
}

class TrackBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        slider = new CEnhancedSliderCtrl(&parent);
        slider->resize(216, 26);
        parent.show();
    }
    GreenParent parent;
    CEnhancedSliderCtrl* slider = nullptr;
};

}  // namespace

TEST(ValueFromPointTest, NearestValueWithinTheRange)
{
    struct Case {
        int c, left, right, min, max;
        std::optional<int> value;
    };
    const Case cases[] = {
        {60, 10, 110, 1, 7, 4},
        {10, 10, 110, 1, 7, 1},
        {110, 10, 110, 1, 7, 7},
        {0, 10, 110, 1, 7, 1},
        {200, 10, 110, 1, 7, 7},
        {508, 8, 1008, 0, 10000, 5000},
        {2000000000, 8, 9, 0, 10000, 10000},
        {50, 10, 10, 1, 7, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.c);
        EXPECT_EQ(ValueFromPoint(c.c, c.left, c.right, c.min, c.max), c.value);
    }
}

TEST(TrackBarGeometryTest, ChannelThumbAndFill)
{
    EXPECT_EQ(WidenChannel(QRect(8, 12, 200, 2)), QRect(8, 10, 200, 6));
    EXPECT_EQ(WidenChannel(QRect(12, 8, 2, 200)), QRect(11, 8, 4, 200));
    const QRect channel(8, 12, 1000, 2);
    EXPECT_EQ(ThumbRectFor(channel, 5000, 0, 10000), QRect(503, 3, 11, 20));
    EXPECT_EQ(ThumbRectFor(channel, 3, 3, 3), QRect(3, 3, 11, 20));
    // With the thumb at x = 100 the fill covers x = 8 to 110.
    const QRect fill = FillRect(QRect(100, 3, 11, 20));
    EXPECT_EQ(fill.left(), 8);
    EXPECT_EQ(fill.right(), 110);
    EXPECT_EQ(fill.right(), QRect(100, 3, 11, 20).right());
}

TEST_F(TrackBarTest, ClickOnTheCurrentValueSendsNothing)
{
    slider->SetPos(50);
    QSignalSpy scroll(slider, &CEnhancedSliderCtrl::hScroll);
    Press(*slider, At(50));
    Release(*slider, At(50));
    EXPECT_TRUE(scroll.isEmpty());
}

TEST_F(TrackBarTest, DragTracksEachChangeAndEndsWithPosition)
{
    QSignalSpy scroll(slider, &CEnhancedSliderCtrl::hScroll);
    Press(*slider, At(50));
    Move(*slider, At(50));
    Move(*slider, At(60));
    Release(*slider, At(60));
    EXPECT_EQ(Received(scroll), (std::vector<Scroll>{{kTrack, 50}, {kTrack, 60}, {kPosition, 60}}));
    scroll.clear();
    Press(*slider, At(60));
    Move(*slider, At(70));
    Release(*slider, At(75));
    EXPECT_EQ(Received(scroll), (std::vector<Scroll>{{kTrack, 70}, {kTrack, 75}, {kPosition, 75}}));
}

TEST_F(TrackBarTest, PastTheEndAtTheMaximumSendsNothingMore)
{
    slider->SetPos(90);
    QSignalSpy scroll(slider, &CEnhancedSliderCtrl::hScroll);
    Press(*slider, QPoint(400, 12));
    for (int x = 410; x < 450; x += 10)
        Move(*slider, QPoint(x, 12));
    Release(*slider, QPoint(460, 12));
    EXPECT_EQ(Received(scroll), (std::vector<Scroll>{{kTrack, 100}, {kPosition, 100}}));
}

TEST_F(TrackBarTest, EndDragReportsThePositionOnlyAfterAMove)
{
    QSignalSpy scroll(slider, &CEnhancedSliderCtrl::hScroll);
    Press(*slider, At(0));
    slider->EndDrag();
    EXPECT_TRUE(scroll.isEmpty());
    Press(*slider, At(30));
    slider->EndDrag();
    slider->EndDrag();
    Release(*slider, At(80));  // the press is over: no seek
    EXPECT_EQ(Received(scroll), (std::vector<Scroll>{{kTrack, 30}, {kPosition, 30}}));
    EXPECT_EQ(slider->GetPos(), 30);
}

TEST_F(TrackBarTest, HiddenOrDisabledMidDragEndsTheDrag)
{
    for (const bool hide : {true, false}) {
        SCOPED_TRACE(hide);
        slider->SetPos(0);
        QSignalSpy scroll(slider, &CEnhancedSliderCtrl::hScroll);
        Press(*slider, At(20));
        if (hide)
            slider->hide();
        else
            slider->setEnabled(false);
        EXPECT_FALSE(slider->IsDragging());
        slider->show();
        slider->setEnabled(true);
        Move(*slider, At(40));
        Release(*slider, At(40));
        EXPECT_EQ(Received(scroll), (std::vector<Scroll>{{kTrack, 20}, {kPosition, 20}}));
    }
}

TEST_F(TrackBarTest, KeysWheelAndDisabledPressDoNothing)
{
    slider->SetPos(50);
    QSignalSpy scroll(slider, &CEnhancedSliderCtrl::hScroll);
    for (int key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_Home})
        Key(*slider, key);
    Wheel(*slider, At(50));
    slider->setEnabled(false);
    Press(*slider, At(10));
    Release(*slider, At(10));
    EXPECT_TRUE(scroll.isEmpty());
    EXPECT_EQ(slider->GetPos(), 50);
}

// Flat track-bar images: background grey, channel dark grey, thumb light,
// pressed thumb accent, fill blue.
FakeImageSource TrackBarImages(int channel, int thumb, int pressedThumb, int fill)
{
    FakeImageSource images;
    images.AddBitmap(107, Flat(QSize(1065, 55), QColor(80, 80, 80)));
    images.AddBitmap(channel, Flat(QSize(16, 6), QColor(60, 60, 60)));
    images.AddBitmap(thumb, Flat(QSize(11, 20), QColor(200, 200, 200)));
    images.AddBitmap(pressedThumb, Flat(QSize(11, 20), QColor(255, 165, 0)));
    images.AddBitmap(fill, Flat(QSize(3, 6), QColor(0, 0, 255)));
    return images;
}

TEST(SkinnedTrackBarTest, PositionSliderDrawsFillAndThumb)
{
    const FakeImageSource images = TrackBarImages(170, 171, 172, 167);
    GreenParent parent;
    CMySliderControl slider(170, 171, 172, 167, true, &parent, images);
    slider.resize(216, 26);
    slider.SetRange(0, 100);
    slider.SetPos(50);
    parent.show();
    EXPECT_EQ(images.BitmapRequests(), (std::vector<int>{107, 170, 171, 172, 167}));

    QImage shown = Grab(parent);
    EXPECT_EQ(shown.pixel(2, 2), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(50, 12), qRgb(0, 0, 255));
    EXPECT_EQ(shown.pixel(150, 12), qRgb(60, 60, 60));
    const QRect thumb = slider.ThumbRect();
    EXPECT_EQ(shown.pixel(thumb.topLeft()), qRgb(200, 200, 200));
    EXPECT_EQ(shown.pixel(thumb.bottomRight()), qRgb(200, 200, 200));

    Press(slider, At(50));
    shown = Grab(parent);
    EXPECT_EQ(shown.pixel(thumb.center()), qRgb(255, 165, 0));
    Release(slider, At(50));
    EXPECT_EQ(Grab(parent).pixel(thumb.center()), qRgb(200, 200, 200));
}

TEST(SkinnedTrackBarTest, SpeedSliderShowsThePlayerBackground)
{
    const FakeImageSource images = TrackBarImages(173, 168, 169, 167);
    GreenParent parent;
    CMySliderControl slider(173, 168, 169, 0, false, &parent, images);
    slider.resize(216, 26);
    parent.show();
    EXPECT_EQ(images.BitmapRequests(), (std::vector<int>{107, 173, 168, 169}));
    const QImage shown = Grab(parent);
    EXPECT_EQ(shown.pixel(2, 2), qRgb(80, 80, 80));
    EXPECT_EQ(shown.pixel(87, 22), qRgb(80, 80, 80));
    EXPECT_EQ(shown.pixel(100, 12), qRgb(60, 60, 60));
}
