// The main window offscreen: templates, construction, drawing, the hub
// listener, the loads and the start-up, against fake panes, its own hub and
// the real skin.

#include "ui/MainWindowFixtures.h"

#include "controls/CButtonStyle.h"
#include "controls/CMyBitmapButton.h"
#include "core/Common.h"
#include "core/Logger.h"
#include "hub/HubCodes.h"
#include "platform/gdi/GdiCompat.h"
#include "playback/VlcFunctionExecutor.h"
#include "support/AviFixtureBuilder.h"
#include "support/FileFixtures.h"
#include "support/gui/NextModal.h"
#include "support/gui/Screenshot.h"
#include "ui/CAbout.h"
#include "ui/CKestrovViewerApp.h"
#include "ui/CLoadingDlg.h"
#include "ui/MainWindowLayout.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QRegularExpression>
#include <QResizeEvent>
#include <QTimer>
#include <QUrl>

#include <csignal>
#include <sys/stat.h>

namespace uitest {
namespace {

constexpr int kCodeA = 101;

QImage SkinBitmap(int id)
{
    return ImageSource::Resources().Bitmap(id);
}

// What a toolbar button shows: its piece of 108 stretched, the icon over it.
QImage ButtonFace(QPoint place, int icon)
{
    // Painted as a widget is grabbed: onto transparent premultiplied pixels.
    QImage face(32, 32, QImage::Format_ARGB32_Premultiplied);
    face.fill(Qt::transparent);
    QPainter painter(&face);
    gdi::Stretch(painter, face.rect(), SkinBitmap(108), BackgroundSourceRect(108, place, face.size()));
    painter.drawImage(QPoint(0, 0), ImageSource::Resources().Icon(icon));
    painter.end();
    return face.convertToFormat(QImage::Format_RGB32);
}

QImage Crop(const QImage& image, const QRect& rect)
{
    return image.copy(rect).convertToFormat(QImage::Format_RGB32);
}

// Counts paint events of one widget, or of every widget of a class.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(const char* className) : className(className) { qApp->installEventFilter(this); }
    ~PaintCounter() override { qApp->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && object->inherits(className))
            ++count;
        return false;
    }

private:
    const char* className;
};

bool HubWorkerAlive()
{
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(task + QStringLiteral("/comm")));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "hub-worker")
            return true;
    }
    return false;
}

// ---- Templates and the two small dialogs ----

TEST(MainWindowTemplates, ParseAndTheLoadingDialogMatchesItsTable)
{
    for (int id : {230, 133, 40059})
        EXPECT_NO_THROW(DialogTemplate::Get(id)) << id;
    EXPECT_EQ(DialogTemplate::Get(230).controls.size(), 12u);
    for (int hidden : {1018, 1019, 1020, 1135})
        EXPECT_TRUE(DialogTemplate::Get(230).Control(hidden)->HasFlag("hidden")) << hidden;

    QWidget owner;
    CLoadingDlg loading(&owner);
    EXPECT_TRUE(loading.isWindow());
    EXPECT_EQ(loading.size(), QSize(309, 93));
    EXPECT_EQ(loading.windowTitle(), QStringLiteral("загрузка..."));
    EXPECT_FALSE(loading.windowFlags() & Qt::WindowCloseButtonHint) << "no close button";
    QList<QLabel*> lines = loading.findChildren<QLabel*>();
    ASSERT_EQ(lines.size(), 3);
    std::sort(lines.begin(), lines.end(), [](QLabel* a, QLabel* b) { return a->y() < b->y(); });
    const QRect places[] = {{9, 13, 290, 18}, {9, 34, 206, 16}, {9, 54, 288, 34}};
    const QString texts[] = {QStringLiteral("Загрузка файла"), QStringLiteral("Пожалуйста, подождите немного."),
                             QStringLiteral("?Загрузка может занять некоторое время в зависимости от емкости карты "
                                            "памяти.")};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(lines[i]->geometry(), places[i]) << i;
        EXPECT_EQ(lines[i]->text(), texts[i]) << i;
        EXPECT_EQ(QFontInfo(lines[i]->font()).family(), QStringLiteral("DejaVu Sans"));
        EXPECT_EQ(QFontInfo(lines[i]->font()).pixelSize(), 11);
    }
}

