#pragma once
// Reading the number at the start of a text, as the C runtime's decimal
// conversions do it, but always in the C locale: the user's locale must not
// turn "23.2475" into 23. Nothing here consults the process locale.

#include <QStringView>

namespace NumberText {

// ASCII blanks, an optional sign, digits with an optional '.' and fraction,
// and an exponent only when digits follow the 'e'. No hex, "inf" or "nan".
// The scanned prefix is converted correctly rounded; no number gives 0.
double ReadDecimalPrefix(QStringView text);

// ASCII blanks, an optional sign and decimal digits; saturates at the 32-bit
// limits; no digits gives 0.
int ReadIntPrefix(QStringView text);

// Truncation toward zero that is defined for every double: NaN gives 0, and
// values beyond the int range give its nearest limit.
int TruncateToInt(double value);

}  // namespace NumberText
