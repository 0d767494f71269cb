// Figures, not a test: the recording list pane with 10,000 recordings. How
// long code 1 takes from the post until the rows are in the list, and a
// column click (the playlist sorted, renumbered and the rows refilled),
// beside a plain QTreeWidget filled with the same rows and sorted by its
// own column. Run by hand: ui_bench.

#include "controls/SkinSupport.h"
#include "controls/CSkinListCtrl.h"
#include "hub/HubCodes.h"
#include "support/hub/HubFixtures.h"
#include "platform/ThreadSanitizerQt.h"
#include "platform/UiThread.h"
#include "platform/gdi/GdiCompat.h"
#include "recordings/RecordingEntry.h"
#include "support/EventLoop.h"
#include "ui/RecordingListState.h"
#include "ui/VideoListControl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

KESTROV_TSAN_IGNORE_QT_INTERNALS()

namespace {

constexpr int kEntries = 10000;
constexpr int kRuns = 5;

ApplicationHub::Entries MakePlaylist(hubtest::EntryFactory& factory)
{
    ApplicationHub::Entries playlist;
    for (int i = 0; i < kEntries; ++i) {
        const int type = 1 + (i * 7) % 5;
        const QString date = QStringLiteral("2013-%1-%2").arg(1 + i % 12, 2, 10, QChar('0')).arg(1 + i % 28, 2, 10, QChar('0'));
        const QString time = RecordingEntry::FormatTimeText(i % 24, i % 60, (i * 13) % 60);
        auto entry = factory.Make(type, date, time);
        entry->number = i + 1;
        playlist.push_back(std::move(entry));
    }
    return playlist;
}

double Median(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

void Print(const char* what, double pane, double peer)
{
    std::printf("%-40s pane %8.1f ms   QTreeWidget %8.1f ms\n", what, pane, peer);
}

// Marks the delivery of a message after every listener before it.
class Tail : public IListener {
public:
    void update(int, const MessageParam*) override { ++delivered; }
    std::atomic<int> delivered{0};
};

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    UiThread::Install();
    gdi::InstallFontSubstitutes();
    std::vector<double> loads, sorts, peerFills, peerSorts;
    {
        controlstest::ScopedSkinModule skin;
        hubtest::EntryFactory factory;
        ApplicationHub hub(hubtest::NoLoader());
        QWidget window;
        window.resize(300, 420);
        VideoListControl pane(&window, hub);
        Tail tail;
        hub.AttachListener(&tail);
        pane.resize(280, 405);
        window.show();

        for (int run = 0; run < kRuns; ++run) {
            hub.SetVideoFiles(MakePlaylist(factory));
            QElapsedTimer timer;
            const int before = tail.delivered;
            timer.start();
            hub.Post(VIDEO_FILES_OPENED);
            testsupport::RunUntil([&] { return tail.delivered > before; });
            loads.push_back(timer.nsecsElapsed() / 1e6);

            timer.start();
            pane.OnColumnClick(1 + run % 3);
            QCoreApplication::processEvents();
            sorts.push_back(timer.nsecsElapsed() / 1e6);
            if (pane.ListControl()->GetItemCount() != kEntries)
                std::fprintf(stderr, "the list holds %d rows\n", pane.ListControl()->GetItemCount());
        }
        hub.StopAndWait([] { UiThread::ServePending(); });
        hub.DetachListener(&tail);

        // The same rows in Qt's own list widget.
        const ApplicationHub::Entries playlist = MakePlaylist(factory);
        for (int run = 0; run < kRuns; ++run) {
            QTreeWidget tree;
            tree.setColumnCount(4);
            tree.resize(280, 370);
            tree.show();
            QElapsedTimer timer;
            timer.start();
            QList<QTreeWidgetItem*> items;
            for (const auto& entry : playlist)
                items.append(new QTreeWidgetItem(RecordingListState::RowTexts(*entry)));
            tree.addTopLevelItems(items);
            QCoreApplication::processEvents();
            peerFills.push_back(timer.nsecsElapsed() / 1e6);
            timer.start();
            tree.sortItems(1 + run % 3, Qt::AscendingOrder);
            QCoreApplication::processEvents();
            peerSorts.push_back(timer.nsecsElapsed() / 1e6);
        }
    }
    std::printf("%d recordings, median of %d runs\n", kEntries, kRuns);
    Print("code 1 (post to rows listed)", Median(loads), Median(peerFills));
    Print("column click (sort, renumber, refill)", Median(sorts), Median(peerSorts));
    UiThread::Close();
    return 0;
}