TEST(AboutBox, FramelessDarkPanelWithTitlePictureClosedByOkOrEsc)
{
    controlstest::ScopedSkinModule skin;
    QWidget owner;
    owner.setGeometry(100, 100, 800, 600);
    CAbout about(&owner);
    EXPECT_TRUE(about.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(about.size(), QSize(291, 140));
    EXPECT_EQ(about.OkButton()->geometry(), QRect(200, 100, 60, 25));
    auto* version = about.findChild<QLabel*>(QStringLiteral("32793"));
    ASSERT_TRUE(version);
    EXPECT_EQ(version->text(), QStringLiteral("Version 1.2.1 (Build 1405)"));

    const QImage picture = testsupport::Grab(about);
    const QImage title = SkinBitmap(101);
    EXPECT_EQ(picture.pixel(150, 14), title.pixel(150, 14)) << "101 on top";
    EXPECT_EQ(picture.pixel(100, 130), qRgb(75, 75, 75));
    EXPECT_EQ(picture.pixel(0, 70), qRgb(0, 0, 0)) << "the border is painted last";
    EXPECT_EQ(picture.pixel(290, 139), qRgb(0, 0, 0));
    bool lightText = false;
    const QRect versionRect = version->geometry();
    for (int y = versionRect.top(); y <= versionRect.bottom(); ++y)
        for (int x = versionRect.left(); x <= versionRect.right(); ++x)
            lightText = lightText || picture.pixel(x, y) == qRgb(200, 200, 200);
    EXPECT_TRUE(lightText) << "the version in (200, 200, 200)";

    testsupport::OnNextModal<CAbout>([](CAbout* box) {
        EXPECT_EQ(box->geometry().center(), box->parentWidget()->geometry().center()) << "centred on its parent";
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &escape);
    });
    EXPECT_EQ(about.exec(), QDialog::Rejected);
    testsupport::OnNextModal<CAbout>([](CAbout* box) { box->OkButton()->click(); });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
}

// ---- Construction and start-up ----

TEST_F(MainWindowTest, ConstructionTitleSizesListenerOrderAndSeekStepBeforeTheDriveLoad)
{
    const QString oldDrive = work.Path() + QStringLiteral("/old/");
    ASSERT_TRUE(QDir().mkpath(oldDrive));
    WriteOptions("[OPTION]\r\nPLAY_VALUE=7\r\nDRIVE_PATH=" + oldDrive.toUtf8() + "\r\n");
    const QByteArray optionsBefore = testsupport::ReadFileBytes(OptionsPath());
    startupDrive = work.Path() + QStringLiteral("/card/");
    QRect playerBefore;
    onMapMade = [&](FakeMap&) {
        // A resize before the end of the start-up lays nothing out.
        playerBefore = player->geometry();
        QResizeEvent resize(QSize(1300, 900), window->size());
        QCoreApplication::sendEvent(window.get(), &resize);
        EXPECT_EQ(player->geometry(), playerBefore);
    };
    std::vector<unsigned> indexSeenByPlayer;
    onPlayerMade = [&](FakePlayer& made) {
        made.OnUpdate([&](int code, const MessageParam&) {
            if (code == SET_CURRENT_VIDEO_INDEX)
                indexSeenByPlayer.push_back(hub->GetCurrentIndex());
        });
    };
    Open();

    EXPECT_EQ(window->windowTitle(), QStringLiteral("Velmark Tarsim QV7"));
    EXPECT_EQ(window->frameGeometry().size(), QSize(1065, 758));
    EXPECT_EQ(window->size(), QSize(1061, 754));
    EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(0, 0));
    window->resize(800, 500);
    EXPECT_EQ(window->size(), QSize(1061, 749)) << "1065 x 753 less the frame";

    ASSERT_TRUE(Eventually([&] { return Delivered("list", NEW_VIDEO_PLAY); }));
    EXPECT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0].folders, QStringList{*startupDrive});
    EXPECT_TRUE(loads[0].files.isEmpty());
    EXPECT_EQ(window->CurrentDrive(), *startupDrive);
    EXPECT_EQ(window->GetOptionRecord().drivePath, oldDrive) << "the start-up choice";
    EXPECT_EQ(testsupport::ReadFileBytes(OptionsPath()), optionsBefore);

    // Window, player, map, list: the window moves the index before the
    // player sees the 10, and every pane sees the same sequence.
    hub->Post(SET_CURRENT_VIDEO_INDEX, hubtest::Index(1));
    ASSERT_TRUE(Eventually([&] { return Delivered("list", SET_CURRENT_VIDEO_INDEX, 2); }));
    EXPECT_EQ(indexSeenByPlayer, (std::vector<unsigned>{0, 1}));
    const std::vector<std::string> sequence = journal.Sequence();
    const std::vector<std::string> expectedHead{"player:15", "map:15", "list:15", "player:0", "map:0", "list:0"};
    ASSERT_GE(sequence.size(), expectedHead.size());
    EXPECT_EQ(std::vector<std::string>(sequence.begin(), sequence.begin() + 6), expectedHead);
    EXPECT_EQ(journal.Entries().front().payload.seekStep, 7);
}

