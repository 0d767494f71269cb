// The program's main window end to end: the program's services (discovery,
// skin module, libvlc, the panes it makes) with a fake map in place of the
// browser, and the start-up drive a temporary card holding two real H.264
// recordings. Each case runs in a process of its own: the program's
// singletons are released once, for good.

#include "ui/MainWindowFixtures.h"

#include "controls/CButtonStyle.h"
#include "controls/CSkinListCtrl.h"
#include "core/resources/ResourceManager.h"
#include "hub/HubCodes.h"
#include "playback/RealComponents.h"
#include "playback/VideoSurface.h"
#include "playback/VlcFunctionExecutor.h"
#include "support/H264Source.h"
#include "support/gui/Screenshot.h"
#include "ui/CAbout.h"
#include "ui/CLoadingDlg.h"
#include "ui/VideoListControl.h"

#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace uitest {
namespace {

using realcheck::Colour;
using realcheck::Describe;

constexpr auto kPlayLimit = 5s;

// A two-camera recording of 6 s: the front one flat colour, the rear a
// test picture.
bool WriteRecording(const QString& path, const QString& frontColour, const QString& workFolder)
{
    testsupport::H264Options front;
    front.pattern = QStringLiteral("color=c=") + frontColour;
    front.seconds = 6;
    testsupport::H264Options rear = front;
    rear.width = front.width / 2;
    rear.height = front.height / 2;
    rear.pattern = QStringLiteral("testsrc");
    QString error;
    const bool written = testsupport::WritePlayableRecording(path, front, rear, workFolder, &error);
    EXPECT_TRUE(written) << error.toStdString();
    return written;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        KESTROV_REQUIRE_REAL_OR_SKIP(testsupport::H264Source::Available(), "ffmpeg and ffprobe are not installed");
        UserNotifier::Install(&notifier);
        ResourceManager::SetSearchFolders({QStringLiteral(KESTROV_SKIN_FOLDER)});
        card = work.Path() + QStringLiteral("/card/");
        ASSERT_TRUE(QDir().mkpath(card));
    }

    // The card's two recordings (front red, then green) and, when asked, a
    // folder to drop (front blue).
    void WriteRecordings(bool withDropped = false)
    {
        ASSERT_TRUE(WriteRecording(card + "20130405_120000_EVT.avi", "red", encoder.path()));
        ASSERT_TRUE(WriteRecording(card + "20130405_123456_NOR.avi", "lime", encoder.path()));
        if (withDropped) {
            ASSERT_TRUE(WriteRecording(work.Path() + "/dropped/20130406_080000_NOR.avi", "blue", encoder.path()));
        }
    }

    void TearDown() override
    {
        Close();
        UserNotifier::Install(nullptr);
        ResourceManager::SetSearchFolders({});
    }

    // The program's window, run up to the start-up load of the card.
    void Start()
    {
        MainWindowServices services = MainWindowServices::ForProgram();
        services.paneFactory.makeMap = [this](CKestrovViewerNewDlg& owner) -> IMapSlot* {
            map = new FakeMap(&owner, owner.Hub(), "map", journal, probe);
            return map;
        };
        services.startupDriveChooser = [this](QWidget*) { return std::optional<QString>(card); };
        window = std::make_unique<CKestrovViewerNewDlg>(std::move(services));
        window->OnInitDialog();
        window->show();
        window->RunStartupDriveSelection();
    }

    void Close()
    {
        if (!window)
            return;
        window->close();
        hubtest::Watchdog watchdog("closing the program's window", 5s);
        window.reset();
    }

    static bool Eventually(const std::function<bool()>& done, std::chrono::milliseconds limit = kPlayLimit)
    {
        return testsupport::RunUntil(done, limit);
    }

    std::vector<int> Codes()
    {
        std::vector<int> codes;
        for (const hubtest::Delivery& delivery : journal.Entries())
            codes.push_back(delivery.code);
        return codes;
    }

    bool Seen(int code)
    {
        const std::vector<int> codes = Codes();
        return std::find(codes.begin(), codes.end(), code) != codes.end();
    }

    QStringList ListedRows()
    {
        QStringList rows;
        auto* pane = qobject_cast<VideoListControl*>(window->ListPane());
        CSkinListCtrl* list = pane ? pane->ListControl() : nullptr;
        for (int row = 0; list && row < list->GetItemCount(); ++row)
            rows.append(list->GetItemText(row, 0) + " " + list->GetItemText(row, 3));
        return rows;
    }

    // Channel 1's picture: the first video surface the player pane made.
    std::optional<QRgb> ChannelOneCentre()
    {
        VideoSurface* surface = window->findChild<VideoSurface*>();
        if (!surface || surface->width() == 0)
            return std::nullopt;
        const QImage shown = testsupport::Grab(*surface);
        return shown.pixel(shown.rect().center());
    }

    bool ChannelOneShows(Colour colour)
    {
        return Eventually([&] {
            const std::optional<QRgb> centre = ChannelOneCentre();
            return centre && realcheck::Is(*centre, colour);
        });
    }

    testsupport::ScopedWorkingFolder work;
    QTemporaryDir encoder;
    QTemporaryDir home;
    QTemporaryDir config;
    testsupport::ScopedEnv homeEnv{"HOME", home.path()};
    testsupport::ScopedEnv configEnv{"XDG_CONFIG_HOME", config.path()};
    RecordingNotifier notifier;
    hubtest::Journal journal;
    PaneProbe probe;
    FakeMap* map = nullptr;
    QString card;
    std::unique_ptr<CKestrovViewerNewDlg> window;
};

