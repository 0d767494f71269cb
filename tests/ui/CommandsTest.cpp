// The main window's commands against fake panes and dialogs, its own hub,
// a fixed clock and real option.ini: capture, cut (the real cutter), the
// report, settings, the full view and the about box.

#include "ui/MainWindowFixtures.h"

#include "controls/CButtonStyle.h"
#include "controls/CMyBitmapButton.h"
#include "core/Common.h"
#include "core/Logger.h"
#include "hub/HubCodes.h"
#include "recordings/AVIFileParser.h"
#include "recordings/AviSegmentCutterPlan.h"
#include "support/AviFixtureBuilder.h"
#include "support/FileFixtures.h"
#include "support/gui/NextModal.h"
#include "support/gui/Screenshot.h"
#include "ui/CAbout.h"
#include "ui/CommandText.h"
#include "ui/PrintReportData.h"

#include <QDir>
#include <QKeyEvent>

#include <cerrno>
#include <thread>

namespace uitest {
namespace {

constexpr int kMarker = 101;

class CommandsTest : public MainWindowTest {
protected:
    ~CommandsTest() override
    {
        for (std::thread& writer : writers)
            writer.join();
    }

    // Open with logging on and the save folder given.
    void OpenLogging(const QByteArray& moreOptions = {})
    {
        save = work.Path() + QStringLiteral("/save");
        QDir().mkpath(save);
        WriteOptions("[OPTION]\r\nUSE_LOG=TRUE\r\nSAVE_DIRECTORY=" + save.toUtf8() + "\r\n" + moreOptions);
        Open();
    }

    // Waits until everything posted so far has reached the list, then gives
    // its codes since the last call.
    std::vector<int> PostedSinceLastLook()
    {
        hub->Post(kMarker);
        const int target = ++markers;
        EXPECT_TRUE(Eventually([&] { return Delivered("list", kMarker, target); }));
        std::vector<int> codes = CodesOf("list");
        std::vector<int> fresh(codes.begin() + std::ptrdiff_t(looked), codes.end() - 1);
        looked = codes.size();
        return fresh;
    }

    std::shared_ptr<RecordingEntry> Current(int streams = 1)
    {
        auto entry = entries.Make(RECORDING_EVENT, QStringLiteral("2013-10-16"), QStringLiteral("09:05:07"));
        entry->fileName = QStringLiteral("clip.avi");
        entry->videoStreamCount = streams;
        entry->duration = 10;
        hub->SetVideoFiles({entry});
        return entry;
    }

    // The payload of the last delivery of code to the list.
    MessageParam LastPayload(int code)
    {
        MessageParam payload;
        for (const hubtest::Delivery& delivery : journal.Entries()) {
            if (delivery.listener == "list" && delivery.code == code)
                payload = delivery.payload;
        }
        return payload;
    }

    int LogCount(const char* message) { return LogText().count(QString::fromUtf8(message)); }

    void KeyTo(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = {})
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(widget, &press);
    }

