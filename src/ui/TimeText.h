#pragma once
// Segment times as the cut dialog shows them and the cut command reads them
// back: "HH:MM:SS", hours growing past two digits.

#include <QString>
#include <cstdint>

// "%.2d": at least two digits, a leading zero below 10.
QString FormatTwoDigits(int value);

// Two-digit hours, minutes and seconds joined by ':' (100 hours and more get
// more hour digits); a negative count gives "00:00:00".
QString FormatSeconds(int seconds);

// hours × 3600 + minutes × 60 + seconds from the three fields between ':',
// each read as the C runtime's atol reads (blanks, a sign, digits; none
// gives 0). The inverse of FormatSeconds; a negative total gives 0, one past
// the 32-bit range its maximum.
uint32_t ParseTimeText(const QString& text);
