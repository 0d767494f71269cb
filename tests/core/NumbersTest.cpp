#include "core/Numbers.h"

#include "support/TestSupport.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <string>

namespace {

struct ParseCase {
    QString text;
    std::optional<int> value;
};

class NumbersParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(NumbersParse, DigitsOnlySaturating)
{
    EXPECT_EQ(Numbers::ParseDecimal(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Cases, NumbersParse,
    ::testing::Values(ParseCase{QStringLiteral("0"), 0}, ParseCase{QStringLiteral("007"), 7},
                      ParseCase{QStringLiteral("2147483647"), 2147483647},
                      ParseCase{QStringLiteral("2147483648"), 2147483647},
                      ParseCase{QStringLiteral("99999999999"), 2147483647},
                      ParseCase{QStringLiteral("99999999999999999999999999"), 2147483647},
                      ParseCase{QString(), std::nullopt}, ParseCase{QStringLiteral("-3"), std::nullopt},
                      ParseCase{QStringLiteral("+3"), std::nullopt}, ParseCase{QStringLiteral(" 1"), std::nullopt},
                      ParseCase{QStringLiteral("1.5"), std::nullopt},
                      ParseCase{QString(QChar(0x0661)), std::nullopt},
                      ParseCase{QString(QChar(0xFF11)), std::nullopt},
                      ParseCase{QString(QChar(0x0131)), std::nullopt}));

TEST(Numbers, FormatIntIsPercentD)
{
    EXPECT_EQ(Numbers::FormatInt(0), QStringLiteral("0"));
    EXPECT_EQ(Numbers::FormatInt(-3), QStringLiteral("-3"));
    EXPECT_EQ(Numbers::FormatInt(2147483647), QStringLiteral("2147483647"));
    EXPECT_EQ(Numbers::FormatInt(-9223372036854775807LL - 1), QStringLiteral("-9223372036854775808"));
}

std::string Printf(double value, int decimals)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

TEST(Numbers, FormatFixedEqualsCLocalePrintf)
{
    const double values[] = {2.394, 2.395, 2.385, 0.005, 0.015, 0.125, 0.375, 1.0 / 3, -1.005, -0.0,
                             0, 12345.6789, 1e15 + 0.5, 2.5, 3.5, 99.995, 1e-7};
    for (double value : values) {
        for (int decimals : {0, 1, 2, 3, 6}) {
            EXPECT_EQ(Numbers::FormatFixed(value, decimals).toStdString(), Printf(value, decimals))
                << value << " " << decimals;
        }
    }
    EXPECT_EQ(Numbers::FormatFixed(2394 / 1000.0, 2), QStringLiteral("2.39"));
    EXPECT_EQ(Numbers::FormatFixed(1e300, 2).size(), 304);
}

TEST(Numbers, FormatShortestReadsBackAsTheSameDouble)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {{127.0, "127"},       {37.5 - 0.0001, "37.4999"}, {-33.8688, "-33.8688"}, {0.1, "0.1"},
                 {-0.0, "-0"},         {1e300, "1e+300"},         {5e-324, "5e-324"},     {1.0 / 3, "0.3333333333333333"},
                 {std::nan(""), "nan"}, {-HUGE_VAL, "-inf"}};
    for (const auto& c : cases) {
        const QString text = Numbers::FormatShortest(c.value);
        EXPECT_EQ(text.toStdString(), c.text);
        if (std::isfinite(c.value)) {
            EXPECT_EQ(std::strtod(text.toLatin1().constData(), nullptr), c.value) << c.text;
        }
    }
}

// An installed comma-decimal locale, else one compiled with localedef into
// a temporary LOCPATH (glibc reads LOCPATH at every setlocale). Empty when
// neither is possible.
const char* UseCommaLocale(QTemporaryDir& scratch, std::optional<testsupport::ScopedEnv>& locpath)
{
    static const char* const installed[] = {"de_DE.UTF-8", "de_DE.utf8", "ru_RU.UTF-8", "ru_RU.utf8", "fr_FR.UTF-8"};
    for (const char* name : installed) {
        if (std::setlocale(LC_ALL, name)) {
            return name;
        }
    }
    if (!QFileInfo::exists(QStringLiteral("/usr/share/i18n/locales/de_DE"))) {
        return nullptr;
    }
    QProcess localedef;
    localedef.start(QStringLiteral("localedef"), {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"),
                                                  QStringLiteral("UTF-8"), scratch.path() + QStringLiteral("/de_DE.UTF-8")});
    if (!localedef.waitForFinished(60000) || localedef.exitCode() != 0) {
        return nullptr;
    }
    locpath.emplace("LOCPATH", scratch.path());
    return std::setlocale(LC_ALL, "de_DE.UTF-8") ? "de_DE.UTF-8" : nullptr;
}

TEST(Numbers, FormatFixedIgnoresACommaDecimalLocale)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    QTemporaryDir scratch;
    std::optional<testsupport::ScopedEnv> locpath;
    if (!UseCommaLocale(scratch, locpath)) {
        GTEST_SKIP() << "no comma-decimal locale installed and none can be made";
    }
    char printed[32];
    std::snprintf(printed, sizeof printed, "%.2f", 2.394);
    const QString fixed = Numbers::FormatFixed(2.394, 2);
    const QString integer = Numbers::FormatInt(1234567);
    const QString shortest = Numbers::FormatShortest(37.4999);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_STREQ(printed, "2,39");  // the locale is in force
    EXPECT_EQ(fixed, QStringLiteral("2.39"));
    EXPECT_EQ(integer, QStringLiteral("1234567"));
    EXPECT_EQ(shortest, QStringLiteral("37.4999"));
}

}  // namespace