    QString save;
    int markers = 0;
    std::size_t looked = 0;
    std::vector<std::thread> writers;
};

QByteArray Png(QColor colour)
{
    return testsupport::PngOf(QSize(32, 18), colour);
}

// ---- Capture ----

TEST_F(CommandsTest, CapturePausesThenAsksForBothChannelsInTheCaptureFolder)
{
    OpenLogging();
    PostedSinceLastLook();
    window->OnBnClickedVideoCaptureBtn();
    EXPECT_TRUE(PostedSinceLastLook().empty()) << "no entry: nothing posted";
    EXPECT_EQ(LogCount("Video Capture Button Click"), 1);
    EXPECT_EQ(LogCount("Video Capture end"), 0);

    Current();
    window->EnableCaptureButtons(true);
    window->ToolbarButton(MainWindowId::CaptureButton)->click();
    EXPECT_EQ(PostedSinceLastLook(), (std::vector<int>{VIDEO_PAUSE, CAPTURE_VIDEO_SNAPSHOT}));
    const QString folder = save + QStringLiteral("/CAM_CAPTURE");
    const MessageParam sent = LastPayload(CAPTURE_VIDEO_SNAPSHOT);
    EXPECT_EQ(sent.snapshotPath, folder + QStringLiteral("/clip-2013-10-16-09h05m07s42.png"));
    EXPECT_EQ(sent.snapshotFolder, folder);
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(LogCount("Video Capture end"), 1);

    // A file in the folder's place: the snapshot is asked for all the same.
    ASSERT_TRUE(QDir(folder).removeRecursively());
    testsupport::WriteFileBytes(folder, "a file");
    window->OnBnClickedVideoCaptureBtn();
    EXPECT_EQ(PostedSinceLastLook(), (std::vector<int>{VIDEO_PAUSE, CAPTURE_VIDEO_SNAPSHOT}));
    EXPECT_EQ(testsupport::ReadFileBytes(folder), "a file");
}

// ---- Cut ----

TEST_F(CommandsTest, CutTakesTheChosenTimesIntoTheChosenFolderAndOffersToOpenIt)
{
    // An hour at one frame a second, a key frame every five.
    testsupport::AviFixtureOptions hour;
    hour.seconds = 3601;
    hour.gop = 5;
    for (int stream : {0, 1}) {
        hour.streams[stream].rate = 1000;
        hour.streams[stream].scale = 1000;
    }
    hour.motionPerSecond = 1;
    const QString source = work.Path() + QStringLiteral("/20130405_120000_EVT.avi");
    testsupport::AviFixtureBuilder(hour).Write(source);
    OpenLogging();
    const std::shared_ptr<RecordingEntry> entry = Current();
    entry->path = source;
    const QString out = work.Path() + QStringLiteral("/Видео");
    ASSERT_TRUE(QDir().mkpath(out));
    PostedSinceLastLook();

    dialogs.cutAnswer = CutChoice{QStringLiteral("clip_copy(1).avi"), out, QStringLiteral("00:01:05"),
                                  QStringLiteral("01:00:00")};
    notifier.ScriptAnswers({UserNotifier::Button::No});
    window->OnBnClickedVideoRecordBtn();
    EXPECT_EQ(PostedSinceLastLook(), std::vector<int>{VIDEO_PAUSE});
    ASSERT_EQ(dialogs.cutEntries.size(), 1u);
    EXPECT_EQ(dialogs.cutEntries[0], entry);
    const QString cut = out + QStringLiteral("/clip_copy(1).avi");
    AVIFileParser sourceParser, cutParser;
    ASSERT_TRUE(sourceParser.Open(source));
    ASSERT_TRUE(cutParser.Open(cut));
    const std::optional<AviSegmentCutter::CutPlan> plan = AviSegmentCutter::CutFrames(sourceParser, 65, 3600);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->s, 65u) << "from the key frame at 65 s";
    EXPECT_EQ(plan->e, 3600u);
    EXPECT_EQ(cutParser.GetIndexEntries("00dc").size(), plan->e - plan->s);

