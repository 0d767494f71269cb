#pragma once
// The skinned list in a parent, over a fake skin of flat colours, filled
// with numbered rows as the recording list fills it.

#include "ControlsTestSupport.h"
#include "controls/CSkinHeaderCtrl.h"
#include "controls/CSkinListCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "core/Numbers.h"

#include <QCoreApplication>
#include <memory>

namespace controlstest {

inline const QColor kHeaderImage(10, 20, 30);
inline const QColor kTopImage(200, 0, 0);
inline const QColor kUpImage(0, 200, 0);
inline const QColor kDownImage(0, 0, 200);
inline const QColor kBottomImage(200, 200, 0);
inline const QColor kThumbImage(0, 200, 200);

inline void AddListSkin(FakeImageSource& skin)
{
    const QSize size(18, 18);
    skin.AddBitmap(CSkinHeaderCtrl::kBackgroundImage, Flat(size, kHeaderImage));
    skin.AddBitmap(CSkinVerticleScrollbar::kTopImage, Flat(size, kTopImage));
    skin.AddBitmap(CSkinVerticleScrollbar::kUpImage, Flat(size, kUpImage));
    skin.AddBitmap(CSkinVerticleScrollbar::kDownImage, Flat(size, kDownImage));
    skin.AddBitmap(CSkinVerticleScrollbar::kBottomImage, Flat(size, kBottomImage));
    skin.AddBitmap(CSkinVerticleScrollbar::kThumbImage, Flat(size, kThumbImage));
}

inline QRgb Rgb(gdi::ColorRef colour)
{
    return gdi::ToQColor(colour).rgb();
}

// Four columns as the list pane has them, `rows` rows numbered from 1.
inline void Fill(CSkinListCtrl& list, int rows)
{
    list.InsertColumn(0, QStringLiteral("Номер"), 40);
    list.InsertColumn(1, QStringLiteral("Дата"), 80);
    list.InsertColumn(2, QStringLiteral("Время"), 60);
    list.InsertColumn(3, QStringLiteral("Тип"), 60);
    for (int row = 0; row < rows; ++row)
        list.InsertItem(row, {Numbers::FormatInt(row + 1), QStringLiteral("2026-12-10"), QStringLiteral("10:00:00"),
                              QStringLiteral("Событие")});
}

// A list at (1, 35) in a shown parent, skinned and laid out.
class SkinListTest : public testing::Test {
protected:
    void Build(int rows, QSize listSize = QSize(300, 198))
    {
        AddListSkin(skin);
        parent.resize(listSize.width() + 20, listSize.height() + 60);
        list = std::make_unique<CSkinListCtrl>(&parent, skin);
        list->setGeometry(1, 35, listSize.width(), listSize.height());
        Fill(*list, rows);
        list->InitSkin();
        parent.show();
        Settle();
    }
    // Lets the delayed layout and queued work of the views run.
    static void Settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    CSkinVerticleScrollbar& Bar() { return *list->ScrollBar(); }
    // The y of a row's middle in the list's coordinates.
    static int RowY(int row) { return CSkinHeaderCtrl::kHeight + row * CSkinListCtrl::kRowHeight + 8; }

    FakeImageSource skin;
    QWidget parent;
    std::unique_ptr<CSkinListCtrl> list;
};

}  // namespace controlstest
