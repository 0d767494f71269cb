// The screenshot support itself: where pictures go and which names it takes.

#include "support/TestSupport.h"
#include "support/gui/Screenshot.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

TEST(Screenshot, WritesTheWidgetAsAPngNamedInTheFolder)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/shots";
    testsupport::ScopedEnv env("KESTROV_SCREENSHOT_DIR", folder);
    QWidget widget;
    widget.resize(300, 200);
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, QColor(10, 200, 30));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);

    ASSERT_TRUE(testsupport::SaveScreenshot(widget, "plain-300x200"));
    const QImage saved(folder + "/plain-300x200.png");
    EXPECT_EQ(saved.size(), QSize(300, 200));
    EXPECT_EQ(saved.pixel(150, 100), qRgb(10, 200, 30));

    bool written = true;
    EXPECT_NONFATAL_FAILURE(written = testsupport::SaveScreenshot(widget, "../x"), "../x");
    EXPECT_FALSE(written);
    EXPECT_NONFATAL_FAILURE(testsupport::SaveScreenshot(widget, "Upper"), "Upper");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"plain-300x200.png"});
    EXPECT_FALSE(QFile::exists(dir.path() + "/x.png"));
}

TEST(Screenshot, AFailedWriteFailsTheTest)
{
    QTemporaryDir dir;
    QFile blocker(dir.path() + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    testsupport::ScopedEnv env("KESTROV_SCREENSHOT_DIR", dir.path() + "/file/shots");
    QWidget widget;
    widget.resize(10, 10);
    EXPECT_NONFATAL_FAILURE(testsupport::SaveScreenshot(widget, "blocked"), "cannot write");
}

}  // namespace