TEST_F(MainWindowTest, CancelledDriveStartsEmptyWithCaptureCutPrintDisabled)
{
    Open();
    ASSERT_TRUE(Eventually([&] { return Delivered("list", VIDEO_FRAME_POSITION_SLIDER_INTERVAL_VALUE_CHANGED); }));
    EXPECT_TRUE(loads.empty());
    EXPECT_TRUE(hub->GetVideoFiles().empty());
    for (MainWindowId id : {MainWindowId::CaptureButton, MainWindowId::CutButton, MainWindowId::PrintButton})
        EXPECT_FALSE(window->ToolbarButton(id)->isEnabled()) << static_cast<int>(id);
    EXPECT_TRUE(window->ToolbarButton(MainWindowId::OpenButton)->isEnabled());
    for (int hidden : {1018, 1019, 1020, 1135})
        EXPECT_FALSE(window->Controls().Widget(hidden)->isVisible()) << hidden;
    EXPECT_EQ(window->ToolbarButton(MainWindowId::OpenButton)->toolTip(), QStringLiteral("Открыть"));
    EXPECT_EQ(window->ToolbarButton(MainWindowId::CutButton)->toolTip(), QStringLiteral("??Сохранить"));
    EXPECT_EQ(window->GetOptionRecord().playValue, 5);
    EXPECT_FALSE(QDir(work.Path() + "/LOG").exists()) << "logging is off by default";
    EXPECT_TRUE(QFile::exists(OptionsPath())) << "written with the defaults";
}

