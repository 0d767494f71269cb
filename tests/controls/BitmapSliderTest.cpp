#include "ControlsTestSupport.h"
#include "controls/CBitmapSlider.h"

#include <QSignalSpy>

using namespace controlstest;

namespace {

const QColor kKey(255, 0, 255);
const QColor kEmpty(80, 80, 80);
const QColor kFilled(255, 165, 0);

// A slider of `width` over a green parent: background a gradient, channels
// body-coloured on rows 5-14 with key rows above and below.
class BitmapSliderTest : public ::testing::Test {
protected:
    void Build(int width)
    {
        images.AddBitmap(107, Gradient(QSize(300, 60)));
        images.AddBitmap(186, Banded(QSize(width, 20), kKey, kEmpty, 5, 15));
        images.AddBitmap(185, Banded(QSize(width, 20), kKey, kFilled, 5, 15));
        slider = std::make_unique<CBitmapSlider>(&parent, images);
        slider->SetControlId(32782);
        ASSERT_TRUE(slider->LoadChannelBitmaps());
        parent.show();
    }

    using Signal = std::pair<int, int>;
    static std::vector<Signal> Received(QSignalSpy& spy)
    {
        std::vector<Signal> result;
        for (const auto& args : spy)
            result.push_back({args.at(0).toInt(), args.at(1).toInt()});
        return result;
    }

    GreenParent parent{QSize(300, 60)};
    FakeImageSource images;
    std::unique_ptr<CBitmapSlider> slider;
};

}  // namespace

TEST(SliderMappingTest, PositionAndPixel)
{
    struct Case {
        SliderMapping m;
        int pos, pixel;  // PosToPixel(pos) = pixel
        int x, posAtX;   // PixelToPos(x) = posAtX
    };
    const Case cases[] = {
        {{200, 0, 0, 0, 100}, 25, 50, 50, 25},
        {{200, 5, 5, 0, 100}, 50, 100, 100, 50},
        {{200, 5, 5, 0, 100}, 0, 5, 4, 0},       // truncated toward zero
        {{200, 5, 5, 50, 50}, 50, 5, 120, 50},   // empty range: no division by zero
        {{10, 5, 5, 0, 100}, 40, 5, 7, 0},       // no usable length
        {{0, 5, 5, 20, 100}, 60, 0, 3, 20},      // before the images: negative length
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.m.width << " " << c.m.marginLeft << " " << c.m.rangeMin);
        EXPECT_EQ(PosToPixel(c.m, c.pos), c.pixel);
        EXPECT_EQ(PixelToPos(c.m, c.x), c.posAtX);
    }
}

TEST_F(BitmapSliderTest, ClickSetsPositionAndReleaseReportsIt)
{
    Build(200);
    QSignalSpy changing(slider.get(), &CBitmapSlider::positionChanging);
    QSignalSpy changed(slider.get(), &CBitmapSlider::positionChanged);
    Press(*slider, QPoint(50, 10));
    EXPECT_EQ(slider->GetPos(), 25);
    EXPECT_EQ(Received(changing), (std::vector<Signal>{{32782, 25}}));
    EXPECT_TRUE(changed.isEmpty());
    Release(*slider, QPoint(50, 10));
    EXPECT_EQ(Received(changed), (std::vector<Signal>{{32782, 25}}));
}

TEST_F(BitmapSliderTest, DragStopsAtTheEnds)
{
    Build(200);
    QSignalSpy changing(slider.get(), &CBitmapSlider::positionChanging);
    Press(*slider, QPoint(100, 10));
    Move(*slider, QPoint(400, 10));
    EXPECT_EQ(slider->GetPos(), 100);
    Move(*slider, QPoint(500, 10));  // already at the end: nothing new
    Move(*slider, QPoint(-50, 10));
    EXPECT_EQ(slider->GetPos(), 0);
    EXPECT_EQ(Received(changing), (std::vector<Signal>{{32782, 50}, {32782, 100}, {32782, 0}}));
}

TEST_F(BitmapSliderTest, PressOnThePositionsPixelChangesNothing)
{
    Build(200);
    slider->SetPos(30);
    QSignalSpy changing(slider.get(), &CBitmapSlider::positionChanging);
    QSignalSpy changed(slider.get(), &CBitmapSlider::positionChanged);
    Press(*slider, QPoint(slider->PosToPixel(30), 10));
    EXPECT_TRUE(changing.isEmpty());
    Release(*slider, QPoint(slider->PosToPixel(30), 10));
    EXPECT_EQ(Received(changed), (std::vector<Signal>{{32782, 30}}));
}

