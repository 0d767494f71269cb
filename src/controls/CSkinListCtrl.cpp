#include "controls/CSkinListCtrl.h"

#include "controls/CSkinHeaderCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "controls/ControlSupport.h"
#include "core/Numbers.h"
#include "platform/gdi/GdiDraw.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {

constexpr gdi::ColorRef kRowText = 0xC8C8C8;
constexpr gdi::ColorRef kEvenRow = 0x505050;
constexpr gdi::ColorRef kOddRow = 0x3C3C3C;
constexpr RowColors kSelected{0x141414, 0x00A5FF};
constexpr RowColors kPlaying{0xC8C8C8, 0xC56A31};
constexpr int kTextPadding = 4;

}  // namespace

RowColors RowColours(int row, bool selected, const QString& column0Text, int playingNumber)
{
    RowColors colours{kRowText, row % 2 != 0 ? kOddRow : kEvenRow};
    if (selected)
        colours = kSelected;
    const std::optional<int> number = Numbers::ParseDecimal(column0Text);
    if (number && *number == playingNumber)
        colours = kPlaying;
    return colours;
}

// Paints each cell in its row's colours; the style draws no selection or
// focus of its own, since the cell is filled and the text drawn here.
class SkinRowDelegate : public QStyledItemDelegate {
public:
    explicit SkinRowDelegate(CSkinListCtrl& list) : QStyledItemDelegate(&list), list(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        const QString number = index.sibling(index.row(), 0).data().toString();
        const RowColors colours = RowColours(index.row(), selected, number, list.PlayingNumber());
        painter->save();
        painter->fillRect(option.rect, gdi::ToQColor(colours.background));
        painter->setFont(option.font);
        painter->setPen(gdi::ToQColor(colours.text));
        gdi::DrawText(*painter, option.rect.adjusted(kTextPadding, 0, -kTextPadding, 0), index.data().toString(),
                      gdi::DT_LEFT | gdi::DT_VCENTER | gdi::DT_SINGLELINE | gdi::DT_NOPREFIX | gdi::DT_END_ELLIPSIS);
        painter->restore();
        if (selected)
            list.SelectedRowPainted(index.row());
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), CSkinListCtrl::kRowHeight);
    }

private:
    CSkinListCtrl& list;
};

CSkinListCtrl::CSkinListCtrl(QWidget* parent, const ImageSource& images)
    : QTreeView(parent),
      items(new QStandardItemModel(this)),
      skinHeader(new CSkinHeaderCtrl(this, images)),
      images(images)
{
    setHeader(skinHeader);
    setModel(items);
    setItemDelegate(new SkinRowDelegate(*this));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFrameShape(QFrame::NoFrame);
    setIndentation(0);
    // The view resets these when it takes the header.
    skinHeader->setSectionsClickable(true);
    skinHeader->setSectionsMovable(true);
    // A tree view holds its first column in place for the tree; a list has none.
    skinHeader->setFirstSectionMovable(true);
    connect(skinHeader, &QHeaderView::sectionClicked, this, &CSkinListCtrl::columnClicked);
}

CSkinListCtrl::~CSkinListCtrl()
{
    delete scrollBar.data();
}

CSkinVerticleScrollbar* CSkinListCtrl::ScrollBar() const
{
    return scrollBar;
}

void CSkinListCtrl::InitSkin()
{
    controls::AssertUiThread(this);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, gdi::ToQColor(kBackgroundColor));
    colours.setColor(QPalette::Window, gdi::ToQColor(kBackgroundColor));
    setPalette(colours);
    setAutoFillBackground(true);

    if (!scrollBar) {
        // Made after the list, so it stands above it.
        scrollBar = new CSkinVerticleScrollbar(*this, parentWidget(), images);
        QScrollBar* rows = verticalScrollBar();
        connect(rows, &QScrollBar::valueChanged, scrollBar, &CSkinVerticleScrollbar::UpdateThumb);
        connect(rows, &QScrollBar::rangeChanged, scrollBar, &CSkinVerticleScrollbar::UpdateThumb);
        if (parentWidget() != nullptr)
            scrollBar->show();
    }
    PositionScrollBar();
    userClicked = true;
}

void CSkinListCtrl::PositionScrollBar()
{
    controls::AssertUiThread(this);
    if (!scrollBar)
        return;
    const QRect list = geometry();
    scrollBar->setGeometry(gdi::Right(list) - kScrollBarMargin, list.top(), 20, list.height() + 2);
    scrollBar->UpdateThumb();
}

void CSkinListCtrl::SetUserClicked(bool clicked)
{
    controls::AssertUiThread(this);
    userClicked = clicked;
}

void CSkinListCtrl::SetPlayingNumber(int number)
{
    controls::AssertUiThread(this);
    playingNumber = number;
}