TEST_F(MainWindowTest, StartupLogLinesComeInOrderWithLoggingOn)
{
    WriteOptions("[OPTION]\r\nUSE_LOG=TRUE\r\n");
    Open();
    // Start, init, the working folder's files, then the four summary lines.
    QStringList heads;
    QStringList windowLines;
    static const QRegularExpression lineHead(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\t\\["));
    for (const QString& line : LogText().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        if (!lineHead.match(line).hasMatch())
            continue;  // the rest of a message of several lines
        const QStringList fields = line.split('\t');
        ASSERT_GE(fields.size(), 4) << line.toStdString();
        const QString head = fields[1] + fields[2];
        if (heads.isEmpty() || heads.back() != head)
            heads.append(head);
        if (head == "[CKestrovViewerNewDlg][OnInitDialog]")
            windowLines.append(fields[3]);
    }
    EXPECT_EQ(heads, (QStringList{"[CKestrovViewerNewDlg][OnInitDialog]", "[Common][GetFileNames]",
                                  "[CKestrovViewerNewDlg][OnInitDialog]"}));
    ASSERT_EQ(windowLines.size(), 6);
    EXPECT_EQ(windowLines[0], QStringLiteral("Log Start!"));
    EXPECT_EQ(windowLines[1], QStringLiteral("KestrovViewerDlg Init"));
    EXPECT_EQ(windowLines[2], Common::GetOSName());
    EXPECT_EQ(windowLines[4], Common::GetCPUSpeed());
}

TEST_F(MainWindowTest, CloseWritesTheOptionsLogsTheEndAndStopsTheHub)
{
    WriteOptions("[OPTION]\r\nUSE_LOG=TRUE\r\n");
    Open();
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(hub->GetRunning());
    EXPECT_TRUE(testsupport::ReadFileBytes(OptionsPath()).contains("PLAY_VALUE=5")) << "option.ini written";
    EXPECT_TRUE(LogText().contains("[OnClose]\tLog End\r\n\r\n"));
    Destroy();
    EXPECT_EQ(releases, 1);
    EXPECT_EQ(probe.deaths, (std::vector<std::string>{"map", "list", "player"}));
}

TEST_F(MainWindowTest, EnterAndEscapeNeitherCloseNorReject)
{
    Open();
    for (int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &press);
    }
    window->reject();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(hub->GetRunning());
}

TEST_F(MainWindowTest, LayoutFollowsTheClientAndAFloatingMapKeepsItsPlace)
{
    Open();
    EXPECT_EQ(player->geometry(), QRect(5, 46, 766, 709));
    EXPECT_EQ(map->geometry(), QRect(776, 46, 280, 301));
    EXPECT_EQ(list->geometry(), QRect(776, 347, 280, 405));
    EXPECT_EQ(window->LogoButton()->geometry(), QRect(1061 - 120 - 6, 6, 120, 34));

    map->slot = nullptr;  // floating, no placeholder
    window->resize(1300, 900);
    EXPECT_EQ(player->geometry(), QRect(5, 46, 1005, 855));
    EXPECT_EQ(map->geometry(), QRect(776, 46, 280, 301));
    EXPECT_EQ(list->geometry(), QRect(1015, 396, 280, 503));

    hub->SetMaximized(true);
    window->LayoutControls();
    EXPECT_EQ(player->geometry(), QRect(0, 0, 1300, 900));
    EXPECT_EQ(list->geometry(), QRect(1015, 396, 280, 503)) << "left where it was";
    hub->SetMaximized(false);
}

// ---- Drawing, with the real skin ----

TEST_F(MainWindowTest, TitleStripSidesAndToolbarFacesFollowTheHub)
{
    Open();
    for (const int width : {1061, 1300}) {
        SCOPED_TRACE(width);
        window->resize(width, 754);
        const QImage picture = testsupport::Grab(*window);
        QImage strip(width, kTitleStripHeight, QImage::Format_RGB32);
        {
            QPainter painter(&strip);
            gdi::Stretch(painter, strip.rect(), SkinBitmap(108), SkinBitmap(108).rect());
            gdi::Copy(painter, QPoint(0, 0), SkinBitmap(350), QRect(0, 0, 320, kTitleStripHeight));
        }
        int differing = 0;
        for (int y = 0; y < kTitleStripHeight; ++y) {
            for (int x = 0; x < width; ++x) {
                const QPoint at(x, y);
                QWidget* child = window->childAt(at);
                if (!child && picture.pixel(at) != strip.pixel(at))
                    ++differing;
            }
        }
        EXPECT_EQ(differing, 0) << "the strip is 108 stretched, 350 unscaled at (0, 0)";
        EXPECT_EQ(picture.pixel(2, 400), qRgb(59, 59, 59));
        EXPECT_EQ(picture.pixel(width - 288, 400), qRgb(59, 59, 59));
    }
    window->resize(1061, 754);

    const auto face = [&](MainWindowId id) {
        CButtonStyle* button = window->ToolbarButton(id);
        return Crop(testsupport::Grab(*window), button->geometry());
    };
    const auto expectFaces = [&](std::array<int, 3> icons) {
        const MainWindowId ids[] = {MainWindowId::CaptureButton, MainWindowId::CutButton, MainWindowId::PrintButton};
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(face(ids[i]), ButtonFace(window->ToolbarButton(ids[i])->pos(), icons[i])) << icons[i];
    };
    EXPECT_EQ(face(MainWindowId::OpenButton), ButtonFace(QPoint(15, 9), 194));
    expectFaces({210, 206, 202});
    window->OpenVideoFiles({"/card/"}, {});
    ASSERT_TRUE(Eventually([&] { return Delivered("list", NEW_VIDEO_PLAY); }));
    expectFaces({208, 204, 200});

    // Idle, nothing asks for paint after paint.
    PaintCounter paints("CKestrovViewerNewDlg");
    QElapsedTimer idle;
    idle.start();
    Eventually([&] { return idle.elapsed() >= 500; }, 2s);
    EXPECT_LE(paints.count, 2);
}

// ---- The hub listener ----

TEST_F(MainWindowTest, IndexMovesOnlyForAnEntryOfThePlaylist)
{
    Open();
    hub->SetVideoFiles(entries.MakeTypes({RECORDING_EVENT, RECORDING_NORMAL, RECORDING_MOTION}));
    hub->SetCurrentIndex(1);
    std::vector<unsigned> seen;
    list->OnUpdate([&](int code, const MessageParam&) {
        if (code == SET_CURRENT_VIDEO_INDEX)
            seen.push_back(hub->GetCurrentIndex());
    });
    for (int index : {3, -1, 2})
        hub->Post(SET_CURRENT_VIDEO_INDEX, hubtest::Index(index));
    ASSERT_TRUE(Eventually([&] { return seen.size() == 3; }));
    EXPECT_EQ(seen, (std::vector<unsigned>{1, 1, 2}));
}

struct ButtonCase {
    int code;
    bool enables;
};

class ToolbarCodes : public MainWindowTest, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(ToolbarCodes, SetTheButtonsBeforeTheNextListenerAndDropWhatIsQueuedBehindButKeptBatches)
{
    const ButtonCase c = GetParam();
    Open();
    window->EnableCaptureButtons(!c.enables);
    hubtest::Gate entered, release;
    list->OnUpdate([&](int code, const MessageParam&) {
        if (code == kCodeA) {
            entered.Open();
            EXPECT_TRUE(release.Wait());
        }
    });
    std::optional<bool> enabledForPlayer;
    player->OnUpdate([&](int code, const MessageParam&) {
        if (code == c.code)
            UiThread::Invoke([&] { enabledForPlayer = window->ToolbarButton(MainWindowId::PrintButton)->isEnabled(); });
    });
    hub->Post(kCodeA);
    ASSERT_TRUE(entered.Wait());
    hub->Post(c.code);
    hub->Post(kCodeA + 1);  // a single behind: dropped
    std::vector<HubMessage> kept;
    kept.emplace_back(kCodeA + 2);
    hub->PostBatch(std::move(kept), KeepOnClear::Yes);
    release.Open();
    ASSERT_TRUE(Eventually([&] { return Delivered("list", kCodeA + 2); }));
    EXPECT_EQ(CodesOf("list").back(), kCodeA + 2);
    EXPECT_FALSE(Delivered("list", kCodeA + 1));
    ASSERT_TRUE(enabledForPlayer);
    EXPECT_EQ(*enabledForPlayer, c.enables);
    for (MainWindowId id : {MainWindowId::CaptureButton, MainWindowId::CutButton})
        EXPECT_EQ(window->ToolbarButton(id)->isEnabled(), c.enables);
}

INSTANTIATE_TEST_SUITE_P(Codes, ToolbarCodes,
                         ::testing::Values(ButtonCase{VIDEO_PLAY, true}, ButtonCase{VIDEO_PREVIOUS, true},
                                           ButtonCase{VIDEO_NEXT, true}, ButtonCase{NEW_VIDEO_PLAY, true},
                                           ButtonCase{VIDEO_STOP, false}),
                         [](const auto& info) { return "Code" + std::to_string(info.param.code); });

TEST_F(MainWindowTest, PositionAndMetadataGoToTheHub)
{
    std::vector<QString> parsed;
    metadataLoader = [&](RecordingEntry& entry) {
        parsed.push_back(entry.fileName);
        return false;
    };
    Open();
    hub->SetVideoFiles(entries.MakeTypes({RECORDING_EVENT, RECORDING_NORMAL}));
    hub->SetCurrentIndex(1);
    auto position = std::make_unique<MessageParam>();
    position->position = 0.25f;
    hub->Post(VIDEO_FRAME_POSITION_CHANGED, std::move(position));
    hub->Post(CREATE_VIDEO_METADATA);
    ASSERT_TRUE(Eventually([&] { return Delivered("list", CREATE_VIDEO_METADATA); }));
    EXPECT_EQ(hub->GetPosition(), 0.25f);
    EXPECT_EQ(parsed, std::vector<QString>{hub->GetVideoFiles()[1]->fileName});
}

TEST_F(MainWindowTest, NotFoundPostsOneBoxPerDeliveryAndTheNextListenerDoesNotWait)
{
    Open();
    window->EnableCaptureButtons(true);
    std::vector<std::size_t> openBoxesSeenByPlayer;
    player->OnUpdate([&](int code, const MessageParam&) {
        if (code == VIDEO_FILE_NOT_FOUND)
            openBoxesSeenByPlayer.push_back(notifier.Count());
    });
    hub->Post(VIDEO_FILE_NOT_FOUND);
    hub->Post(VIDEO_FILE_NOT_FOUND);
    ASSERT_TRUE(Eventually([&] { return Delivered("list", VIDEO_FILE_NOT_FOUND, 2); }));
    EXPECT_EQ(openBoxesSeenByPlayer, (std::vector<std::size_t>{1, 2})) << "boxes still open, delivery went on";
    const auto boxes = notifier.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    for (const auto& box : boxes) {
        EXPECT_EQ(box.kind, RecordingNotifier::Kind::Posted);
        EXPECT_EQ(box.text, QStringLiteral("Невозможно найти файл."));
    }
    EXPECT_FALSE(window->ToolbarButton(MainWindowId::CaptureButton)->isEnabled());
}

// ---- Loads: drop, open, map position ----

TEST_F(MainWindowTest, DropHandsTheLoaderTheFullLocalPathsUnderTheLoadingNotice)
{
    WriteOptions("[OPTION]\r\nUSE_LOG=TRUE\r\n");
    Open();
    const QString root = work.Path() + QStringLiteral("/drop");
    ASSERT_FALSE(root.contains('.')) << "the rule for dotless paths needs a dotless base";
    for (const char* folder : {"folder", "2013.04", "locked"})
        ASSERT_TRUE(QDir(root).mkpath(folder));
    ASSERT_EQ(::chmod(QFile::encodeName(root + "/locked").constData(), 0555), 0);
    ASSERT_TRUE(QFile::link(root + "/folder", root + "/link"));
    testsupport::WriteFileBytes(root + "/clip.avi", "x");
    testsupport::WriteFileBytes(root + "/clip", "x");
    const QString longPath = root + "/" + QString(200, 'd') + "/" + QString(300 - root.size() - 206, 'f') + ".avi";
    ASSERT_EQ(longPath.size(), 300);
    testsupport::WriteFileBytes(longPath, "x");

    QList<QUrl> urls;
    for (const QString& path : {root + "/folder", root + "/2013.04", root + "/locked", root + "/link",
                                root + "/clip.avi", root + "/clip", longPath})
        urls.append(QUrl::fromLocalFile(path));
    urls.insert(2, QUrl(QStringLiteral("http://127.0.0.1/clip.avi")));
    QMimeData data;
    data.setUrls(urls);

    PaintCounter loadingPaints("CLoadingDlg");
    bool noticeUp = false;
    loader = [&](const LoaderCall&) {
        const QList<CLoadingDlg*> notices = window->findChildren<CLoadingDlg*>();
        noticeUp = notices.size() == 1 && notices[0]->isVisible() && loadingPaints.count > 0 &&
                   QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        return ApplicationHub::Entries{};
    };
    QDragEnterEvent enter(QPoint(500, 400), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(500, 400), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &drop);

    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0].folders, (QStringList{root + "/folder", root + "/2013.04", root + "/locked", root + "/link",
                                             root + "/clip"}));
    EXPECT_EQ(loads[0].files, (QStringList{root + "/clip.avi", longPath}));
    EXPECT_TRUE(noticeUp) << "the loading dialog is shown and painted, the wait cursor on, while the loader runs";
    EXPECT_TRUE(window->findChildren<CLoadingDlg*>().isEmpty());
    EXPECT_FALSE(QApplication::overrideCursor());
    const QString log = LogText();
    EXPECT_LT(log.indexOf("[OnDropFiles]\tDrop Files start"), log.indexOf("[OnDropFiles]\tDrop Files end"));
    EXPECT_GE(log.indexOf("[OnDropFiles]\tDrop Files start"), 0);
    EXPECT_FALSE(log.contains("Video Data")) << "only the open command logs it";
    ::chmod(QFile::encodeName(root + "/locked").constData(), 0755);
}

