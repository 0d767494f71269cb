// The main window as the hub's first listener, and the loads of recordings.

#include "ui/CKestrovViewerNewDlg.h"

#include "core/Common.h"
#include "hub/HubCodes.h"
#include "platform/UiThread.h"
#include "platform/UserNotifier.h"
#include "recordings/RecordingEntry.h"
#include "ui/LoadingNotice.h"
#include "ui/MainWindowSeams.h"
#include "ui/PathSorting.h"
#include "ui/UiAssert.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <mutex>

namespace {

constexpr int kNotFoundText = 292;

// The local files among dropped URLs; anything else is not ours to open.
QStringList LocalPaths(const QMimeData* data)
{
    QStringList paths;
    if (!data)
        return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}

}  // namespace

void CKestrovViewerNewDlg::update(int code, const MessageParam* payload)
{
    switch (code) {
    case SET_VIDEO_FILES:
        HandOverParkedEntries();
        break;
    case VIDEO_PLAY:
    case VIDEO_PREVIOUS:
    case VIDEO_NEXT:
    case NEW_VIDEO_PLAY:
        UiThread::Invoke([this] { EnableCaptureButtons(true); });
        Hub().ClearMessages();
        break;
    case VIDEO_STOP:
        UiThread::Invoke([this] { EnableCaptureButtons(false); });
        Hub().ClearMessages();
        break;
    case SET_CURRENT_VIDEO_INDEX:
        Hub().SetCurrentIndex(payload->index);
        break;
    case CREATE_VIDEO_METADATA:
        Hub().LoadCurrentVideoMetadata();
        break;
    case VIDEO_FRAME_POSITION_CHANGED:
        Hub().SetPosition(payload->position);
        break;
    case VIDEO_FILE_NOT_FOUND:
        // Shown on the UI thread later; the delivery goes on at once.
        services.notifier->PostMessage(Common::GetResourceString(kNotFoundText));
        UiThread::Invoke([this] { EnableCaptureButtons(false); });
        break;
    default:
        break;
    }
}

void CKestrovViewerNewDlg::HandOverParkedEntries()
{
    std::lock_guard lock(pendingLock);
    batchQueued = false;
    // A 0 whose entries a newer batch took over leaves the playlist alone.
    if (pendingVideoFiles.empty())
        return;
    Hub().SetVideoFiles(std::move(pendingVideoFiles));
    pendingVideoFiles.clear();
}

void CKestrovViewerNewDlg::SetPendingVideoFiles(ApplicationHub::Entries entries)
{
    ui::AssertUiThread();
    std::lock_guard lock(pendingLock);
    pendingVideoFiles = std::move(entries);
    if (batchQueued)
        return;  // the batch on its way hands these over
    std::vector<HubMessage> batch;
    batch.emplace_back(SET_VIDEO_FILES);
    batch.emplace_back(VIDEO_FILES_OPENED);
    auto first = std::make_unique<MessageParam>();
    first->index = 0;
    batch.emplace_back(SET_CURRENT_VIDEO_INDEX, std::move(first));
    batch.emplace_back(SET_CURRENT_VIDEO_MEDIA);
    batch.emplace_back(NEW_VIDEO_PLAY);
    batchQueued = Hub().PostBatch(std::move(batch), KeepOnClear::Yes);
}

std::size_t CKestrovViewerNewDlg::ParkedEntryCount()
{
    std::lock_guard lock(pendingLock);
    return pendingVideoFiles.size();
}

void CKestrovViewerNewDlg::OpenVideoFiles(const QStringList& folders, const QStringList& files)
{
    ui::AssertUiThread();
    ApplicationHub::Entries entries = services.recordingLoader(folders, files);
    if (entries.empty())
        return;
    SetPendingVideoFiles(std::move(entries));
    Log(QStringLiteral("Video Data"), "OnBnClickedOpenVideoBtn");
}

void CKestrovViewerNewDlg::OnBnClickedOpenVideoBtn()
{
    ui::AssertUiThread();
    Log(QStringLiteral("Video Open Button Click"), "OnBnClickedOpenVideoBtn");
    Hub().Post(VIDEO_PAUSE);
    const std::optional<PickedPaths> picked = services.openPicker(this, lastOpenFolder);
    if (!picked)
        return;
    lastOpenFolder = picked->folder;
    LoadingNotice notice(*this, true);
    const SortedPaths sorted = SortPickedPaths(picked->paths);
    OpenVideoFiles(sorted.folders, sorted.files);
}

void CKestrovViewerNewDlg::OnDropFiles(const QStringList& paths)
{
    ui::AssertUiThread();
    Log(QStringLiteral("Drop Files start"), "OnDropFiles");
    {
        LoadingNotice notice(*this, false);
        if (!paths.isEmpty()) {
            const SortedPaths sorted = SortDroppedPaths(paths);
            ApplicationHub::Entries entries = services.recordingLoader(sorted.folders, sorted.files);
            if (!entries.empty())
                SetPendingVideoFiles(std::move(entries));
        }
    }
    Log(QStringLiteral("Drop Files end"), "OnDropFiles");
}

void CKestrovViewerNewDlg::dragEnterEvent(QDragEnterEvent* event)
{
    if (!LocalPaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CKestrovViewerNewDlg::dropEvent(QDropEvent* event)
{
    const QStringList paths = LocalPaths(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    OnDropFiles(paths);
}

void CKestrovViewerNewDlg::OnMapPositionChange(const GpsFix& fix)
{
    ui::AssertUiThread();
    if (fix.latitude != 0 && fix.longitude != 0 && mapPane)
        mapPane->ShowPosition(fix);
}