    std::vector<RecordingNotifier::Box> boxes = notifier.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, RecordingNotifier::Kind::Asked);
    EXPECT_EQ(boxes[0].text, cut + Common::GetResourceString(256));
    EXPECT_EQ(boxes[0].buttons, UserNotifier::Button::Yes | UserNotifier::Button::No);
    EXPECT_EQ(boxes[0].defaultButton, UserNotifier::Button::Yes);
    EXPECT_TRUE(openedFolders.isEmpty()) << "No opens nothing";
    EXPECT_EQ(LogCount("Video Record end"), 1);

    // Yes opens exactly that folder; a folder that does not open says so.
    dialogs.cutAnswer->outputFileName = QStringLiteral("clip_copy(2).avi");
    notifier.ScriptAnswers({UserNotifier::Button::Yes});
    window->OnBnClickedVideoRecordBtn();
    EXPECT_EQ(openedFolders, QStringList{out});
    dialogs.cutAnswer->outputFileName = QStringLiteral("clip_copy(3).avi");
    openFolderAnswer = false;
    notifier.Clear();
    notifier.ScriptAnswers({UserNotifier::Button::Yes});
    window->OnBnClickedVideoRecordBtn();
    boxes = notifier.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].kind, RecordingNotifier::Kind::Message);
    EXPECT_EQ(boxes[1].text, QStringLiteral("Не удалось открыть папку.\n") + out);

    // A name taken meanwhile: the failure box, the file left alone, no end line.
    const QByteArray firstCut = testsupport::ReadFileBytes(cut);
    dialogs.cutAnswer->outputFileName = QStringLiteral("clip_copy(1).avi");
    notifier.Clear();
    window->OnBnClickedVideoRecordBtn();
    boxes = notifier.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, RecordingNotifier::Kind::Message);
    EXPECT_EQ(boxes[0].text, QStringLiteral("??? Сохранить?? ??????."));
    EXPECT_EQ(testsupport::ReadFileBytes(cut), firstCut);
    EXPECT_EQ(LogCount("Video Record Button Click"), 4);
    EXPECT_EQ(LogCount("Video Record end"), 3);

    // A cancel, and no entry: paused, nothing cut.
    dialogs.cutAnswer.reset();
    PostedSinceLastLook();
    window->OnBnClickedVideoRecordBtn();
    hub->SetVideoFiles({});
    window->OnBnClickedVideoRecordBtn();
    EXPECT_EQ(PostedSinceLastLook(), (std::vector<int>{VIDEO_PAUSE, VIDEO_PAUSE}));
    EXPECT_EQ(dialogs.cutEntries.size(), 5u) << "no dialog without an entry";
    EXPECT_EQ(testsupport::EntryNames(out).size(), 3u);
    EXPECT_EQ(LogCount("Video Record end"), 5);
}

// ---- Report ----

struct SnapshotPlan {
    int streams;
    // Per file of the snapshot: its colour, or none when it never comes.
    std::vector<std::optional<QColor>> files;
};

class ReportTest : public CommandsTest, public ::testing::WithParamInterface<SnapshotPlan> {};