TEST_F(MainWindowTest, CancelledPickerPausesOnceAndKeepsThePlaylist)
{
    Open();
    hub->SetVideoFiles(entries.MakeTypes({RECORDING_EVENT}));
    const ApplicationHub::Entries before = hub->GetVideoFiles();
    window->ToolbarButton(MainWindowId::OpenButton)->click();
    hub->Post(kCodeA);
    ASSERT_TRUE(Eventually([&] { return Delivered("list", kCodeA); }));
    const std::vector<int> codes = CodesOf("list");
    EXPECT_EQ(std::count(codes.begin(), codes.end(), static_cast<int>(VIDEO_PAUSE)), 1);
    EXPECT_TRUE(loads.empty());
    EXPECT_EQ(hub->GetVideoFiles(), before);
    EXPECT_EQ(pickerStarts, QStringList{QString()}) << "the first open starts nowhere in particular";
}

TEST_F(MainWindowTest, OpenedFolderAndFileGiveOneSortedNumberedPlaylistAndTheNextOpenStartsThere)
{
    WriteOptions("[OPTION]\r\nUSE_LOG=TRUE\r\n");
    const RecordingLoader program = MainWindowServices::ProgramRecordingLoader();
    loader = [&](const LoaderCall& call) { return program(call.folders, call.files); };
    Open();
    const QString cards = work.Path() + QStringLiteral("/cards");
    ASSERT_TRUE(QDir().mkpath(cards + "/day") && QDir().mkpath(cards + "/single"));
    testsupport::AviFixtureOptions small;
    small.seconds = 2;
    testsupport::AviFixtureBuilder(small).Write(cards + "/day/20130405_130000_NOR.avi");
    testsupport::AviFixtureBuilder(small).Write(cards + "/day/20130405_110000_EVT.avi");
    testsupport::AviFixtureBuilder(small).Write(cards + "/single/20130405_120000_NOR.avi");
    pickerAnswer = PickedPaths{cards, {cards + "/day", cards + "/single/20130405_120000_NOR.avi"}};

    window->OnBnClickedOpenVideoBtn();
    ASSERT_TRUE(Eventually([&] { return Delivered("list", NEW_VIDEO_PLAY); }));
    const ApplicationHub::Entries playlist = hub->GetVideoFiles();
    ASSERT_EQ(playlist.size(), 3u);
    const QString names[] = {"20130405_110000_EVT.avi", "20130405_120000_NOR.avi", "20130405_130000_NOR.avi"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(playlist[i]->fileName, names[i]);
        EXPECT_EQ(playlist[i]->number, i + 1);
    }
    EXPECT_EQ(loads[0].folders, QStringList{cards + "/day"});
    EXPECT_TRUE(LogText().contains("[OnBnClickedOpenVideoBtn]\tVideo Data"));

    pickerAnswer.reset();
    window->OnBnClickedOpenVideoBtn();
    EXPECT_EQ(pickerStarts, (QStringList{QString(), cards}));
    EXPECT_EQ(window->LastOpenFolder(), cards);
}

