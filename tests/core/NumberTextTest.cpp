#include "core/NumberText.h"
#include "support/ScopedLocale.h"

#include <gtest/gtest.h>

#include <QString>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

struct DecimalCase {
    const char* text;
    double expected;
};

const DecimalCase kDecimalCases[] = {
    {" 23.2475", 23.2475}, {"+1.5", 1.5},   {"-0.5", -0.5},  {".5", 0.5},      {"5.", 5.0},
    {"1e3", 1000.0},       {"1e", 1.0},     {"1e+", 1.0},    {"2.5E-1x", 0.25}, {"0x10", 0.0},
    {"inf", 0.0},          {"nan", 0.0},    {"12,5", 12.0},  {"", 0.0},        {"abc", 0.0},
    {".", 0.0},            {"-", 0.0},      {"\t\n 7", 7.0}, {"153000.000", 153000.0},
    {"0.1", 0.1},          {"1e999", std::numeric_limits<double>::infinity()}, {"1e-999", 0.0},
};

struct IntCase {
    const char* text;
    int expected;
};

const IntCase kIntCases[] = {
    {"56.avi", 56}, {" -42x", -42}, {"+7", 7}, {"99999999999", INT_MAX}, {"-99999999999", INT_MIN},
    {"", 0},        {"x1", 0},      {"-", 0},  {"2147483647", INT_MAX},  {"0012", 12},
};

void ExpectTables()
{
    for (const DecimalCase& c : kDecimalCases) {
        EXPECT_EQ(NumberText::ReadDecimalPrefix(QString::fromLatin1(c.text)), c.expected) << '"' << c.text << '"';
    }
    for (const IntCase& c : kIntCases) {
        EXPECT_EQ(NumberText::ReadIntPrefix(QString::fromLatin1(c.text)), c.expected) << '"' << c.text << '"';
    }
}

TEST(NumberText, ReadsPrefixesAsTheCRuntimeDoes)
{
    ExpectTables();
}

TEST(NumberText, IgnoresTheUserLocale)
{
    testsupport::ScopedLocale german("de_DE.UTF-8");
    KESTROV_REQUIRE_LOCALE(german);
    ASSERT_EQ(std::strtod("1,5", nullptr), 1.5) << "the locale did not take effect";
    ExpectTables();
}

TEST(NumberText, ConvertsCorrectlyRounded)
{
    // A long mantissa must round once, not digit by digit.
    EXPECT_EQ(NumberText::ReadDecimalPrefix(u"0.30000000000000001665"), 0.3);
    EXPECT_EQ(NumberText::ReadDecimalPrefix(u"9007199254740993"), 9007199254740992.0);
    EXPECT_EQ(NumberText::ReadDecimalPrefix(u"-3723.2475"), -3723.2475);
}

TEST(NumberText, TruncatesEveryDoubleToAnInt)
{
    EXPECT_EQ(NumberText::TruncateToInt(2.9), 2);
    EXPECT_EQ(NumberText::TruncateToInt(-2.9), -2);
    EXPECT_EQ(NumberText::TruncateToInt(std::nan("")), 0);
    EXPECT_EQ(NumberText::TruncateToInt(1e300), INT_MAX);
    EXPECT_EQ(NumberText::TruncateToInt(-std::numeric_limits<double>::infinity()), INT_MIN);
}

}  // namespace
