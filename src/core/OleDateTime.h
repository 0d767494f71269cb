#pragma once
// A point in time as the recorder's files and the list use it: days since
// 1899-12-30 00:00 as a double, with a valid/invalid status. Days before the
// epoch are stored as the OLE date type does: negative whole days with a
// positive fraction (-1.25 is 1899-12-29 06:00). Proleptic Gregorian, no
// time zone.

#include <cmath>

class OleDateTime {
public:
    struct Parts {
        int year = -1;
        int month = -1;
        int day = -1;
        int hour = -1;
        int minute = -1;
        int second = -1;
    };

    // Invalid.
    OleDateTime() = default;

    // Valid only for an existing moment of years 100 to 9999: month 1-12,
    // a real day of that month, hour 0-23, minute and second 0-59. Nothing
    // carries over into the next field.
    static OleDateTime FromParts(int year, int month, int day, int hour, int minute, int second);
    // Valid when finite and within the range of FromParts.
    static OleDateTime FromDays(double days);

    bool IsValid() const { return valid; }
    // 0 for an invalid value.
    double GetDays() const { return valid ? days : 0.0; }
    // Rounded to the nearest second; every part -1 when invalid.
    Parts GetParts() const;

    // An invalid value is never later and never earlier than another.
    // Inline: the sort of a load compares start times n log n times.
    bool IsLaterThan(const OleDateTime& other) const
    {
        return valid && other.valid && Linear() > other.Linear();
    }
    bool IsEarlierThan(const OleDateTime& other) const { return other.IsLaterThan(*this); }
    // Same status and, when valid, the same moment.
    bool operator==(const OleDateTime& other) const;

private:
    // Days on a linear scale (whole days plus the absolute fraction).
    double Linear() const
    {
        const double whole = std::trunc(days);
        return whole + std::fabs(days - whole);
    }

    double days = 0.0;
    bool valid = false;
};
