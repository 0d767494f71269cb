// The main window's commands: capture, cut, print, settings, the full view
// and the about box.

#include "ui/CKestrovViewerNewDlg.h"

#include "core/Common.h"
#include "hub/HubCodes.h"
#include "platform/Paths.h"
#include "platform/UiThread.h"
#include "platform/UserNotifier.h"
#include "recordings/AviSegmentCutter.h"
#include "recordings/RecordingEntry.h"
#include "ui/CAbout.h"
#include "ui/CommandSeams.h"
#include "ui/CommandText.h"
#include "ui/MainWindowSeams.h"
#include "ui/PrintReportData.h"
#include "ui/TimeText.h"
#include "ui/UiAssert.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <mutex>

namespace {

constexpr int kCutFailedText = 318;
constexpr int kCutDoneText = 256;
constexpr int kOpenFolderFailedText = 6020;
constexpr auto kSnapshotBound = std::chrono::seconds(3);

// The wait cursor for as long as it lives.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

std::filesystem::path FileSystemPath(const QString& path)
{
    return std::filesystem::path(path.toStdString());
}

}  // namespace

bool CKestrovViewerNewDlg::HasCurrentEntry() const
{
    return Hub().GetCurrentVideoFile() != nullptr;
}

// ---- Capture ----

void CKestrovViewerNewDlg::OnBnClickedVideoCaptureBtn()
{
    ui::AssertUiThread();
    Log(QStringLiteral("Video Capture Button Click"), "OnBnClickedVideoCaptureBtn");
    const std::shared_ptr<RecordingEntry> entry = Hub().GetCurrentVideoFile();
    if (!entry)
        return;
    Hub().Post(VIDEO_PAUSE);
    const OptionRecord options = GetOptionRecord();
    const QString folder = MakeCaptureFolder(options.GetSaveDirectory(), options.GetCaptureFolderName());
    // One level; when it cannot be made the channels report their own failure.
    if (!QFileInfo(folder).isDir())
        QDir().mkdir(folder);
    auto payload = std::make_unique<MessageParam>();
    payload->snapshotPath = MakeCapturePath(folder, entry->fileName, MakeTimeSuffix(services.clock()));
    payload->snapshotFolder = folder;
    Hub().Post(CAPTURE_VIDEO_SNAPSHOT, std::move(payload));
    Log(QStringLiteral("Video Capture end"), "OnBnClickedVideoCaptureBtn");
}

// ---- Cut ----

void CKestrovViewerNewDlg::OnBnClickedVideoRecordBtn()
{
    ui::AssertUiThread();
    Log(QStringLiteral("Video Record Button Click"), "OnBnClickedVideoRecordBtn");
    Hub().Post(VIDEO_PAUSE);
    const std::shared_ptr<RecordingEntry> entry = Hub().GetCurrentVideoFile();
    if (entry) {
        if (const std::optional<CutChoice> choice = services.commandDialogs->RunCutDialog(this, entry)) {
            const QString destination = Paths::Join(choice->outputFolder, choice->outputFileName);
            QString source;
            {
                std::lock_guard lock(Hub().fileLock);
                source = entry->path;
            }
            bool cut = false;
            {
                WaitCursor wait;
                cut = AviSegmentCutter::CutSegment(FileSystemPath(source), ParseTimeText(choice->startTime),
                                                   ParseTimeText(choice->endTime), FileSystemPath(destination));
            }
            if (!cut) {
                services.notifier->ShowMessage(Common::GetResourceString(kCutFailedText));
                return;
            }
            const UserNotifier::Button answer =
                services.notifier->Ask(destination + Common::GetResourceString(kCutDoneText), QString(),
                                       UserNotifier::Button::Yes | UserNotifier::Button::No, UserNotifier::Button::Yes);
            if (answer == UserNotifier::Button::Yes && !services.openFolder(choice->outputFolder)) {
                services.notifier->ShowMessage(Common::GetResourceString(kOpenFolderFailedText) + QLatin1Char('\n') +
                                               choice->outputFolder);
            }
        }
    }
    Log(QStringLiteral("Video Record end"), "OnBnClickedVideoRecordBtn");
}

// ---- Print ----

void CKestrovViewerNewDlg::OnBnClickedPrintBtn()
{
    ui::AssertUiThread();
    Log(QStringLiteral("Video Print Button Click"), "OnBnClickedPrintBtn");
    Hub().Post(VIDEO_PAUSE);
    if (HasCurrentEntry()) {
        PrintReportData record;
        BuildPrintReport(record);
        services.commandDialogs->PrintReport(this, record);
    }
    Log(QStringLiteral("Video print end"), "OnBnClickedPrintBtn");
}

