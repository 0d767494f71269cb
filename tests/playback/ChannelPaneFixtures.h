#pragma once
// Both channel panes side by side in a window of their own, over a hub
// harness (stand-in main window first, recorder last), with flips the test
// sets, recorded boxes, and recorders in place of the folder opener and the
// window move.

#include "playback/CFirstChannelVideoPane.h"
#include "playback/CSecondChannelVideoPane.h"
#include "playback/VideoSurface.h"

#include "controls/ImageSource.h"
#include "platform/UiThread.h"
#include "platform/UserNotifier.h"
#include "recordings/RecordingEntry.h"
#include "support/hub/HubHarness.h"
#include "support/QtPrinters.h"
#include "support/playback/FakeChannelPaneHost.h"

#include <QApplication>
#include <QStringList>
#include <QWidget>

#include <atomic>
#include <memory>
#include <mutex>

namespace channeltest {

// A logo bitmap of one colour, for panes that need no skin.
class SolidImages : public ImageSource {
public:
    explicit SolidImages(QRgb colour = 0xFF2060A0) : colour(colour) {}
    QImage Bitmap(int) const override
    {
        QImage image(64, 36, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    }
    QImage Icon(int) const override { return {}; }

private:
    QRgb colour;
};

// A playlist entry for a file, its metadata as the decoder would leave it
// (tests with a loader that reads nothing set the fields themselves).
inline std::shared_ptr<RecordingEntry> Entry(const QString& path, int streams = 2, int type = RECORDING_NORMAL)
{
    auto entry = std::make_shared<RecordingEntry>(OleDateTime(), type, path, path.section('/', -1));
    entry->videoStreamCount = streams;
    entry->selectTrack1 = true;
    return entry;
}

class ChannelPanes {
public:
    struct Options {
        QSize paneSize{640, 360};
        const ImageSource* images = nullptr;  // SolidImages when null
        ApplicationHub::MetadataLoader loader = hubtest::NoLoader();
    };

    ChannelPanes(VlcFunctionExecutor& vlc, Options options) : harness(options.loader), vlc(vlc), options(options)
    {
        UserNotifier::Install(&notifier);
    }
    ~ChannelPanes()
    {
        front.reset();
        rear.reset();
        UserNotifier::Install(nullptr);
    }

    // The panes, initialised and shown side by side, then the recorder.
    void Make()
    {
        front = std::make_unique<CFirstChannelVideoPane>(&window, host, harness.Hub(), vlc,
                                                         options.images ? *options.images : solid);
        front->OnInitDialog();
        rear = std::make_unique<CSecondChannelVideoPane>(&window, host, harness.Hub(), vlc);
        rear->OnInitDialog();
        for (ChannelPane* pane : {static_cast<ChannelPane*>(front.get()), static_cast<ChannelPane*>(rear.get())}) {
            pane->SetFolderOpener([this](const QString& folder) {
                std::lock_guard lock(mutex);
                openedFolders << folder;
                return true;
            });
            pane->SetWindowMoveRequest([this](QWidget*) { ++windowMoves; });
        }
        window.resize(options.paneSize.width() * 2, options.paneSize.height());
        front->setGeometry(0, 0, options.paneSize.width(), options.paneSize.height());
        rear->setGeometry(options.paneSize.width(), 0, options.paneSize.width(), options.paneSize.height());
        window.show();
        harness.AttachRecorder();
    }

    QStringList OpenedFolders()
    {
        std::lock_guard lock(mutex);
        return openedFolders;
    }

    ApplicationHub& Hub() { return harness.Hub(); }

    hubtest::HubHarness harness;
    testsupport::FakeChannelPaneHost host;
    RecordingNotifier notifier;
    QWidget window;
    std::unique_ptr<CFirstChannelVideoPane> front;
    std::unique_ptr<CSecondChannelVideoPane> rear;
    std::atomic<int> windowMoves{0};

private:
    VlcFunctionExecutor& vlc;
    Options options;
    SolidImages solid;
    std::mutex mutex;
    QStringList openedFolders;
};

// A payload with one member set.
template <typename Member, typename Value>
std::unique_ptr<MessageParam> With(Member MessageParam::*member, Value value)
{
    auto payload = std::make_unique<MessageParam>();
    payload.get()->*member = value;
    return payload;
}

inline std::unique_ptr<MessageParam> Snapshot(const QString& path, const QString& folder)
{
    auto payload = std::make_unique<MessageParam>();
    payload->snapshotPath = path;
    payload->snapshotFolder = folder;
    return payload;
}

}  // namespace channeltest
