#include "ui/VideoListControl.h"

#include "controls/CMyBitmapButton.h"
#include "controls/CSkinListCtrl.h"
#include "core/Common.h"
#include "core/Numbers.h"
#include "hub/ApplicationHub.h"
#include "hub/HubCodes.h"
#include "platform/UiThread.h"
#include "platform/gdi/GdiCompat.h"
#include "ui/MenuResource.h"
#include "ui/PaneSupport.h"
#include "ui/UiAssert.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QPainter>

namespace {

const QString kClass = QStringLiteral("VideoListControl");

constexpr gdi::ColorRef kPaneColor = 0x333333;
constexpr gdi::ColorRef kCaptionColor = 0xC8C8C8;

// Column headings, in column order.
constexpr std::array<int, 4> kHeadings{231, 232, 233, 234};

// Where the resize puts the filter buttons, in button order.
constexpr std::array<int, 4> kButtonX{85, 133, 181, 229};
constexpr int kButtonY = 5;
constexpr QSize kButtonSize(43, 21);

}  // namespace

VideoListControl::VideoListControl(QWidget* parent, ApplicationHub& hub, const ImageSource& images)
    : QWidget(parent), hub(hub), images(images)
{
    ui::AssertUiThread();
    LogPane(QStringLiteral("create"), kClass, kClass);
    // The template's client lies inside the pane's border, which clips it as
    // the border of a child window does.
    client = new QWidget(this);
    client->move(1, 1);
    DialogBuilder::Overrides overrides{
        {List, [this](QWidget* dialog, const DialogControl&) { return list = new CSkinListCtrl(dialog, this->images); }},
    };
    for (FilterButton button : kFilterButtons) {
        overrides[static_cast<int>(button)] = [this](QWidget* dialog, const DialogControl&) {
            return new CMyBitmapButton(dialog, this->images);
        };
    }
    controls = DialogBuilder::Build(DialogTemplate::Get(kTemplate), client, overrides);
    resize(client->size() + QSize(2, 2));
    client->installEventFilter(this);
    OnInitDialog();
    hub.AttachListener(this);
}

VideoListControl::~VideoListControl()
{
    hub.DetachListener(this);
}

void VideoListControl::OnInitDialog()
{
    list->InitSkin();
    const std::array<int, 4> widths = RecordingListState::ColumnWidths(client->width());
    for (int column = 0; column < 4; ++column)
        list->InsertColumn(column, Common::GetResourceString(kHeadings[column]), widths[column]);
    headerBitmap = images.Bitmap(kHeaderBitmap);

    for (FilterButton button : kFilterButtons) {
        const FilterButtonImages initial = RecordingListState::InitialImages(button);
        for (bool selected : {false, true}) {
            const FilterButtonImages marked = RecordingListState::MarkedImages(button, selected);
            for (int id : {initial.normal, initial.selected, initial.disabled, marked.normal})
                buttonImages.try_emplace(id, images.Bitmap(id));
        }
        CMyBitmapButton* widget = Button(button);
        widget->LoadBitmaps(buttonImages[initial.normal], buttonImages[initial.selected], buttonImages[initial.focus],
                            buttonImages[initial.disabled]);
        widget->SizeToContent();
        widget->setEnabled(false);
        connect(widget, &QAbstractButton::clicked, this, [this, button] { OnBnClickedFilterButton(button); });
    }

    QLabel* caption = CaptionLabel();
    QPalette colours = caption->palette();
    colours.setColor(QPalette::WindowText, gdi::ToQColor(kCaptionColor));
    caption->setPalette(colours);
    caption->setAutoFillBackground(false);

    connect(list, &CSkinListCtrl::itemClicked, this, &VideoListControl::OnListClick);
    connect(list, &CSkinListCtrl::itemDoubleClicked, this, &VideoListControl::OnNMDblclkVideolist);
    connect(list, &CSkinListCtrl::columnClicked, this, &VideoListControl::OnColumnClick);
    initialized = true;
    LayOut();
}

CMyBitmapButton* VideoListControl::Button(FilterButton button) const
{
    return controls.Get<CMyBitmapButton>(static_cast<int>(button));
}

QLabel* VideoListControl::CaptionLabel() const
{
    return controls.Get<QLabel>(Caption);
}

