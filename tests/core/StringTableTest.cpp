#include "core/Common.h"
#include "core/StringTable.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(StringTable, TheEmbeddedTableParsesCleanlyAndHoldsEveryId)
{
    const StringTable::Parsed& table = StringTable::Embedded();
    EXPECT_TRUE(table.errors.isEmpty()) << table.errors.join(QLatin1Char('\n')).toStdString();

    const int ids[] = {222, 223, 224, 226, 227, 231, 232, 233, 234, 237, 238, 239, 240, 241, 242,
                       243, 244, 245, 246, 247, 250, 255, 256, 264, 265, 266, 267, 268, 270, 271,
                       272, 273, 274, 284, 285, 286, 288, 289, 290, 292, 295, 296, 297, 298, 299,
                       300, 301, 302, 310, 311, 312, 313, 314, 315, 316, 317, 318, 320};
    // The windows' own texts (5000 and up) come on top.
    const auto designed = std::count_if(table.texts.begin(), table.texts.end(),
                                        [](const auto& entry) { return entry.first < 5000; });
    EXPECT_EQ(std::size_t(designed), std::size(ids));
    for (int id : ids) {
        EXPECT_FALSE(Common::GetResourceString(id).isEmpty()) << id;
    }
}

TEST(StringTable, TheWindowsTextsLieInTheirSubsystemsBlocks)
{
    const auto inBlock = [](int id) {
        return id < 5000 || (id >= 5001 && id <= 5099) || (id >= 6001 && id <= 6099) || (id >= 7001 && id <= 7099);
    };
    for (const auto& [id, text] : StringTable::Embedded().texts) {
        EXPECT_TRUE(inBlock(id)) << id << " is in none of 5001-5099, 6001-6099, 7001-7099";
    }
}

TEST(StringTable, TextsComeBackAsStored)
{
    EXPECT_EQ(Common::GetResourceString(223), QString::fromUtf8("Событие"));
    EXPECT_EQ(Common::GetResourceString(256), QString::fromUtf8("Запись была сохранена.\n Вы хотите открыть папку?"));
    EXPECT_EQ(Common::GetResourceString(318), QString::fromUtf8("??? Сохранить?? ??????."));
    EXPECT_EQ(Common::GetResourceString(320), QStringLiteral("Kestrov"));
    EXPECT_EQ(Common::GetResourceString(57344), QString());
    EXPECT_EQ(Common::GetResourceString(1), QString());
}

TEST(StringTable, ParseReportsBadAndDuplicateLinesAndResolvesEscapes)
{
    const StringTable::Parsed parsed = StringTable::Parse(
        "# comment\n"
        "\n"
        "1\ta\\tb\\\\c\\nd\r\n"
        "1\tsecond\n"
        "x2\tnot a number\n"
        "3 no tab\n"
        "4\tbad \\q escape\n"
        "5\tdangling \\\n"
        "6\t\n");
    EXPECT_EQ(parsed.texts.size(), 2u);
    EXPECT_EQ(parsed.texts.at(1), QStringLiteral("a\tb\\c\nd"));
    EXPECT_EQ(parsed.texts.at(6), QString());
    ASSERT_EQ(parsed.errors.size(), 5);
    EXPECT_TRUE(parsed.errors[0].startsWith(QStringLiteral("line 4:")));
    EXPECT_TRUE(parsed.errors[0].contains(QStringLiteral("duplicate")));
}

}  // namespace
