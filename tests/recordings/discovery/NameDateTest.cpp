// Start time and type from file names, without files.

#include "recordings/CFileLoader.h"

#include <gtest/gtest.h>

namespace {

struct NameRow {
    const char* name;
    bool dated;  // the name carries a valid start time
    int year, month, day, hour, minute, second;
    int type;
};

const NameRow kNames[] = {
    // Worked rows of the naming rules.
    {"20130405_123456_NOR.avi", true, 2013, 4, 5, 12, 34, 56, RECORDING_NORMAL},
    {"20130405_123456_EVT_02.avi", true, 2013, 4, 5, 12, 34, 56, RECORDING_EVENT},
    {"20130405T123456_MOT_1.avi", true, 2013, 4, 5, 12, 34, 56, RECORDING_MOTION},
    {"130405_123456_MOT.avi", true, 2013, 4, 5, 12, 34, 56, RECORDING_UNKNOWN},
    {"REC_2013_04_05_12_34_56.avi", true, 2013, 4, 5, 12, 34, 56, RECORDING_UNKNOWN},
    {"EVT_20130405_123456_1.avi", true, 2013, 4, 5, 12, 34, 56, RECORDING_UNKNOWN},
    {"PRK_20130405_123456.avi", false, 0, 0, 0, 0, 0, 0, RECORDING_UNKNOWN},
    {"20131305_123456_NOR.avi", false, 0, 0, 0, 0, 0, 0, RECORDING_NORMAL},
    {"20130405__123456_NOR.avi", true, 2013, 4, 5, 12, 34, 56, RECORDING_UNKNOWN},
    {"clip.avi", false, 0, 0, 0, 0, 0, 0, RECORDING_UNKNOWN},
    // Case, calendar and range.
    {"20130405_123456_nor.avi", true, 2013, 4, 5, 12, 34, 56, RECORDING_UNKNOWN},
    {"20130229_123456_NOR.avi", false, 0, 0, 0, 0, 0, 0, RECORDING_NORMAL},
    {"20120229_123456_NOR.avi", true, 2012, 2, 29, 12, 34, 56, RECORDING_NORMAL},
    {"20130405_243456_NOR.avi", false, 0, 0, 0, 0, 0, 0, RECORDING_NORMAL},
    {"20130405_126056_NOR.avi", false, 0, 0, 0, 0, 0, 0, RECORDING_NORMAL},
    {"20130432_123456_NOR.avi", false, 0, 0, 0, 0, 0, 0, RECORDING_NORMAL},
    // "7.avi" reads as 7: reading stops at the first non-digit.
    {"REC_2013_04_05_12_34_7.avi", true, 2013, 4, 5, 12, 34, 7, RECORDING_UNKNOWN},
    // A leading blank or sign is read as the C runtime reads it.
    {"REC_ 2013_+4_05_12_34_56.avi", true, 2013, 4, 5, 12, 34, 56, RECORDING_UNKNOWN},
    {"REC_2013_-4_05_12_34_56.avi", false, 0, 0, 0, 0, 0, 0, RECORDING_UNKNOWN},
    // Twenty digits saturate, and the date falls back.
    {"REC_20130405123456789012_04_05_12_34_56.avi", false, 0, 0, 0, 0, 0, 0, RECORDING_UNKNOWN},
    // Rule for a short first piece: "20" and one character, as one number.
    {"1_123456_x.avi", false, 0, 0, 0, 0, 0, 0, RECORDING_UNKNOWN},
};

TEST(NameDates, TableOfNames)
{
    for (const NameRow& row : kNames) {
        SCOPED_TRACE(row.name);
        const QString name = QString::fromUtf8(row.name);
        const OleDateTime time = CFileLoader::ParseNameDateTime(name);
        ASSERT_EQ(time.IsValid(), row.dated);
        if (row.dated) {
            const OleDateTime::Parts parts = time.GetParts();
            EXPECT_EQ(parts.year, row.year);
            EXPECT_EQ(parts.month, row.month);
            EXPECT_EQ(parts.day, row.day);
            EXPECT_EQ(parts.hour, row.hour);
            EXPECT_EQ(parts.minute, row.minute);
            EXPECT_EQ(parts.second, row.second);
        }
        EXPECT_EQ(CFileLoader::GetTypeFromName(name), row.type);
    }
}

TEST(NameDates, FieldsByRule)
{
    using Fields = CFileLoader::NameDateFields;
    auto fields = [](const char* name) {
        return CFileLoader::ReadNameDateFields(QString::fromUtf8(name).split(QLatin1Char('_'), Qt::SkipEmptyParts));
    };
    // A short first piece: the year is "20" + its first two characters.
    const Fields shortFirst = fields("1_123456_x.avi");
    EXPECT_EQ(shortFirst.year, 201);
    EXPECT_EQ(shortFirst.month, 0);
    EXPECT_EQ(shortFirst.day, 1);
    EXPECT_EQ(shortFirst.hour, 12);
    // Three pieces with a recorder code fall to the short-first-piece rule.
    const Fields prk = fields("PRK_20130405_123456.avi");
    EXPECT_EQ(prk.year, 20);
    EXPECT_EQ(prk.month, 0);
    // The 15-character rule skips the character at 8.
    const Fields fifteen = fields("20130405X123456_a_b.avi");
    EXPECT_EQ(fifteen.hour, 12);
    EXPECT_EQ(fifteen.second, 56);
}

TEST(NameDates, CyrillicNamesCountCharacters)
{
    // 16 Cyrillic letters put "NOR" at characters 16-18, whatever its bytes.
    EXPECT_EQ(CFileLoader::GetTypeFromName(QString::fromUtf8("ДДДДДДДДДДДДДДДДNOR.avi")), RECORDING_NORMAL);
    EXPECT_EQ(CFileLoader::GetTypeFromName(QString::fromUtf8("ДДДДДДДДДДДДДДДNOR.avi")), RECORDING_UNKNOWN);
    // Rule 4b counts characters too: a Cyrillic first piece of 8 characters.
    const OleDateTime time = CFileLoader::ParseNameDateTime(QString::fromUtf8("2013Ж405_123456_ЖЖЖ.avi"));
    EXPECT_FALSE(time.IsValid());
    const OleDateTime dated = CFileLoader::ParseNameDateTime(QString::fromUtf8("20130405_123456_Видео.avi"));
    ASSERT_TRUE(dated.IsValid());
    EXPECT_EQ(dated.GetParts().day, 5);
}

TEST(NameDates, StripExtensionAndPrefixes)
{
    EXPECT_EQ(CFileLoader::StripExtension(QStringLiteral("a.b.avi")), QStringLiteral("a.b"));
    EXPECT_EQ(CFileLoader::StripExtension(QStringLiteral("noext")), QStringLiteral("noext"));
    for (const char* code : {"REC", "EVT", "PRK", "MDI", "PAK", "EVS"})
        EXPECT_TRUE(CFileLoader::IsRecorderPrefix(QString::fromLatin1(code))) << code;
    for (const char* code : {"rec", "RECX", "", "NOR"})
        EXPECT_FALSE(CFileLoader::IsRecorderPrefix(QString::fromLatin1(code))) << code;
}

}  // namespace
