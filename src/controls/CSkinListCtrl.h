#pragma once
// The recording list's look: a report list in dark row colours that marks
// the row being played, under the skinned header, with the image scroll bar
// standing over its right edge in place of its own. Rows scroll by whole
// rows; the hidden vertical bar keeps the position and the limit.

#include "controls/ImageSource.h"
#include "controls/ScrollBarRules.h"
#include "platform/gdi/GdiCompat.h"

#include <QPointer>
#include <QStringList>
#include <QTreeView>
#include <set>

class CSkinHeaderCtrl;
class CSkinVerticleScrollbar;
class QStandardItemModel;

struct RowColors {
    gdi::ColorRef text;
    gdi::ColorRef background;
};
// Even and odd rows by index; a selected row in the selection colours; the
// row whose column-0 text is the number playing in the playing colours,
// selected or not. Only a text of digits is a number.
RowColors RowColours(int row, bool selected, const QString& column0Text, int playingNumber);

class CSkinListCtrl : public QTreeView {
    Q_OBJECT
public:
    static constexpr gdi::ColorRef kBackgroundColor = 0x333333;
    static constexpr int kRowHeight = 17;
    static constexpr int kScrollBarMargin = 22;

    explicit CSkinListCtrl(QWidget* parent = nullptr, const ImageSource& images = ImageSource::Resources());
    ~CSkinListCtrl() override;

    // Once the list has its parent: hides the list's own scroll bars, sets
    // the background and puts the skinned scroll bar beside the list.
    void InitSkin();
    // After every move or resize of the list.
    void PositionScrollBar();

    CSkinHeaderCtrl* Header() const { return skinHeader; }
    CSkinVerticleScrollbar* ScrollBar() const;

    // Whether a selected row loses its selection once it has been drawn.
    void SetUserClicked(bool clicked);
    bool UserClicked() const { return userClicked; }
    void SetPlayingNumber(int number);
    int PlayingNumber() const { return playingNumber; }

    // Report-view calls; rows and columns count from 0, and a row out of
    // range is left alone.
    int InsertColumn(int index, const QString& heading, int width);
    // At `row`, or at the end when row is out of range; the index it got.
    int InsertItem(int row, const QStringList& texts);
    bool SetItemText(int row, int column, const QString& text);
    QString GetItemText(int row, int column) const;
    void DeleteAllItems();
    int GetItemCount() const;
    void EnsureVisible(int row);
    void RedrawItems(int first, int last);
    void SelectItem(int row);
    // The selected row, or -1.
    int GetSelectedItem() const;

    // The scroll position and its limit, in rows.
    int ScrollPosition() const;
    int ScrollLimit() const;
    void Scroll(scrollbar::Action action);
    void ScrollRows(int delta);

signals:
    // A press of the left button on the list; -1 off the rows.
    void itemClicked(int row);
    void itemDoubleClicked(int row);
    void columnClicked(int column);

protected:
    void updateGeometries() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    friend class SkinRowDelegate;
    void SelectedRowPainted(int row);
    void DeselectPainted();

    QStandardItemModel* items;
    CSkinHeaderCtrl* skinHeader;
    const ImageSource& images;
    QPointer<CSkinVerticleScrollbar> scrollBar;
    bool userClicked = false;
    int playingNumber = 0;
    std::set<int> paintedSelected;  // rows to deselect once painted
    bool laying = false;
};
