#include "ui/MapPaneGeometry.h"

#include "core/Numbers.h"
#include "recordings/RecordingEntry.h"

#include <algorithm>
#include <cmath>

// The values reach to the next control (the longitude to the frame): in
// the dialogs' font a coordinate such as -122.419400 is wider than 60. The
// longitude's caption reaches to its value, so that "Долгота : " fits once
// narrowed.
MapPaneRects MapPaneLayout(int w, int h)
{
    const int valueY = h - 23;
    return {
        QRect(10, 11, 70, 20),
        QRect(w - 40, 1, 33, 33),
        QRect(2, 35, w - 4, h - 65),
        QRect((w - 128) / 2, (h - 158) / 2, 128, 158),
        QRect(20, valueY, 40, 13),
        QRect(60, valueY, 90, 13),
        QRect(150, valueY, 50, 13),
        QRect(200, valueY, std::max(60, w - 202), 13),
    };
}

QRect MapSlotRect(QSize parentClientSize)
{
    return QRect(parentClientSize.width() - 285, 46, 280, parentClientSize.height() / 3 + 50);
}

int FloatingHitTest(QSize size, QPoint point)
{
    const bool right = point.x() >= size.width() - 10;
    const bool bottom = point.y() >= size.height() - 10;
    if (right && bottom)
        return HitBottomRight;
    if (bottom)
        return HitBottom;
    if (right)
        return HitRight;
    return HitCaption;
}

std::array<int, 3> PopupIcons(bool undocked, bool enabled)
{
    if (undocked)
        return enabled ? std::array{341, 342, 342} : std::array{343, 343, 343};
    return enabled ? std::array{102, 236, 236} : std::array{237, 237, 237};
}

bool HasPosition(const RecordingEntry& entry)
{
    return std::any_of(entry.gpsFixes.begin(), entry.gpsFixes.end(),
                       [](const GpsFix& fix) { return fix.latitude != 0 && fix.longitude != 0; });
}

QString PositionChangeScript(double latitude, double longitude)
{
    // The page ignores what is not a finite number; NaN keeps the script valid.
    const auto number = [](double value) {
        return std::isfinite(value) ? Numbers::FormatShortest(value) : QStringLiteral("NaN");
    };
    return QStringLiteral("if (typeof positionChange === 'function') positionChange(%1, %2);")
        .arg(number(latitude), number(longitude));
}
