#include "core/Common.h"

QStringList Common::Split(const QString& text, QChar separator)
{
    return text.split(separator, Qt::SkipEmptyParts);
}

bool Common::IsNumber(const QString& text)
{
    if (text.isEmpty()) {
        return false;
    }
    // ASCII digits only: QChar::isDigit would take U+0661 or U+FF11, and the
    // low byte alone would take U+0131.
    for (QChar c : text) {
        if (c.unicode() < u'0' || c.unicode() > u'9') {
            return false;
        }
    }
    return true;
}
