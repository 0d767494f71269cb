// Without the resource module every image request fails, is logged once,
// and every control still paints.

#include "ControlsTestSupport.h"
#include "SkinSupport.h"
#include "controls/CBitmapSlider.h"
#include "controls/CButtonStyle.h"
#include "controls/CMyBitmapButton.h"
#include "controls/CMySliderControl.h"
#include "controls/CPicture.h"
#include "core/Logger.h"
#include "support/TestSupport.h"

#include <QFile>

using namespace controlstest;

namespace {

int LinesWith(const QByteArray& log, const char* text)
{
    int count = 0;
    for (const QByteArray& line : log.split('\n'))
        count += line.contains(text);
    return count;
}

}  // namespace

TEST(MissingModuleTest, LoadersFailAndControlsPaintNothing)
{
    testsupport::ScopedWorkingFolder folder;
    ScopedSkinModule module({folder.Path()});
    Logger& logger = Logger::GetInstance();
    logger.SetType(3);
    logger.SetLevel(3);
    logger.SetEnabled(true);

    GreenParent parent(QSize(400, 200));
    CBitmapSlider slider(&parent);
    slider.setGeometry(0, 0, 70, 21);
    EXPECT_FALSE(slider.LoadChannelBitmaps());
    CButtonStyle button(&parent);
    button.setGeometry(100, 0, 32, 32);
    button.SetBackgroundBitmap(107);
    button.SetIcons(212, 213, 215);
    CMyBitmapButton filter(&parent);
    filter.setGeometry(150, 0, 43, 21);
    EXPECT_FALSE(filter.LoadBitmaps(139, 140, 139, 142));
    CMySliderControl position(170, 171, 172, 167, true, &parent);
    position.setGeometry(0, 100, 400, 25);
    CPicture picture(&parent);
    picture.setGeometry(250, 0, 124, 38);
    picture.SetBitmap(ImageSource::Resources().Bitmap(174));
    parent.show();

    const QImage shown = Grab(parent);
    for (const QWidget* control : {static_cast<QWidget*>(&slider), static_cast<QWidget*>(&button),
                                   static_cast<QWidget*>(&filter), static_cast<QWidget*>(&picture)}) {
        const QRect area = control->geometry();
        EXPECT_EQ(shown.pixel(area.topLeft()), Green());
        EXPECT_EQ(shown.pixel(area.center()), Green());
    }
    EXPECT_EQ(shown.pixel(200, 112), qRgb(0, 0, 0));  // the position slider's own black field

    logger.SetEnabled(false);
    QFile file(logger.GetLogFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray log = file.readAll();
    EXPECT_EQ(LinesWith(log, "Bitmap NULL"), 1 + 1 + 1 + 5 + 1);
    EXPECT_EQ(LinesWith(log, "ICon NULL"), 3);
}