TEST_P(ReportTest, SnapshotsAreWaitedForWithoutThePlaylistLockAndNothingIsLeftBehind)
{
    const SnapshotPlan c = GetParam();
    Open();
    Current(c.streams);
    QStringList asked;
    QFileDevice::Permissions folderPermissions;
    player->onSnapshot = [&](const QString& path, const QString& folder) {
        asked = {path, folder};
        folderPermissions = QFile::permissions(QFileInfo(path).path());
        const std::vector<QString> files = SnapshotFiles(path, c.streams);
        // Late, the first in two halves; each written under the playlist's
        // lock, which the window must not hold while it waits.
        writers.emplace_back([this, files, plan = c.files] {
            for (std::size_t i = 0; i < files.size(); ++i) {
                if (!plan[i])
                    continue;
                std::this_thread::sleep_for(std::chrono::milliseconds(150));
                const QByteArray bytes = Png(*plan[i]);
                std::lock_guard lock(hub->fileLock);
                QFile file(files[i]);
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                file.write(bytes.left(bytes.size() / 2));
                file.flush();
                if (i == 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(200));
                file.write(bytes.mid(bytes.size() / 2));
            }
        });
    };
    PrintReportData record;
    window->BuildPrintReport(record);
    for (std::thread& writer : writers)
        writer.join();
    writers.clear();

    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked[0].endsWith(QStringLiteral("/tempVideoSnapshotFile-2013-10-16-09h05m07s42.png")));
    EXPECT_TRUE(asked[1].isEmpty()) << "no question about a folder";
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                            QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    EXPECT_TRUE(folderPermissions & QFileDevice::WriteOwner);
    EXPECT_FALSE(folderPermissions & others) << "a folder of the print's own";
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(asked[0]).path())) << "the print's folder is gone with its files";
    const QImage* images[] = {&record.channel1Image, &record.channel2Image};
    for (std::size_t i = 0; i < 2; ++i) {
        const std::optional<QColor> expected = i < c.files.size() ? c.files[i] : std::nullopt;
        if (expected) {
            ASSERT_FALSE(images[i]->isNull()) << i;
            EXPECT_EQ(images[i]->pixel(31, 17), expected->rgb()) << i << ": the whole picture";
        } else {
            EXPECT_TRUE(images[i]->isNull()) << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Streams, ReportTest,
                         ::testing::Values(SnapshotPlan{1, {QColor(Qt::red)}},
                                           SnapshotPlan{2, {QColor(Qt::red), QColor(Qt::blue)}},
                                           SnapshotPlan{2, {QColor(Qt::red), std::nullopt}}));

TEST_F(CommandsTest, ReportLinesComeFromThePlayPositionAndTheMapFromItsPane)
{
    Open();
    const std::shared_ptr<RecordingEntry> entry = Current();
    for (int second = 0; second < 10; ++second) {
        entry->gpsFixes.push_back({37.5 + second * 0.01, 126.9, 40.0 + second, 90000 + second, true});
        entry->motionTimes.push_back(second);
        entry->motionSamples.push_back({0, 0, 0, 0.125 * second, -0.25, 1.0});
    }
    hub->SetPosition(0.6f);  // second 6
    map->picture = QImage(8, 8, QImage::Format_RGB32);
    map->picture.fill(Qt::green);
    player->onSnapshot = [](const QString& path, const QString&) {
        testsupport::WriteFileBytes(path, Png(Qt::red));
    };
    PostedSinceLastLook();
    window->EnableCaptureButtons(true);
    window->ToolbarButton(MainWindowId::PrintButton)->click();
    EXPECT_EQ(PostedSinceLastLook(), std::vector<int>{VIDEO_PAUSE});
    ASSERT_EQ(dialogs.printed.size(), 1u);
    const PrintReportData& record = dialogs.printed[0];
    EXPECT_EQ(record.GetGSensorText(),
              QStringLiteral("Датчик положения в пространстве : X= 0.75000000, Y= -0.25000000, Z= 1.00000000"));
    EXPECT_EQ(record.GetDateTimeText(), QStringLiteral("Время : 2013-10-16 09:05:07"));
    EXPECT_EQ(record.GetSpeedText(), QStringLiteral("?? : 46.0 km/h"));
    EXPECT_EQ(record.GetLatitudeText(), QStringLiteral("Широта : 37.56000000"));
    EXPECT_EQ(record.GetLongitudeText(), QStringLiteral("Долгота : 126.90000000"));
    EXPECT_EQ(record.mapImage, map->picture);
    EXPECT_FALSE(record.channel1Image.isNull());
    ASSERT_EQ(player->gyroscope.labels.size(), 1u);
    EXPECT_EQ(player->gyroscope.labels[0].x, 0.75) << "the pane shows the sample reported";

    // Without fixes and samples: the N/A lines, the pane left alone.
    entry->gpsFixes.clear();
    entry->motionTimes.clear();
    entry->motionSamples.clear();
    window->OnBnClickedPrintBtn();
    ASSERT_EQ(dialogs.printed.size(), 2u);
    EXPECT_EQ(dialogs.printed[1].GetSpeedText(), QStringLiteral("?? : N/A"));
    EXPECT_EQ(dialogs.printed[1].GetLongitudeText(), QStringLiteral("Долгота : N/A"));
    EXPECT_EQ(dialogs.printed[1].GetGSensorText(),
              QStringLiteral("Датчик положения в пространстве : X= N/A, Y= N/A, Z= N/A"));
    EXPECT_EQ(player->gyroscope.labels.size(), 1u);

    // No entry: paused, nothing printed.
    hub->SetVideoFiles({});
    window->OnBnClickedPrintBtn();
    EXPECT_EQ(PostedSinceLastLook(), (std::vector<int>{VIDEO_PAUSE, VIDEO_PAUSE}));
    EXPECT_EQ(dialogs.printed.size(), 2u);
}

// ---- Settings ----

TEST_F(CommandsTest, SettingsAskForADriveOnlyWithoutOneThenWriteTheOptionsBeforeTheSeekStep)
{
    const QString old = work.Path() + QStringLiteral("/old/");
    const QString card = work.Path() + QStringLiteral("/card/");
    ASSERT_TRUE(QDir().mkpath(old) && QDir().mkpath(card));
    OpenLogging("DRIVE_PATH=" + old.toUtf8() + "\r\n");
    ASSERT_EQ(chooserRuns, 1) << "the start-up's";
    dialogs.session = [](const OptionRecord& options, const std::function<void()>&) {
        OptionRecord changed = options;
        changed.playValue = 9;
        return changed;
    };
    QByteArray writtenAtSeekStep;
    list->OnUpdate([&](int code, const MessageParam&) {
        if (code == VIDEO_FRAME_POSITION_SLIDER_INTERVAL_VALUE_CHANGED)
            writtenAtSeekStep = testsupport::ReadFileBytes(OptionsPath());
    });
    PostedSinceLastLook();

    struct Step {
        std::optional<QString> chooser;
        int chooserRuns;
        QString sessionDrive;
        QString currentDrive;
    };
    const Step steps[] = {
        {std::nullopt, 2, old, QString()},  // cancelled: the drive option.ini holds
        {card, 3, card, card},              // chosen
        {std::nullopt, 3, card, card},      // a drive in use: no question
    };
    for (const Step& step : steps) {
        startupDrive = step.chooser;
        window->ToolbarButton(MainWindowId::SettingsButton)->click();
        EXPECT_EQ(chooserRuns, step.chooserRuns);
        EXPECT_EQ(dialogs.sessionOptions.back().drivePath, step.sessionDrive);
        EXPECT_EQ(window->CurrentDrive(), step.currentDrive);
        const std::vector<int> posted = PostedSinceLastLook();
        EXPECT_EQ(posted, (std::vector<int>{VIDEO_PAUSE, VIDEO_FRAME_POSITION_SLIDER_INTERVAL_VALUE_CHANGED}));
        EXPECT_EQ(LastPayload(VIDEO_FRAME_POSITION_SLIDER_INTERVAL_VALUE_CHANGED).seekStep, 9);
        EXPECT_TRUE(writtenAtSeekStep.contains("PLAY_VALUE=9")) << "written before the 15";
        EXPECT_TRUE(writtenAtSeekStep.contains("DRIVE_PATH=" + step.sessionDrive.toUtf8()));
    }
    EXPECT_EQ(window->GetOptionRecord().playValue, 9);
    EXPECT_EQ(LogCount("Video Option Button Click"), 3);
    EXPECT_EQ(LogCount("Video Option end"), 3);
    EXPECT_EQ(notifier.Count(), 0u);
}

TEST_F(CommandsTest, AnUnwritableOptionsFileIsOneFileErrorBox)
{
    Open();
    ASSERT_TRUE(QFile::remove(OptionsPath()));
    ASSERT_TRUE(QDir().mkdir(OptionsPath()));
    window->OnBnClickedOptionBtn();
    const std::vector<RecordingNotifier::Box> boxes = notifier.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, RecordingNotifier::Kind::FileError);
    EXPECT_EQ(boxes[0].path, OptionsPath());
    EXPECT_EQ(boxes[0].error, EISDIR);
}