TEST_F(MainWindowTest, MapPositionNeedsBothCoordinatesNonZero)
{
    Open();
    for (const auto& [latitude, longitude] : {std::pair{0.0, 127.0}, {37.5, 0.0}, {37.5, 127.0}}) {
        GpsFix fix;
        fix.latitude = latitude;
        fix.longitude = longitude;
        window->OnMapPositionChange(fix);
    }
    ASSERT_EQ(map->shown.size(), 1u);
    EXPECT_EQ(map->shown[0].latitude, 37.5);
    EXPECT_EQ(map->shown[0].longitude, 127.0);
}

// ---- Bad input through the program's loader ----

class BadInput : public MainWindowTest {
protected:
    BadInput()
    {
        const RecordingLoader program = MainWindowServices::ProgramRecordingLoader();
        loader = [program](const LoaderCall& call) { return program(call.folders, call.files); };
    }

    // Every file of the folder and its bytes (FIFOs and links by name).
    std::map<QString, QByteArray> Snapshot(const QString& folder)
    {
        std::map<QString, QByteArray> files;
        for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot)) {
            const QFileInfo info(folder + "/" + name);
            files[name] = info.isFile() && !info.isSymLink() ? testsupport::ReadFileBytes(info.filePath())
                                                               : QByteArray("(not a regular file)");
        }
        return files;
    }

    // Unreadable files, a FIFO, link loops and a text file; with readable
    // ones also files of another layout and a truncated one, which the
    // reader takes as they are, and a recording cut by a power loss.
    QString MakeHostileFolder(bool withReadable)
    {
        const bool withPowerCut = withReadable;
        const QString folder = work.Path() + (withPowerCut ? QStringLiteral("/hostile") : QStringLiteral("/plain"));
        EXPECT_TRUE(QDir().mkpath(folder));
        QByteArray noise(64 * 1024, '\0');
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = static_cast<char>((i * 7919) >> 3);
        testsupport::WriteFileBytes(folder + "/a.avi", noise);
        testsupport::WriteFileBytes(folder + "/b.avi", QByteArray());
        if (withReadable) {
            testsupport::AviFixtureOptions foreign;
            foreign.seconds = 2;
            foreign.foreignLayout = true;
            testsupport::AviFixtureBuilder(foreign).Write(folder + "/c.avi");
            testsupport::AviFixtureOptions truncated;
            truncated.seconds = 2;
            truncated.truncateAt = 40000;
            testsupport::AviFixtureBuilder(truncated).Write(folder + "/d.avi");
        }
        EXPECT_EQ(::mkfifo(QFile::encodeName(folder + "/e.avi").constData(), 0644), 0);
        EXPECT_TRUE(QFile::link(folder, folder + "/loop"));
        EXPECT_TRUE(QFile::link(folder + "/self.avi", folder + "/self.avi"));
        testsupport::WriteFileBytes(folder + "/notes.txt", "notes");
        if (withPowerCut) {
            testsupport::AviFixtureOptions cut;
            cut.seconds = 2;
            cut.powerCut = 0.6;
            testsupport::AviFixtureBuilder(cut).Write(folder + "/20130405_120000_NOR.avi");
        }
        return folder;
    }
};