// ---- The hub's messages ----

void VideoListControl::update(int code, const MessageParam*)
{
    switch (code) {
    case VIDEO_FILES_OPENED: {
        ListEntries snapshot = hub.GetVideoFiles();
        UiThread::Invoke([this, &snapshot] { OnFilesOpened(std::move(snapshot)); });
        break;
    }
    case VIDEO_PLAY:
    case VIDEO_STOP:
    case VIDEO_PREVIOUS:
    case VIDEO_NEXT:
    case NEW_VIDEO_PLAY: {
        const unsigned index = hub.GetCurrentIndex();
        UiThread::Invoke([this, index] { OnPlaybackMoved(index); });
        break;
    }
    case VIDEO_FILE_NOT_FOUND:
        // The entries stay alive for whoever still holds them.
        hub.ClearVideoFiles();
        UiThread::Invoke([this] { OnFileNotFound(); });
        break;
    default:
        break;
    }
}

void VideoListControl::OnFilesOpened(ListEntries snapshot)
{
    state.Categorise(std::move(snapshot));
    FillList(state.allVideos);
    state.currentNumber = 1;
    list->SetPlayingNumber(1);
    hub.SetFilterType(0);
    EnableFilterButtons();
}

void VideoListControl::OnPlaybackMoved(unsigned currentIndex)
{
    RedrawRow(state.highlightRow);
    list->SetUserClicked(false);
    const int number = static_cast<int>(currentIndex) + 1;
    state.currentNumber = number;
    list->SetPlayingNumber(number);
    const int row = state.FindRow(number, hub.GetFilterType());
    state.highlightRow = row;
    // A row that is not listed (another category, or none after a 22)
    // neither scrolls nor redraws.
    if (RecordingListState::IsRowInside(row, list->GetItemCount())) {
        list->EnsureVisible(row);
        RedrawList();
    }
}

void VideoListControl::OnFileNotFound()
{
    list->DeleteAllItems();
    list->SetPlayingNumber(-1);
    state.currentNumber = -1;
    state.Clear();
    RedrawList();
}

// ---- Categories and the filter buttons ----

void VideoListControl::SelectCategory(int k)
{
    const int filter = RecordingListState::FilterForCategory(k);
    hub.SetFilterType(filter);
    ShowFilter(filter);
}

void VideoListControl::ShowFilter(int filter)
{
    FillList(state.EntriesFor(filter));
    const int row = state.FindRow(state.currentNumber, filter);
    state.highlightRow = row;
    if (RecordingListState::IsRowInside(row, list->GetItemCount())) {
        list->EnsureVisible(row);
        RedrawList();
    }
}

void VideoListControl::OnBnClickedFilterButton(FilterButton button)
{
    ui::AssertUiThread();
    SelectCategory(RecordingListState::CategoryOf(button));
    MarkFilterButton(button);
}

void VideoListControl::MarkFilterButton(FilterButton selected)
{
    Button(selected)->setFocus();
    for (FilterButton button : kFilterButtons) {
        const FilterButtonImages marked = RecordingListState::MarkedImages(button, button == selected);
        CMyBitmapButton* widget = Button(button);
        widget->LoadBitmaps(buttonImages[marked.normal], buttonImages[marked.selected], buttonImages[marked.focus],
                            buttonImages[marked.disabled]);
        widget->SetCheck(button == selected);
    }
}

void VideoListControl::EnableFilterButtons()
{
    for (FilterButton button : kFilterButtons)
        Button(button)->setEnabled(state.IsEnabled(button));
    MarkFilterButton(FilterButton::All);
}

void VideoListControl::OnCommand(int command)
{
    ui::AssertUiThread();
    const auto showIfListed = [this](FilterButton button) {
        if (state.IsEnabled(button))
            OnBnClickedFilterButton(button);
    };
    switch (command) {
    case ShowAll:
        EnableFilterButtons();
        OnBnClickedFilterButton(FilterButton::All);
        break;
    case ShowNormal: showIfListed(FilterButton::Normal); break;
    case ShowEvent: showIfListed(FilterButton::Event); break;
    case ShowMotion: showIfListed(FilterButton::Motion); break;
    default: break;
    }
}

// ---- The list ----