void CKestrovViewerNewDlg::BuildPrintReport(PrintReportData& record)
{
    ui::AssertUiThread();
    record = PrintReportData();
    const std::shared_ptr<RecordingEntry> entry = Hub().GetCurrentVideoFile();
    if (!entry)
        return;
    // What the report needs of the entry, copied; the lock is not held while
    // the snapshots are waited for.
    int videoStreamCount = 0;
    QString dateText;
    QString timeText;
    std::optional<GpsFix> fix;
    std::optional<MotionSample> sample;
    {
        std::lock_guard lock(Hub().fileLock);
        const double seconds = double(Hub().GetPosition()) * entry->duration;
        videoStreamCount = entry->videoStreamCount;
        dateText = entry->GetDateText();
        timeText = entry->GetTimeText();
        fix = entry->GetGpsFixAt(seconds);
        sample = entry->GetMotionSampleAt(seconds);
    }

    // A folder of this print's own (0700), gone with its files at the end:
    // a name in the shared temporary folder could be planted beforehand.
    QTemporaryDir folder;
    if (folder.isValid()) {
        const QString path = MakeTempSnapshotPath(folder.path());
        playerPane->TakeSnapshot(path, QString());
        LoadSnapshotImages(record, path, videoStreamCount);
    }
    record.mapImage = CaptureMapImage();

    const ReportLines lines = MakeReportLines(fix, sample, dateText, timeText);
    if (sample) {
        if (IGyroscopePane* gyroscope = playerPane->GyroscopePane())
            gyroscope->SetSensorValueLabels(*sample);
    }
    record.SetGSensorText(lines.gSensor);
    record.SetDateTimeText(lines.dateTime);
    record.SetSpeedText(lines.speed);
    record.SetLatitudeText(lines.latitude);
    record.SetLongitudeText(lines.longitude);
}

QString CKestrovViewerNewDlg::MakeTempSnapshotPath(const QString& folder) const
{
    return Paths::Join(folder, QStringLiteral("tempVideoSnapshotFile") + MakeTimeSuffix(services.clock()) +
                                   QStringLiteral(".png"));
}

// The front picture first, then the rear; each file goes once read.
void CKestrovViewerNewDlg::LoadSnapshotImages(PrintReportData& record, const QString& path, int videoStreamCount)
{
    const std::vector<QString> files = SnapshotFiles(path, videoStreamCount);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const QImage image = WaitForCompletePng(files[i], kSnapshotBound, [] { UiThread::ServePending(); });
        (i == 0 ? record.channel1Image : record.channel2Image) = image;
        QFile::remove(files[i]);
    }
}

QImage CKestrovViewerNewDlg::CaptureMapImage()
{
    return mapPane ? mapPane->GrabMapImage() : QImage();
}

// ---- Settings ----

void CKestrovViewerNewDlg::OnBnClickedOptionBtn()
{
    ui::AssertUiThread();
    Log(QStringLiteral("Video Option Button Click"), "OnBnClickedOptionBtn");
    Hub().Post(VIDEO_PAUSE);
    OptionRecord options = GetOptionRecord();
    if (currentDrive.isEmpty()) {
        // A cancel goes on with the drive option.ini holds.
        if (const std::optional<QString> drive = services.startupDriveChooser(this)) {
            options.drivePath = *drive;
            currentDrive = *drive;
        }
    } else {
        options.drivePath = currentDrive;
    }
    SetOptionRecord(options);
    SetOptionRecord(services.commandDialogs->RunSettingsSession(this, options, [this] { StopPlaybackForFormat(); }));
    int error = 0;
    if (!GetOptionRecord().Save(&error) && !OptionRecord::FilePath().isEmpty())
        services.notifier->ShowFileError(OptionRecord::FilePath(), error);
    PostSeekStep();
    Log(QStringLiteral("Video Option end"), "OnBnClickedOptionBtn");
}

void CKestrovViewerNewDlg::StopPlaybackForFormat()
{
    ui::AssertUiThread();
    Hub().ClearMessages();
    playerPane->StopPlayback();
    Hub().Post(VIDEO_STOP);
}

// ---- View ----

void CKestrovViewerNewDlg::ShowNormalView(bool shown)
{
    Hub().SetMaximized(!shown);
    if (mapPane)
        mapPane->SetShown(shown);
    if (listPane)
        listPane->setVisible(shown);
    ShowToolbarButtons(shown);
    LayoutControls();
}

void CKestrovViewerNewDlg::OnBnClickedVideoMaximizeBtn()
{
    ui::AssertUiThread();
    Log(QStringLiteral("Video Maximize Button Click"), "OnBnClickedVideoMaximizeBtn");
    ShowNormalView(false);
    Log(QStringLiteral("Video Maximize end"), "OnBnClickedVideoMaximizeBtn");
}

void CKestrovViewerNewDlg::OnBnClickedVideoMinimizeBtn()
{
    ui::AssertUiThread();
    Log(QStringLiteral("Video Minimize Button Click"), "OnBnClickedVideoMinimizeBtn");
    ShowNormalView(true);
    Log(QStringLiteral("Video Minimize end"), "OnBnClickedVideoMinimizeBtn");
}

void CKestrovViewerNewDlg::ToggleVideoMaximize()
{
    if (Hub().GetMaximized())
        OnBnClickedVideoMinimizeBtn();
    else
        OnBnClickedVideoMaximizeBtn();
}

// ---- About ----

void CKestrovViewerNewDlg::OnBnClickedHelpBtn()
{
    ui::AssertUiThread();
    Log(QStringLiteral("Video Help Button Click"), "OnBnClickedHelpBtn");
    Hub().Post(VIDEO_PAUSE);
    CAbout about(this, Images());
    about.exec();
    Log(QStringLiteral("Video Help end"), "OnBnClickedHelpBtn");
}