TEST_F(CommandsTest, WithoutAConfigurationFolderNothingIsWrittenAndNothingShown)
{
    testsupport::ScopedEnv noConfig("XDG_CONFIG_HOME", std::nullopt);
    testsupport::ScopedEnv noHome("HOME", std::nullopt);
    Open();
    ASSERT_TRUE(OptionRecord::FilePath().isEmpty());
    window->OnBnClickedOptionBtn();
    EXPECT_EQ(notifier.Count(), 0u);
    EXPECT_EQ(dialogs.sessionOptions.size(), 1u);
}

TEST_F(CommandsTest, StopPlaybackForAFormatDropsTheQueueStopsThePlayerAndPostsTheStop)
{
    Open();
    hubtest::Gate entered, release;
    list->OnUpdate([&](int code, const MessageParam&) {
        if (code == kMarker + 1) {
            entered.Open();
            EXPECT_TRUE(release.Wait());
        }
    });
    hub->Post(kMarker + 1);
    ASSERT_TRUE(entered.Wait());
    constexpr int kQueued = 103;
    hub->Post(kQueued);
    bool stoppedOnReturn = false;
    dialogs.session = [&](const OptionRecord& options, const std::function<void()>& stopPlayback) {
        stopPlayback();
        stoppedOnReturn = !player->calls.empty() && player->calls.back() == "StopPlayback";
        return options;
    };
    window->OnBnClickedOptionBtn();
    release.Open();
    EXPECT_TRUE(stoppedOnReturn);
    ASSERT_TRUE(Eventually([&] { return Delivered("list", VIDEO_STOP); }));
    EXPECT_FALSE(Delivered("list", kQueued)) << "the queue was dropped first";
}