void VideoListControl::FillList(const ListEntries& entries)
{
    if (list->GetItemCount() > 0)
        list->DeleteAllItems();
    int row = 0;
    for (const std::shared_ptr<RecordingEntry>& entry : entries)
        list->InsertItem(row++, RecordingListState::RowTexts(*entry));
}

void VideoListControl::RedrawRow(int row)
{
    if (RecordingListState::IsRowInside(row, list->GetItemCount()))
        list->RedrawItems(row, row);
}

void VideoListControl::RedrawList()
{
    list->viewport()->update();
}

void VideoListControl::OnNMDblclkVideolist(int row)
{
    ui::AssertUiThread();
    LogPane(QStringLiteral("List Item Duble Click"), kClass, QStringLiteral("OnNMDblclkVideolist"));
    if (!RecordingListState::IsRowInside(row, list->GetItemCount()))
        return;
    const int number = Numbers::ParseDecimal(list->GetItemText(row, 0)).value_or(0);
    // One kept batch, as a load posts: a clear between the three would play
    // another recording, or none.
    std::vector<HubMessage> batch;
    auto index = std::make_unique<MessageParam>();
    index->index = number - 1;
    batch.emplace_back(SET_CURRENT_VIDEO_INDEX, std::move(index));
    batch.emplace_back(SET_CURRENT_VIDEO_MEDIA);
    batch.emplace_back(NEW_VIDEO_PLAY);
    hub.PostBatch(std::move(batch), KeepOnClear::Yes);
    state.currentNumber = number;
    RedrawRow(row);
    state.highlightRow = row;
    LogPane(QStringLiteral("end"), kClass, QStringLiteral("OnNMDblclkVideolist"));
}

void VideoListControl::OnListClick()
{
    list->SetUserClicked(true);
}

void VideoListControl::OnColumnClick(int column)
{
    ui::AssertUiThread();
    switch (column) {
    case 1: hub.SortVideoFilesByDate(); break;
    case 2: hub.SortVideoFilesByTime(); break;
    case 3: hub.SortVideoFilesByType(); break;
    default: return;
    }
    hub.RenumberVideoFiles();
    state.Categorise(hub.GetVideoFiles());
    // The sort kept the current entry current: the highlight follows it.
    const int number = static_cast<int>(hub.GetCurrentIndex()) + 1;
    state.currentNumber = number;
    list->SetPlayingNumber(number);
    std::array<bool, 4> checked{};
    for (std::size_t i = 0; i < kFilterButtons.size(); ++i)
        checked[i] = Button(kFilterButtons[i])->GetCheck();
    OnBnClickedFilterButton(RecordingListState::CheckedCategoryButton(checked));
}

// ---- Menu, layout, painting ----

// The pane's own menu, at the pointer (not where the request says).
void VideoListControl::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    QMenu menu(this);
    MenuResource::BuildPopup(MenuResource::kListPopup, menu);
    if (QAction* chosen = menu.exec(QCursor::pos()))
        OnCommand(chosen->data().toInt());
}

void VideoListControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    client->setGeometry(1, 1, std::max(0, width() - 2), std::max(0, height() - 2));
    LayOut();
}

void VideoListControl::LayOut()
{
    if (!initialized)
        return;
    const int w = client->width();
    const int h = client->height();
    for (std::size_t i = 0; i < kFilterButtons.size(); ++i)
        Button(kFilterButtons[i])->setGeometry(QRect(QPoint(kButtonX[i], kButtonY), kButtonSize));
    list->setGeometry(1, 35, w + 1, h - 38);
    list->PositionScrollBar();
}

void VideoListControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(gdi::ToQColor(kPaneFrameColor));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

bool VideoListControl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == client && event->type() == QEvent::Paint) {
        QPainter painter(client);
        PaintClient(painter);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// The panel colour, then the title strip. The list paints itself; asking it
// to repaint from here would paint for ever.
void VideoListControl::PaintClient(QPainter& painter)
{
    painter.fillRect(client->rect(), gdi::ToQColor(kPaneColor));
    if (!headerBitmap.isNull())
        gdi::Stretch(painter, QRect(0, 0, client->width(), kHeaderHeight), headerBitmap, headerBitmap.rect());
}