TEST_F(EndToEnd, StartupDriveListsBothRecordingsAndClosesInTime)
{
    WriteRecordings();
    Start();
    ASSERT_TRUE(Eventually([&] { return Seen(NEW_VIDEO_PLAY) && ListedRows().size() == 2; }));
    const std::vector<int> codes = Codes();
    const std::vector<int> load{SET_VIDEO_FILES, VIDEO_FILES_OPENED, SET_CURRENT_VIDEO_INDEX, SET_CURRENT_VIDEO_MEDIA,
                                NEW_VIDEO_PLAY};
    const auto at = std::search(codes.begin(), codes.end(), load.begin(), load.end());
    ASSERT_NE(at, codes.end()) << "the load arrives as one batch";
    EXPECT_EQ(journal.Entries()[at - codes.begin() + 2].payload.index, 0);
    EXPECT_EQ(ListedRows(), (QStringList{QStringLiteral("1 Событие"), QStringLiteral("2 Обычный")}));
    for (MainWindowId id : {MainWindowId::CaptureButton, MainWindowId::CutButton, MainWindowId::PrintButton})
        EXPECT_TRUE(window->ToolbarButton(id)->isEnabled()) << static_cast<int>(id);
    EXPECT_EQ(notifier.Count(), 0u);

    Close();
    EXPECT_EQ(ApplicationHub::GetInstance(), nullptr) << "the program's singletons are released";
    EXPECT_TRUE(QFile::exists(config.path() + "/KestrovViewer/option.ini"));
}

// Needs the player pane: channel 1 is a real libvlc player.
TEST_F(EndToEnd, FirstRecordingPlaysInChannelOneThenMetadataAndPositionsFollow)
{
    WriteRecordings();
    Start();
    ASSERT_TRUE(ChannelOneShows(Colour::Red)) << "channel 1 shows " << Describe(ChannelOneCentre().value_or(0));
    ASSERT_TRUE(Eventually([&] { return Seen(VIDEO_FRAME_POSITION_CHANGED); }));
    const std::vector<int> codes = Codes();
    const auto sixteen = std::find(codes.begin(), codes.end(), static_cast<int>(NEW_VIDEO_PLAY));
    const auto twelve = std::find(sixteen, codes.end(), static_cast<int>(CREATE_VIDEO_METADATA));
    const auto thirteen = std::find(twelve, codes.end(), static_cast<int>(VIDEO_METADATA_CREATED));
    ASSERT_NE(thirteen, codes.end()) << "12 and 13 after the load's 16";
    EXPECT_NE(std::find(thirteen, codes.end(), static_cast<int>(VIDEO_FRAME_POSITION_CHANGED)), codes.end());
    EXPECT_EQ(ListedRows().size(), 2);
}

// Needs the player pane.
TEST_F(EndToEnd, DroppedFolderReplacesThePlaylistAndPlays)
{
    WriteRecordings(true);
    Start();
    ASSERT_TRUE(ChannelOneShows(Colour::Red));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(work.Path() + "/dropped")});
    QDropEvent drop(QPointF(500, 400), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &drop);
    ASSERT_TRUE(ChannelOneShows(Colour::Blue)) << "channel 1 shows " << Describe(ChannelOneCentre().value_or(0));
    EXPECT_EQ(ListedRows(), QStringList{QStringLiteral("1 Обычный")});
}

// Needs the player pane: closing while libvlc plays.
TEST_F(EndToEnd, ClosingWhilePlayingEndsInTime)
{
    WriteRecordings();
    Start();
    ASSERT_TRUE(ChannelOneShows(Colour::Red));
    ASSERT_TRUE(Eventually([&] { return Seen(VIDEO_FRAME_POSITION_CHANGED); }));
    Close();  // inside a 5 s watchdog
    EXPECT_EQ(probe.deathsDuringDelivery, 0);
    EXPECT_EQ(VlcFunctionExecutor::GetInstance(), nullptr) << "the binding is released";
}

// The pictures of docs/screenshots.
class MainWindowScreenshots : public EndToEnd {};

TEST_F(MainWindowScreenshots, MainWindow)
{
    WriteRecordings();
    Start();
    // The map's place as the map pane shows it without a map page.
    QPalette panel = map->palette();
    panel.setColor(QPalette::Window, QColor(0x33, 0x33, 0x33));
    map->setPalette(panel);
    map->setAutoFillBackground(true);
    ASSERT_TRUE(Eventually([&] { return Seen(NEW_VIDEO_PLAY) && ListedRows().size() == 2; }));
    // With a player pane that plays, the picture waits for channel 1.
    if (window->findChild<VideoSurface*>()) {
        ASSERT_TRUE(ChannelOneShows(Colour::Red));
    }
    const QImage picture = testsupport::Grab(*window);
    EXPECT_EQ(picture.size(), QSize(1061, 754));
    EXPECT_EQ(picture.pixel(2, 400), qRgb(59, 59, 59));
    EXPECT_TRUE(testsupport::SaveScreenshot(picture, QStringLiteral("main-window")));
}

TEST_F(MainWindowScreenshots, About)
{
    Start();
    CAbout about(window.get());
    about.show();
    const QImage picture = testsupport::Grab(about);
    EXPECT_EQ(picture.size(), QSize(291, 140));
    EXPECT_EQ(picture.pixel(100, 130), qRgb(75, 75, 75));
    EXPECT_TRUE(testsupport::SaveScreenshot(picture, QStringLiteral("about")));
}

TEST_F(MainWindowScreenshots, Loading)
{
    Start();
    CLoadingDlg loading(window.get());
    loading.show();
    const QImage picture = testsupport::Grab(loading);
    EXPECT_EQ(picture.size(), QSize(309, 93));
    EXPECT_TRUE(testsupport::SaveScreenshot(picture, QStringLiteral("loading")));
}

}  // namespace
}  // namespace uitest
