// A press whose release never comes, because a box deactivated the window,
// ends as a release without a new point in every control that tracks one.

#include "ControlsTestSupport.h"
#include "controls/CBitmapSlider.h"
#include "controls/CButtonStyle.h"
#include "controls/CEnhancedSliderCtrl.h"

#include <QApplication>
#include <QSignalSpy>

using namespace controlstest;

namespace {

class PressEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent.show();
        QApplication::setActiveWindow(&parent);
        ASSERT_TRUE(parent.isActiveWindow());
    }
    void Deactivate() { QApplication::setActiveWindow(nullptr); }

    GreenParent parent;
    FakeImageSource images;
};

}  // namespace

TEST_F(PressEndTest, TrackBarEndsItsDrag)
{
    CEnhancedSliderCtrl slider(&parent);
    slider.resize(216, 26);
    slider.show();
    QSignalSpy scroll(&slider, &CEnhancedSliderCtrl::hScroll);
    Press(slider, QPoint(48, 12));
    Deactivate();
    Move(slider, QPoint(148, 12));
    EXPECT_EQ(scroll.size(), 2);
    EXPECT_EQ(scroll.last().at(0).toInt(), CEnhancedSliderCtrl::SB_THUMBPOSITION);
    EXPECT_EQ(slider.GetPos(), 20);
}

TEST_F(PressEndTest, BitmapSliderReportsOnce)
{
    images.AddBitmap(107, Flat(QSize(300, 60), Qt::blue));
    images.AddBitmap(186, Banded(QSize(200, 20), Qt::magenta, Qt::gray, 5, 15));
    images.AddBitmap(185, Banded(QSize(200, 20), Qt::magenta, Qt::yellow, 5, 15));
    CBitmapSlider slider(&parent, images);
    ASSERT_TRUE(slider.LoadChannelBitmaps());
    slider.show();
    QSignalSpy changed(&slider, &CBitmapSlider::positionChanged);
    Press(slider, QPoint(50, 10));
    Deactivate();
    Move(slider, QPoint(150, 10));
    EXPECT_EQ(changed.size(), 1);
    EXPECT_EQ(slider.GetPos(), 25);
}

TEST_F(PressEndTest, IconButtonReturnsToNormal)
{
    CButtonStyle button(&parent, images);
    button.resize(32, 32);
    button.show();
    Press(button, QPoint(5, 5));
    Deactivate();
    EXPECT_EQ(button.state(), CButtonStyle::Normal);
}