TEST_F(BadInput, HostileFilesAreLeftAsTheyAreAndBrokenRecordingsAreRepairedWithABackup)
{
    Open();
    const QString folder = MakeHostileFolder(true);
    const std::map<QString, QByteArray> before = Snapshot(folder);
    // A power cut and a truncation both leave a recording the repair mends.
    const QStringList repaired{"20130405_120000_NOR.avi", "d.avi"};

    // Opened, then dropped: nothing crashes, nothing else changes.
    pickerAnswer = PickedPaths{folder, {folder}};
    window->OnBnClickedOpenVideoBtn();
    ASSERT_TRUE(Eventually([&] { return Delivered("list", NEW_VIDEO_PLAY); }));
    // The power-cut recording is dated by its name, so it comes first and
    // plays; the other readable files follow as they are.
    ApplicationHub::Entries playlist = hub->GetVideoFiles();
    ASSERT_EQ(playlist.size(), 3u);
    EXPECT_EQ(playlist[0]->fileName, QStringLiteral("20130405_120000_NOR.avi"));
    EXPECT_EQ(hub->GetCurrentVideoFile(), playlist[0]) << "the repaired recording is the one played";

    window->OnDropFiles({folder});
    ASSERT_TRUE(Eventually([&] { return Delivered("list", NEW_VIDEO_PLAY, 2); }));
    playlist = hub->GetVideoFiles();
    ASSERT_EQ(playlist.size(), 3u);
    EXPECT_EQ(playlist[0]->fileName, QStringLiteral("20130405_120000_NOR.avi"));

    const QString backups = home.path() + QStringLiteral("/Documents/BROKENFILES");
    EXPECT_EQ(QDir(backups).entryList(QDir::Files, QDir::Name), (QStringList{"20130405_120000_NOR.avi", "d.avi"}));
    const std::map<QString, QByteArray> after = Snapshot(folder);
    for (const auto& [name, bytes] : before) {
        if (repaired.contains(name)) {
            EXPECT_EQ(testsupport::ReadFileBytes(backups + "/" + name), bytes) << "the backup of " << name.toStdString();
        } else {
            EXPECT_EQ(after.at(name), bytes) << name.toStdString() << " changed";
        }
    }
}

