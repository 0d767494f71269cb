// The cut dialog's previews with the real player in a virtual X server: the
// start shows the first frame, the end the frame a second before the end, a
// release seeks, and Cancel leaves no player behind.

#include "CutReportFixtures.h"
#include "playback/RealComponents.h"
#include "support/ChildWatch.h"
#include "support/gui/Screenshot.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <algorithm>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using namespace cuttest;
using realcheck::Colour;
using realcheck::Describe;
using realcheck::Is;
using testsupport::ProcessState;
using testsupport::WaitUntil;

// This process's children, by /proc.
std::vector<qint64> Children()
{
    std::vector<qint64> children;
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        QFile stat("/proc/" + entry + "/stat");
        if (!number || !stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QByteArray text = stat.readAll();
        // "pid (name) S ppid ...": the name may hold blanks and parentheses.
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1].toLongLong() == ::getpid()) {
            children.push_back(pid);
        }
    }
    return children;
}

QRgb Centre(QWidget* preview)
{
    QApplication::processEvents();
    const QImage image = preview->screen()->grabWindow(preview->winId()).toImage();
    return image.pixel(image.width() / 2, image.height() / 2);
}

TEST(CutDialogScreenshots, RealPreviewsShowAndSeek)
{
    KESTROV_REQUIRE_FIXTURE();
    KESTROV_REQUIRE_REAL_OR_SKIP(QGuiApplication::platformName() == "xcb", "no X server (is xvfb-run installed?)");
    KESTROV_REQUIRE_REAL_OR_SKIP(!QStandardPaths::findExecutable("mplayer").isEmpty(), "mplayer is not installed");

    auto hub = MakeHub();
    // The recording: 4 s, the front red, green from 2 s.
    CSaveVideoDialog dialog(nullptr, *hub);
    dialog.recording = MakeEntry(TWO_CHANNEL_AVI, 4);
    const std::vector<qint64> before = Children();
    dialog.show();
    ASSERT_TRUE(WaitUntil([&] { return dialog.isVisible(); }, 5000));
    QWidget* start = dialog.Controls().Widget(static_cast<int>(CutDialogControl::StartPreview));
    QWidget* end = dialog.Controls().Widget(static_cast<int>(CutDialogControl::EndPreview));

    EXPECT_TRUE(WaitUntil([&] { return Is(Centre(start), Colour::Red); }, 5000)) << Describe(Centre(start));
    EXPECT_TRUE(WaitUntil([&] { return Is(Centre(end), Colour::Green); }, 5000)) << Describe(Centre(end));
    std::vector<qint64> players = Children();
    std::erase_if(players, [&](qint64 pid) { return std::count(before.begin(), before.end(), pid) > 0; });
    EXPECT_EQ(players.size(), 2u);

    // The dialog as it stands on the screen, previews in.
    const QImage picture = dialog.screen()->grabWindow(dialog.winId()).toImage();
    EXPECT_TRUE(testsupport::SaveScreenshot(picture, "cut-dialog"));

    DragTo(*Slider(dialog, CutDialogControl::StartSlider), 3);
    EXPECT_EQ(dialog.GetStartTime(), "00:00:03");
    EXPECT_TRUE(WaitUntil([&] { return Is(Centre(start), Colour::Green); }, 5000)) << Describe(Centre(start));

    dialog.Controls().Get<QPushButton>(static_cast<int>(CutDialogControl::Cancel))->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    for (qint64 pid : players) {
        EXPECT_EQ(ProcessState(pid), 0) << pid << " still there or a zombie";
    }
}

}  // namespace