// ---- The full view, the about box ----

TEST_F(CommandsTest, FullViewHidesAllButThePlayerAndEachWayBackRestoresIt)
{
    Open();
    const QRect playerNormal = player->geometry();
    const QRect listNormal = list->geometry();
    const std::vector<std::pair<const char*, std::function<void()>>> restores = {
        {"the player's full-view button", [&] { window->OnBnClickedVideoMinimizeBtn(); }},
        {"Esc", [&] { KeyTo(window.get(), Qt::Key_Escape); }},
        {"Alt+Enter in the player", [&] { KeyTo(player, Qt::Key_Return, Qt::AltModifier); }},
        {"the toggle", [&] { window->ToggleVideoMaximize(); }},
    };
    for (const auto& [way, restore] : restores) {
        SCOPED_TRACE(way);
        window->ToolbarButton(MainWindowId::MaximizeButton)->click();
        EXPECT_TRUE(hub->GetMaximized());
        EXPECT_EQ(player->geometry(), QRect(QPoint(0, 0), window->size()));
        EXPECT_FALSE(map->isVisible());
        EXPECT_FALSE(list->isVisible());
        EXPECT_FALSE(window->LogoButton()->isVisible());
        for (MainWindowId id : {MainWindowId::OpenButton, MainWindowId::MaximizeButton, MainWindowId::AboutButton})
            EXPECT_FALSE(window->ToolbarButton(id)->isVisible());

        restore();
        EXPECT_FALSE(hub->GetMaximized());
        EXPECT_EQ(player->geometry(), playerNormal);
        EXPECT_EQ(list->geometry(), listNormal);
        EXPECT_TRUE(map->isVisible());
        EXPECT_TRUE(list->isVisible());
        EXPECT_TRUE(window->LogoButton()->isVisible());
        EXPECT_TRUE(window->ToolbarButton(MainWindowId::MaximizeButton)->isVisible());
    }
}

TEST_F(CommandsTest, AboutPausesAndRunsTheAboutBox)
{
    OpenLogging();
    PostedSinceLastLook();
    bool shown = false;
    testsupport::OnNextModal<CAbout>([&](CAbout* about) {
        shown = true;
        about->OkButton()->click();
    });
    window->ToolbarButton(MainWindowId::AboutButton)->click();
    EXPECT_TRUE(shown);
    EXPECT_EQ(PostedSinceLastLook(), std::vector<int>{VIDEO_PAUSE});
    EXPECT_EQ(LogCount("Video Help Button Click"), 1);
    EXPECT_EQ(LogCount("Video Help end"), 1);
}

}  // namespace
}  // namespace uitest