TEST_F(BitmapSliderTest, KeysReportThePositionAndMoveNothing)
{
    Build(200);
    slider->SetPos(40);
    QSignalSpy changed(slider.get(), &CBitmapSlider::positionChanged);
    Key(*slider, Qt::Key_Right);
    Key(*slider, Qt::Key_Right, Qt::NoModifier, true);
    Key(*slider, Qt::Key_Shift, Qt::ShiftModifier);
    EXPECT_EQ(Received(changed), (std::vector<Signal>{{32782, 40}, {32782, 40}, {32782, 40}}));
    changed.clear();
    Key(*slider, Qt::Key_Tab);
    Key(*slider, Qt::Key_Backtab, Qt::ShiftModifier);
    Key(*slider, Qt::Key_X, Qt::AltModifier);
    EXPECT_TRUE(changed.isEmpty());
    EXPECT_EQ(slider->GetPos(), 40);
}

TEST_F(BitmapSliderTest, SetPosKeepsWithinTheRange)
{
    Build(200);
    slider->SetPos(150);
    EXPECT_EQ(slider->GetPos(), 100);
    slider->SetPos(-5);
    EXPECT_EQ(slider->GetPos(), 0);
}

TEST_F(BitmapSliderTest, HiddenMidPressEndsThePressOnce)
{
    Build(200);
    QSignalSpy changing(slider.get(), &CBitmapSlider::positionChanging);
    QSignalSpy changed(slider.get(), &CBitmapSlider::positionChanged);
    Press(*slider, QPoint(50, 10));
    slider->hide();
    EXPECT_EQ(Received(changed), (std::vector<Signal>{{32782, 25}}));
    slider->show();
    Move(*slider, QPoint(150, 10));
    Release(*slider, QPoint(150, 10));
    EXPECT_EQ(slider->GetPos(), 25);
    EXPECT_EQ(changing.size(), 1);
    EXPECT_EQ(changed.size(), 1);
}

TEST_F(BitmapSliderTest, DrawsFilledUpToThePositionOverTheBackground)
{
    Build(80);
    slider->move(10, 20);
    slider->SetPos(25);
    slider->update();
    const QImage shown = Grab(parent);
    const auto at = [&](int x, int y) { return shown.pixel(10 + x, 20 + y); };
    EXPECT_EQ(at(0, 10), kFilled.rgb());
    EXPECT_EQ(at(19, 10), kFilled.rgb());
    EXPECT_EQ(at(20, 10), kEmpty.rgb());
    EXPECT_EQ(at(79, 10), kEmpty.rgb());
    for (const QPoint key : {QPoint(0, 0), QPoint(10, 2), QPoint(40, 17), QPoint(73, 19)})
        EXPECT_EQ(at(key.x(), key.y()), GradientAt(50 + key.x(), 13 + key.y())) << key.x() << "," << key.y();
}

TEST(BitmapSliderLoadTest, StopsAtTheFirstMissingImage)
{
    GreenParent parent;
    FakeImageSource noBackground;
    noBackground.AddBitmap(186, Flat(QSize(70, 21), kKey));
    CBitmapSlider first(&parent, noBackground);
    first.resize(33, 7);
    EXPECT_FALSE(first.LoadChannelBitmaps());
    EXPECT_EQ(noBackground.BitmapRequests(), std::vector<int>{107});
    EXPECT_EQ(first.size(), QSize(33, 7));

    // A later load without 185 releases the channel: only the background is drawn.
    FakeImageSource images;
    images.AddBitmap(107, Flat(QSize(200, 60), Qt::blue));
    images.AddBitmap(186, Banded(QSize(70, 21), kKey, kEmpty, 5, 15));
    images.AddBitmap(185, Banded(QSize(70, 21), kKey, kFilled, 5, 15));
    CBitmapSlider second(&parent, images);
    ASSERT_TRUE(second.LoadChannelBitmaps());
    parent.show();
    EXPECT_EQ(Grab(parent).pixel(60, 10), kEmpty.rgb());
    FakeImageSource without185;
    without185.AddBitmap(107, Flat(QSize(200, 60), Qt::blue));
    without185.AddBitmap(186, Banded(QSize(70, 21), kKey, kEmpty, 5, 15));
    EXPECT_FALSE(second.LoadChannelBitmaps(without185.Bitmap(107), without185.Bitmap(186), without185.Bitmap(185)));
    EXPECT_EQ(Grab(parent).pixel(60, 10), QColor(Qt::blue).rgb());
}
