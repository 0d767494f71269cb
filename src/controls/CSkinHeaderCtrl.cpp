#include "controls/CSkinHeaderCtrl.h"

#include "controls/MemoryDC.h"
#include "platform/gdi/GdiCompat.h"
#include "platform/gdi/GdiDraw.h"

#include <QPainter>

namespace {

constexpr gdi::ColorRef kStripColor = 0x333333;
constexpr gdi::ColorRef kTextColor = 0xC8C8C8;

}  // namespace

CSkinHeaderCtrl::CSkinHeaderCtrl(QWidget* parent, const ImageSource& images)
    : QHeaderView(Qt::Horizontal, parent), background(images.Bitmap(kBackgroundImage))
{
    setSectionResizeMode(QHeaderView::Fixed);
    setSectionsClickable(true);
    setSectionsMovable(true);
    setStretchLastSection(false);
    setMinimumSectionSize(1);
    setFixedHeight(kHeight);
}

QSize CSkinHeaderCtrl::sizeHint() const
{
    return QSize(QHeaderView::sizeHint().width(), kHeight);
}

void CSkinHeaderCtrl::paintEvent(QPaintEvent*)
{
    QPainter target(viewport());
    const QRect client = viewport()->rect();
    CMemoryDC memory(client, target);
    QPainter& painter = memory.painter();
    painter.fillRect(client, gdi::ToQColor(kStripColor));
    gdi::Stretch(painter, QRect(client.left() + 2, client.top(), client.width(), kHeight), background,
                 QRect(0, 0, 1, kHeight));

    painter.setFont(gdi::MakeFont(QStringLiteral("Sevenet 7"), 14, 0));
    painter.setPen(gdi::ToQColor(kTextColor));
    for (int section = 0; section < count(); ++section) {
        if (isSectionHidden(section))
            continue;
        const QRect item(sectionViewportPosition(section), client.top(), sectionSize(section), client.height());
        const QString heading =
            model() ? model()->headerData(section, orientation()).toString().left(kMaxHeadingLength) : QString();
        gdi::DrawText(painter, item.adjusted(2, 2, -2, -2), heading,
                      gdi::DT_CENTER | gdi::DT_SINGLELINE | gdi::DT_NOPREFIX | gdi::DT_END_ELLIPSIS);
    }
}