TEST_F(BadInput, NothingPlayableOrNotARecordingLeavesThePlaylistAndSaysWhy)
{
    Open();
    hub->SetVideoFiles(entries.MakeTypes({RECORDING_EVENT}));
    const ApplicationHub::Entries before = hub->GetVideoFiles();
    const QString folder = MakeHostileFolder(false);

    pickerAnswer = PickedPaths{folder, {folder}};
    window->OnBnClickedOpenVideoBtn();
    window->OnDropFiles({work.Path() + "/x.mp4"});
    testsupport::WriteFileBytes(work.Path() + "/x.mp4", "not a recording");
    window->OnDropFiles({work.Path() + "/x.mp4"});
    hub->Post(kCodeA);
    ASSERT_TRUE(Eventually([&] { return Delivered("list", kCodeA); }));
    EXPECT_EQ(hub->GetVideoFiles(), before);

    testsupport::AviFixtureOptions small;
    small.seconds = 2;
    testsupport::AviFixtureBuilder(small).Write(work.Path() + "/y.avi");
    window->OnDropFiles({work.Path() + "/x.mp4", work.Path() + "/y.avi"});
    ASSERT_TRUE(Eventually([&] { return Delivered("list", NEW_VIDEO_PLAY); }));
    ASSERT_EQ(hub->GetVideoFiles().size(), 1u);
    EXPECT_EQ(hub->GetVideoFiles()[0]->fileName, QStringLiteral("y.avi"));

    std::vector<QString> texts;
    for (const auto& box : notifier.Boxes())
        texts.push_back(box.text);
    EXPECT_EQ(texts, (std::vector<QString>{Common::GetResourceString(300), Common::GetResourceString(299),
                                           Common::GetResourceString(299), Common::GetResourceString(298)}));
}

// ---- Start-up, in-process ----

class Startup : public MainWindowTest {
protected:
    int servicesMade = 0;
    std::function<void(MainWindowServices&)> adjust;

    AppServices App(bool pngReadable = true)
    {
        return {[pngReadable] { return pngReadable; },
                [this] {
                    ++servicesMade;
                    MainWindowServices services = Services();
                    if (adjust)
                        adjust(services);
                    return services;
                }};
    }
};

TEST_F(Startup, MissingLibvlcShowsItsTextOnceAndEndsWithOne)
{
    adjust = [](MainWindowServices& services) {
        services.paneFactory.makePlayer = [](CKestrovViewerNewDlg&) -> IPlayerCommands* {
            throw VlcLoadError(VlcFunctionExecutor::kLibraryMissingText);
        };
    };
    EXPECT_EQ(CKestrovViewerApp().InitInstance(App()), 1);
    const auto boxes = notifier.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, RecordingNotifier::Kind::Message);
    EXPECT_EQ(boxes[0].text, QString::fromUtf8(VlcFunctionExecutor::kLibraryMissingText));
    EXPECT_FALSE(HubWorkerAlive());
    EXPECT_EQ(releases, 1);
}

TEST_F(Startup, UnreadablePngAsksOnceAndTouchesNothing)
{
    EXPECT_EQ(CKestrovViewerApp().InitInstance(App(false)), 1);
    const auto boxes = notifier.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, RecordingNotifier::Kind::Asked);
    EXPECT_EQ(boxes[0].text, QStringLiteral("GDI+ 라이브러리를 초기화할 수 없습니다."));
    EXPECT_EQ(boxes[0].caption, QStringLiteral("알림"));
    EXPECT_EQ(boxes[0].buttons, UserNotifier::Buttons(UserNotifier::Button::Ok));
    EXPECT_EQ(servicesMade, 0);
    EXPECT_FALSE(QFile::exists(OptionsPath()));
    EXPECT_FALSE(QDir(work.Path() + "/LOG").exists());
    EXPECT_TRUE(CKestrovViewerApp::CanReadPng());
}

TEST_F(Startup, CloseEndsTheRunWithZeroAndNoWindowLeft)
{
    testsupport::OnNextModal<CKestrovViewerNewDlg>([](CKestrovViewerNewDlg* shown) { shown->close(); });
    EXPECT_EQ(CKestrovViewerApp().InitInstance(App()), 0);
    EXPECT_EQ(servicesMade, 1);
    for (QWidget* widget : QApplication::topLevelWidgets())
        EXPECT_FALSE(widget->isVisible()) << widget->metaObject()->className();
    EXPECT_TRUE(QFile::exists(OptionsPath()));
    EXPECT_FALSE(HubWorkerAlive());
}

TEST_F(Startup, TerminationRejectsTheOpenBoxThenClosesLikeTheCloseButton)
{
    int boxResult = -1;
    testsupport::OnNextModal<CKestrovViewerNewDlg>([&](CKestrovViewerNewDlg* shown) {
        QTimer::singleShot(0, shown, [&, shown] {
            QMessageBox box(QMessageBox::Warning, QString(), QStringLiteral("box"), QMessageBox::Ok, shown);
            testsupport::OnNextModal<QMessageBox>([](QMessageBox*) { std::raise(SIGTERM); });
            boxResult = box.exec();
        });
    });
    EXPECT_EQ(CKestrovViewerApp().InitInstance(App()), 0);
    EXPECT_NE(boxResult, -1) << "the box was ended";
    EXPECT_TRUE(testsupport::ReadFileBytes(OptionsPath()).contains("PLAY_VALUE=5"));
    struct sigaction now {};
    ::sigaction(SIGTERM, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL) << "the handler goes with the window";
}

}  // namespace
}  // namespace uitest
