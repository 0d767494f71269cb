#include "ui/TimeText.h"

#include "core/NumberText.h"
#include "core/Numbers.h"

#include <QStringList>
#include <algorithm>
#include <limits>

QString FormatTwoDigits(int value)
{
    const QString digits = Numbers::FormatInt(value);
    return digits.size() < 2 ? QStringLiteral("0") + digits : digits;
}

QString FormatSeconds(int seconds)
{
    if (seconds < 0) {
        return QStringLiteral("00:00:00");
    }
    return FormatTwoDigits(seconds / 3600) + u':' + FormatTwoDigits(seconds % 3600 / 60) + u':' +
           FormatTwoDigits(seconds % 60);
}

uint32_t ParseTimeText(const QString& text)
{
    const QStringList fields = text.split(u':');
    long long total = 0;
    const long long weights[] = {3600, 60, 1};
    for (int i = 0; i < 3 && i < fields.size(); ++i) {
        total += weights[i] * NumberText::ReadIntPrefix(fields[i]);
    }
    return static_cast<uint32_t>(std::clamp<long long>(total, 0, std::numeric_limits<uint32_t>::max()));
}
