#pragma once
// Numbers in files, commands and scripts, always in the C locale.

#include <QString>
#include <QStringView>
#include <optional>

namespace Numbers {

// The value of a text of ASCII digits only, saturating at 2147483647; none
// for an empty text or any other character (sign, blank, point).
std::optional<int> ParseDecimal(QStringView digits);

// "%d" / "%lld" in the C locale.
QString FormatInt(long long value);

// "%.Nf" in the C locale (same rounding as printf).
QString FormatFixed(double value, int decimals);

// The shortest text that reads back as the same double, in the C locale
// ("127", "37.4999", "1e+300"); "nan", "inf" and "-inf" for the rest.
QString FormatShortest(double value);

}  // namespace Numbers
