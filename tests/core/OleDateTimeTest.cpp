#include "core/OleDateTime.h"

#include <gtest/gtest.h>

#include <random>

namespace {

void ExpectRoundTrip(int y, int mo, int d, int h, int mi, int s)
{
    const OleDateTime t = OleDateTime::FromParts(y, mo, d, h, mi, s);
    ASSERT_TRUE(t.IsValid()) << y << '-' << mo << '-' << d << ' ' << h << ':' << mi << ':' << s;
    const OleDateTime::Parts p = t.GetParts();
    EXPECT_EQ(p.year, y);
    EXPECT_EQ(p.month, mo);
    EXPECT_EQ(p.day, d);
    EXPECT_EQ(p.hour, h);
    EXPECT_EQ(p.minute, mi);
    EXPECT_EQ(p.second, s);
}

TEST(OleDateTime, EncodesAsTheOleDateType)
{
    EXPECT_EQ(OleDateTime::FromParts(1899, 12, 30, 0, 0, 0).GetDays(), 0.0);
    EXPECT_EQ(OleDateTime::FromParts(1899, 12, 31, 12, 0, 0).GetDays(), 1.5);
    EXPECT_EQ(OleDateTime::FromParts(1899, 12, 29, 6, 0, 0).GetDays(), -1.25);
    EXPECT_EQ(OleDateTime::FromParts(2013, 5, 7, 0, 0, 0).GetDays(), 41401.0);
    EXPECT_EQ(OleDateTime::FromParts(100, 1, 1, 0, 0, 0).GetDays(), -657434.0);
}

TEST(OleDateTime, EverySecondOfADayRoundTrips)
{
    for (int s = 0; s < 86400; ++s) {
        ExpectRoundTrip(2013, 5, 7, s / 3600, s / 60 % 60, s % 60);
        if (HasFailure()) {
            return;
        }
    }
}

TEST(OleDateTime, RandomMomentsRoundTrip)
{
    std::mt19937 random(20130507);
    for (int i = 0; i < 10000 && !HasFailure(); ++i) {
        const int y = std::uniform_int_distribution(100, 9999)(random);
        const int mo = std::uniform_int_distribution(1, 12)(random);
        const int d = std::uniform_int_distribution(1, 28)(random);
        const int s = std::uniform_int_distribution(0, 86399)(random);
        ExpectRoundTrip(y, mo, d, s / 3600, s / 60 % 60, s % 60);
    }
    ExpectRoundTrip(9999, 12, 31, 23, 59, 59);
    ExpectRoundTrip(100, 1, 1, 0, 0, 0);
    ExpectRoundTrip(1899, 12, 29, 23, 59, 59);
}

TEST(OleDateTime, RejectsImpossibleParts)
{
    struct Case {
        int y, mo, d, h, mi, s;
        bool valid;
    };
    const Case cases[] = {
        {2013, 2, 29, 0, 0, 0, false}, {2012, 2, 29, 0, 0, 0, true},   {2000, 2, 29, 0, 0, 0, true},
        {1900, 2, 29, 0, 0, 0, false}, {2013, 13, 1, 0, 0, 0, false},  {2013, 0, 1, 0, 0, 0, false},
        {2013, 1, 32, 0, 0, 0, false}, {2013, 4, 31, 0, 0, 0, false},  {2013, 1, 0, 0, 0, 0, false},
        {2013, 1, 1, 24, 0, 0, false}, {2013, 1, 1, 0, 60, 0, false},  {2013, 1, 1, 0, 0, 60, false},
        {2013, 1, 1, -1, 0, 0, false}, {99, 12, 31, 0, 0, 0, false},   {10000, 1, 1, 0, 0, 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OleDateTime::FromParts(c.y, c.mo, c.d, c.h, c.mi, c.s).IsValid(), c.valid)
            << c.y << '-' << c.mo << '-' << c.d << ' ' << c.h << ':' << c.mi << ':' << c.s;
    }
    const OleDateTime::Parts p = OleDateTime::FromParts(2013, 2, 29, 0, 0, 0).GetParts();
    EXPECT_EQ(p.year, -1);
    EXPECT_EQ(p.second, -1);
    EXPECT_FALSE(OleDateTime().IsValid());
    EXPECT_FALSE(OleDateTime::FromDays(1e300).IsValid());
    EXPECT_TRUE(OleDateTime::FromDays(41401.5).IsValid());
}

TEST(OleDateTime, OrdersAcrossTheEpochAndNeverOrdersInvalidValues)
{
    const OleDateTime before = OleDateTime::FromParts(1899, 12, 29, 18, 0, 0);  // -1.75
    const OleDateTime earlier = OleDateTime::FromParts(1899, 12, 29, 6, 0, 0);  // -1.25
    const OleDateTime epoch = OleDateTime::FromParts(1899, 12, 30, 0, 0, 0);
    const OleDateTime later = OleDateTime::FromParts(2013, 5, 7, 8, 5, 9);
    EXPECT_TRUE(before.IsLaterThan(earlier));
    EXPECT_TRUE(epoch.IsLaterThan(before));
    EXPECT_TRUE(later.IsLaterThan(epoch));
    EXPECT_FALSE(earlier.IsLaterThan(before));
    EXPECT_FALSE(later.IsLaterThan(later));

    const OleDateTime invalid;
    EXPECT_FALSE(invalid.IsLaterThan(later));
    EXPECT_FALSE(later.IsLaterThan(invalid));
    EXPECT_FALSE(invalid.IsEarlierThan(later));
    EXPECT_FALSE(later.IsEarlierThan(invalid));
    EXPECT_TRUE(invalid == OleDateTime());
    EXPECT_FALSE(invalid == epoch);
}

TEST(OleDateTime, RoundsToTheNearestSecond)
{
    // 08:05:09 less a hair must not read back as 08:05:08; 23:59:59.9 carries.
    const double nine = OleDateTime::FromParts(2013, 5, 7, 8, 5, 9).GetDays();
    const OleDateTime::Parts p = OleDateTime::FromDays(nine - 1e-9).GetParts();
    EXPECT_EQ(p.second, 9);
    const double midnight = OleDateTime::FromParts(2013, 5, 8, 0, 0, 0).GetDays();
    const OleDateTime::Parts q = OleDateTime::FromDays(midnight - 0.1 / 86400).GetParts();
    EXPECT_EQ(q.day, 8);
    EXPECT_EQ(q.hour, 0);
}

}  // namespace