int CSkinListCtrl::InsertColumn(int index, const QString& heading, int width)
{
    controls::AssertUiThread(this);
    const int column = std::clamp(index, 0, items->columnCount());
    items->insertColumn(column);
    items->setHeaderData(column, Qt::Horizontal, heading);
    skinHeader->resizeSection(column, std::max(0, width));
    return column;
}

int CSkinListCtrl::InsertItem(int row, const QStringList& texts)
{
    controls::AssertUiThread(this);
    const int at = row >= 0 && row <= items->rowCount() ? row : items->rowCount();
    QList<QStandardItem*> cells;
    const int columns = std::max(1, items->columnCount());
    for (int column = 0; column < columns; ++column) {
        auto* cell = new QStandardItem(column < texts.size() ? texts[column] : QString());
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        cells << cell;
    }
    items->insertRow(at, cells);
    return at;
}

bool CSkinListCtrl::SetItemText(int row, int column, const QString& text)
{
    controls::AssertUiThread(this);
    QStandardItem* cell = items->item(row, column);
    if (cell == nullptr)
        return false;
    cell->setText(text);
    return true;
}

QString CSkinListCtrl::GetItemText(int row, int column) const
{
    const QStandardItem* cell = items->item(row, column);
    return cell ? cell->text() : QString();
}

void CSkinListCtrl::DeleteAllItems()
{
    controls::AssertUiThread(this);
    items->removeRows(0, items->rowCount());
}

int CSkinListCtrl::GetItemCount() const
{
    return items->rowCount();
}

void CSkinListCtrl::EnsureVisible(int row)
{
    controls::AssertUiThread(this);
    const QModelIndex index = items->index(row, 0);
    if (index.isValid())
        scrollTo(index, QAbstractItemView::EnsureVisible);
}

void CSkinListCtrl::RedrawItems(int first, int last)
{
    controls::AssertUiThread(this);
    first = std::max(first, 0);
    last = std::min(last, GetItemCount() - 1);
    if (first > last)
        return;
    const QRect top = visualRect(items->index(first, 0));
    const QRect bottom = visualRect(items->index(last, 0));
    viewport()->update(QRect(0, top.top(), viewport()->width(), bottom.bottom() - top.top() + 1));
}

void CSkinListCtrl::SelectItem(int row)
{
    controls::AssertUiThread(this);
    const QModelIndex index = items->index(row, 0);
    if (index.isValid())
        selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int CSkinListCtrl::GetSelectedItem() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

int CSkinListCtrl::ScrollPosition() const
{
    return verticalScrollBar()->value();
}

int CSkinListCtrl::ScrollLimit() const
{
    return verticalScrollBar()->maximum();
}

void CSkinListCtrl::Scroll(scrollbar::Action action)
{
    controls::AssertUiThread(this);
    QScrollBar* rows = verticalScrollBar();
    switch (action) {
    case scrollbar::Action::LineUp: rows->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
    case scrollbar::Action::LineDown: rows->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    case scrollbar::Action::PageUp: rows->triggerAction(QAbstractSlider::SliderPageStepSub); break;
    case scrollbar::Action::PageDown: rows->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
    case scrollbar::Action::None: break;
    }
}

void CSkinListCtrl::ScrollRows(int delta)
{
    controls::AssertUiThread(this);
    QScrollBar* rows = verticalScrollBar();
    const long long target = (long long)rows->value() + delta;
    rows->setValue(int(std::clamp<long long>(target, rows->minimum(), rows->maximum())));
}

// The tree view lays its viewport under the header each time; the right
// margin keeps the rows out from under the skinned scroll bar.
void CSkinListCtrl::updateGeometries()
{
    if (laying)
        return;
    laying = true;
    QTreeView::updateGeometries();
    const int headerHeight = viewportMargins().top();
    setViewportMargins(0, headerHeight, kScrollBarMargin, 0);
    const QRect rows = viewport()->geometry();
    skinHeader->setGeometry(rows.left(), rows.top() - headerHeight, rows.width(), headerHeight);
    laying = false;
}

void CSkinListCtrl::mousePressEvent(QMouseEvent* event)
{
    QTreeView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        emit itemClicked(indexAt(event->position().toPoint()).row());
}

void CSkinListCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit itemDoubleClicked(indexAt(event->position().toPoint()).row());
}

void CSkinListCtrl::SelectedRowPainted(int row)
{
    if (!userClicked)
        return;
    const bool queued = !paintedSelected.empty();
    paintedSelected.insert(row);
    if (!queued)
        QMetaObject::invokeMethod(this, &CSkinListCtrl::DeselectPainted, Qt::QueuedConnection);
}

// Quietly, so the deselection asks for no repaint: the row keeps the
// selection colours until it is drawn again.
void CSkinListCtrl::DeselectPainted()
{
    const QSignalBlocker quiet(selectionModel());
    for (const int row : paintedSelected)
        selectionModel()->select(items->index(row, 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    paintedSelected.clear();
}
