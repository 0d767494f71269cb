#include "RealComponents.h"
#include "playback/MplayerControl.h"
#include "support/ChildWatch.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

using realcheck::Colour;
using realcheck::Describe;
using realcheck::Is;
using testsupport::ProcessState;
using testsupport::WaitUntil;

TEST(RealMplayer, ShowsAndSeeksThePreview)
{
    KESTROV_REQUIRE_FIXTURE();
    KESTROV_REQUIRE_REAL_OR_SKIP(QGuiApplication::platformName() == "xcb", "no X server (is xvfb-run installed?)");
    KESTROV_REQUIRE_REAL_OR_SKIP(!QStandardPaths::findExecutable("mplayer").isEmpty(), "mplayer is not installed");

    QWidget preview;
    preview.setAttribute(Qt::WA_NativeWindow);
    QPalette palette;
    palette.setColor(QPalette::Window, Qt::black);
    preview.setPalette(palette);
    preview.setAutoFillBackground(true);
    preview.resize(640, 360);
    preview.show();
    ASSERT_TRUE(WaitUntil([&] { return preview.isVisible(); }, 5000));
    QApplication::processEvents();

    auto centre = [&] {
        QApplication::processEvents();
        return preview.screen()->grabWindow(preview.winId()).toImage().pixel(320, 180);
    };
    EXPECT_TRUE(Is(centre(), Colour::Red) == false);

    MplayerControl control;
    control.SetVideoWindow(preview.winId());
    control.Launch(TWO_CHANNEL_AVI, "00:00:00", 10, true);
    const qint64 pid = control.ProcessId();
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(control.SendCommand("pause"));
    EXPECT_TRUE(WaitUntil([&] { return Is(centre(), Colour::Red); }, 5000)) << Describe(centre());
    EXPECT_TRUE(control.Seek(3.0));
    EXPECT_TRUE(WaitUntil([&] { return Is(centre(), Colour::Green); }, 5000)) << Describe(centre());
    control.Stop();
    EXPECT_EQ(ProcessState(pid), 0);
}

}  // namespace
