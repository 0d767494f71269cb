#pragma once
// The recording list pane at the lower right of the main window: the hub's
// playlist in four columns (number, date, time, type), four buttons and a
// context menu that narrow it to one category, a column click that sorts
// the shared playlist, a double-click that plays a row. The row of the
// recording playing is highlighted.

#include "controls/ImageSource.h"
#include "hub/IListener.h"
#include "platform/widgets/DialogBuilder.h"
#include "ui/RecordingListState.h"

#include <QImage>
#include <QWidget>

#include <map>

class ApplicationHub;
class CMyBitmapButton;
class CSkinListCtrl;
class QLabel;

class VideoListControl : public QWidget, public IListener {
    Q_OBJECT
public:
    // Template 233's controls; the filter buttons are FilterButton.
    enum Control : int {
        List = 1122,
        Caption = 32787,
    };
    static constexpr int kTemplate = 233;
    static constexpr int kHeaderBitmap = 152;
    static constexpr int kHeaderHeight = 33;
    // The context menu's commands.
    enum Command : int {
        ShowAll = 40018,
        ShowNormal = 40019,
        ShowEvent = 40020,
        ShowMotion = 40021,
    };

    // Logs, builds template 233 and initialises it, then attaches to the hub.
    VideoListControl(QWidget* parent, ApplicationHub& hub, const ImageSource& images = ImageSource::Resources());
    // Detaches first; the entries are the hub's, only the references go.
    ~VideoListControl() override;

    // Hub worker: codes 1, 2, 4, 8, 9, 16 and 22. It takes what it needs of
    // the hub, then one UI-thread task does the rest.
    using QWidget::update;
    void update(int code, const MessageParam* payload) override;

    // UI thread.
    void OnBnClickedFilterButton(FilterButton button);
    // 40018 to 40021; other commands are not the pane's.
    void OnCommand(int command);
    void OnNMDblclkVideolist(int row);
    void OnListClick();
    void OnColumnClick(int column);

    const RecordingListState& State() const { return state; }
    CSkinListCtrl* ListControl() const { return list; }
    CMyBitmapButton* Button(FilterButton button) const;
    QLabel* CaptionLabel() const;
    // The pane's client area, inside its 1-px border.
    QWidget* Client() const { return client; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnInitDialog();
    void LayOut();
    void PaintClient(QPainter& painter);

    void OnFilesOpened(ListEntries snapshot);
    void OnPlaybackMoved(unsigned currentIndex);
    void OnFileNotFound();

    void SelectCategory(int k);
    // Fills the list from the entries a filter shows, then shows the row of
    // currentNumber: the all-entries button's action beyond its marking.
    void ShowFilter(int filter);
    void MarkFilterButton(FilterButton selected);
    void EnableFilterButtons();
    void FillList(const ListEntries& entries);
    void RedrawRow(int row);
    void RedrawList();

    ApplicationHub& hub;
    const ImageSource& images;
    QWidget* client = nullptr;
    ControlMap controls;
    CSkinListCtrl* list = nullptr;
    QImage headerBitmap;
    // Each filter image once, for every LoadBitmaps of the buttons.
    std::map<int, QImage> buttonImages;
    RecordingListState state;
    bool initialized = false;
};
