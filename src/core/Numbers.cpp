#include "core/Numbers.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <string>

namespace Numbers {

std::optional<int> ParseDecimal(QStringView digits)
{
    if (digits.isEmpty()) {
        return std::nullopt;
    }
    long long value = 0;
    for (QChar c : digits) {
        const char16_t unit = c.unicode();
        if (unit < u'0' || unit > u'9') {
            return std::nullopt;
        }
        if (value < INT_MAX) {
            value = std::min<long long>(value * 10 + (unit - u'0'), INT_MAX);
        }
    }
    return static_cast<int>(value);
}

QString FormatInt(long long value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString FormatFixed(double value, int decimals)
{
    decimals = std::clamp(decimals, 0, 340);
    // The largest double has 309 integer digits; room for sign, point and
    // the decimals.
    std::string buffer(static_cast<size_t>(320 + decimals), '\0');
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) {
        return QString();
    }
    return QString::fromLatin1(buffer.data(), result.ptr - buffer.data());
}

QString FormatShortest(double value)
{
    // The longest shortest form of a double is 24 characters.
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

}  // namespace Numbers
