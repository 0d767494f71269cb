#include "core/OleDateTime.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr int64_t kSecondsPerDay = 86400;

// Days from 1970-01-01 of a proleptic Gregorian date (month 1-12).
int64_t DaysFromCivil(int64_t y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

bool IsLeapYear(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

const int64_t kEpochFromUnix = DaysFromCivil(1899, 12, 30);
const int64_t kFirstDay = DaysFromCivil(100, 1, 1) - kEpochFromUnix;
const int64_t kLastDay = DaysFromCivil(9999, 12, 31) - kEpochFromUnix;

// The stored form of a day number and a time of day in seconds.
double Encode(int64_t dayNumber, int64_t secondOfDay)
{
    const double fraction = static_cast<double>(secondOfDay) / kSecondsPerDay;
    const double whole = static_cast<double>(dayNumber);
    return dayNumber >= 0 ? whole + fraction : whole - fraction;
}

}  // namespace

OleDateTime OleDateTime::FromParts(int year, int month, int day, int hour, int minute, int second)
{
    OleDateTime result;
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59) {
        return result;
    }
    const int64_t dayNumber = DaysFromCivil(year, month, day) - kEpochFromUnix;
    result.days = Encode(dayNumber, hour * 3600 + minute * 60 + second);
    result.valid = true;
    return result;
}

OleDateTime OleDateTime::FromDays(double value)
{
    OleDateTime result;
    if (!std::isfinite(value)) {
        return result;
    }
    const double whole = std::trunc(value);
    if (whole < static_cast<double>(kFirstDay) || whole > static_cast<double>(kLastDay)) {
        return result;
    }
    result.days = value;
    result.valid = true;
    return result;
}

OleDateTime::Parts OleDateTime::GetParts() const
{
    Parts parts;
    if (!valid) {
        return parts;
    }
    const double whole = std::trunc(days);
    int64_t dayNumber = static_cast<int64_t>(whole);
    int64_t seconds = std::llround(std::fabs(days - whole) * kSecondsPerDay);
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        ++dayNumber;
    }
    CivilFromDays(dayNumber + kEpochFromUnix, parts.year, parts.month, parts.day);
    parts.hour = static_cast<int>(seconds / 3600);
    parts.minute = static_cast<int>(seconds / 60 % 60);
    parts.second = static_cast<int>(seconds % 60);
    return parts;
}

bool OleDateTime::operator==(const OleDateTime& other) const
{
    if (valid != other.valid) {
        return false;
    }
    return !valid || Linear() == other.Linear();
}
