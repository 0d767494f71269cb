// The cut dialog's two previews against the stub player: their command
// lines, the seeks each release sends to its own child, and no child left
// behind whichever way the dialog closes.

#include "CutReportFixtures.h"
#include "platform/widgets/ChooseFolder.h"
#include "playback/MplayerControl.h"
#include "support/ChildWatch.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <functional>
#include <map>

namespace {

using namespace cuttest;
using testsupport::ProcessState;
using testsupport::ScopedEnv;
using testsupport::StubPlayerPath;
using testsupport::WaitUntil;

constexpr unsigned long long kStartWindow = 1234;
constexpr unsigned long long kEndWindow = 5678;

QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One stub child: what it was started with and what it was told.
struct Child {
    qint64 pid = 0;
    QByteArrayList argv;
    QString stdinPath;
    QByteArray Received() const { return Read(stdinPath); }
};

class CutPreviewTest : public testing::Test {
protected:
    QTemporaryDir dir;
    QTemporaryDir stubDir;
    ScopedEnv stubEnv{"STUB_DIR", stubDir.path()};
    ScopedEnv argvEnv{"STUB_ARGV", std::nullopt};
    ScopedEnv floodEnv{"STUB_FLOOD", std::nullopt};
    ScopedEnv modeEnv{"STUB_MODE", std::nullopt};
    std::unique_ptr<ApplicationHub> hub = MakeHub();
    ScopedRecordingNotifier boxes;
    QString recording = dir.path() + "/REC_0001.avi";

    std::unique_ptr<CSaveVideoDialog> Shown(int duration)
    {
        CutDialogSeams seams;
        seams.previewWindowId = [](QWidget* preview) {
            return preview->objectName() == "1082" ? kStartWindow : kEndWindow;
        };
        seams.playerPath = StubPlayerPath();
        auto dialog = std::make_unique<CSaveVideoDialog>(nullptr, *hub, seams);
        dialog->recording = MakeEntry(recording, duration);
        dialog->show();
        return dialog;
    }

    // The two children by the window they draw into, once both have started.
    std::map<unsigned long long, Child> Children()
    {
        std::map<unsigned long long, Child> children;
        const bool started = WaitUntil(
            [&] { return QDir(stubDir.path()).entryList({"*.argv"}, QDir::Files).size() == 2; }, 5000);
        EXPECT_TRUE(started) << "both previews start";
        for (const QString& name : QDir(stubDir.path()).entryList({"*.argv"}, QDir::Files)) {
            Child child;
            child.pid = name.section('.', 0, 0).toLongLong();
            child.argv = Read(stubDir.path() + "/" + name).split('\0');
            child.argv.removeLast();
            child.stdinPath = stubDir.path() + "/" + name.section('.', 0, 0) + ".stdin";
            const qsizetype wid = child.argv.indexOf("-wid");
            EXPECT_GE(wid, 0);
            children[child.argv.value(wid + 1).toULongLong()] = child;
        }
        return children;
    }

    static QByteArrayList Expected(unsigned long long window, const QString& file, const QString& start)
    {
        QByteArrayList argv = {StubPlayerPath().toUtf8()};
        for (const QString& argument :
             MplayerControl::MakeLaunchArguments(MplayerControl::MakeBaseArguments(window), file, start, 10)) {
            argv << argument.toUtf8();
        }
        return argv;
    }
};

TEST_F(CutPreviewTest, EachPreviewStartsPausedAtItsSecond)
{
    auto dialog = Shown(59);
    auto children = Children();
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children[kStartWindow].argv, Expected(kStartWindow, recording, "00:00:00"));
    EXPECT_EQ(children[kEndWindow].argv, Expected(kEndWindow, recording, "58"));
    for (auto& [window, child] : children) {
        EXPECT_TRUE(WaitUntil([&] { return child.Received() == "pause\n"; }, 5000)) << window;
    }
}

TEST_F(CutPreviewTest, EachReleaseSeeksItsOwnPreview)
{
    auto dialog = Shown(100);
    auto children = Children();
    DragTo(*Slider(*dialog, CutDialogControl::StartSlider), 10);
    DragTo(*Slider(*dialog, CutDialogControl::EndSlider), 70);
    Child& start = children[kStartWindow];
    Child& end = children[kEndWindow];
    EXPECT_TRUE(WaitUntil([&] { return start.Received() == "pause\npausing seek 10.0 2\n"; }, 5000))
        << start.Received().toStdString();
    EXPECT_TRUE(WaitUntil([&] { return end.Received() == "pause\npausing seek 69.0 2\n"; }, 5000))
        << end.Received().toStdString();
}

TEST_F(CutPreviewTest, NoDurationNeverSeeksBeforeTheStart)
{
    auto dialog = Shown(0);
    auto children = Children();
    EXPECT_EQ(children[kEndWindow].argv, Expected(kEndWindow, recording, "0"));
    DragTo(*Slider(*dialog, CutDialogControl::EndSlider), 0);
    Child& end = children[kEndWindow];
    EXPECT_TRUE(WaitUntil([&] { return end.Received() == "pause\npausing seek 0.0 2\n"; }, 5000))
        << end.Received().toStdString();
}

TEST_F(CutPreviewTest, SeeksArriveWhileThePlayersFloodTheirOutput)
{
    ScopedEnv flood("STUB_FLOOD", QString::number(1 << 20));
    auto dialog = Shown(100);
    auto children = Children();
    DragTo(*Slider(*dialog, CutDialogControl::StartSlider), 40);
    Child& start = children[kStartWindow];
    EXPECT_TRUE(WaitUntil([&] { return start.Received() == "pause\npausing seek 40.0 2\n"; }, 5000))
        << start.Received().toStdString();
}

TEST_F(CutPreviewTest, EveryWayOfClosingReapsBothPlayers)
{
    const QString folder = dir.path();
    platform::ScopedFolderChooser chooser([&](QWidget*, const QString&, const QString&) { return folder; });
    const std::pair<const char*, std::function<void(CSaveVideoDialog&)>> ways[] = {
        {"save", [](CSaveVideoDialog& d) { d.Controls().Get<QPushButton>(1058)->click(); }},
        {"cancel", [](CSaveVideoDialog& d) { d.Controls().Get<QPushButton>(1059)->click(); }},
        {"escape", [](CSaveVideoDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        {"close box", [](CSaveVideoDialog& d) { d.close(); }},
    };
    for (const auto& [way, close] : ways) {
        SCOPED_TRACE(way);
        for (const QString& name : QDir(stubDir.path()).entryList(QDir::Files)) {
            QFile::remove(stubDir.path() + "/" + name);
        }
        auto dialog = Shown(59);
        auto children = Children();
        ASSERT_EQ(children.size(), 2u);
        close(*dialog);
        EXPECT_FALSE(dialog->isVisible());
        for (const auto& [window, child] : children) {
            EXPECT_EQ(ProcessState(child.pid), 0) << window << " still there or a zombie";
        }
    }
}

}  // namespace
