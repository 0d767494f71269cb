#include "settings/SettingsVocabulary.h"

#include <gtest/gtest.h>
#include <QString>
#include <algorithm>
#include <climits>

namespace {

using namespace SettingsVocabulary;

TEST(SettingsVocabulary, EveryKeyIsItsNamePaddedTo24Characters)
{
    struct Row {
        QLatin1StringView key;
        const char* name;
        int blanks;
    };
    const Row rows[] = {
        {kKeyProductName, "Product Name", 12},      {kKeyHwVersion, "H/W Version", 13},
        {kKeySwVersion, "S/W Version", 13},         {kKeyAccTriggerLevel, "Acc Trigger Level", 7},
        {kKeyLcdBrightness, "LCD Brightness", 10},  {kKeyBackgroundImage, "Background Image", 8},
        {kKeyScreenSaverEnable, "Screen saver Enable", 5}, {kKeyRecAudioEnable, "REC Audio Enable", 8},
        {kKeySpkVol, "SPK Vol", 17},                {kKeyTouchAudioEnable, "Touch Audio Enable", 6},
        {kKeyParkingModeOnOff, "Parking Mode On Off", 5}, {kKeyPowerOffVoltage, "Power Off Voltage", 7},
        {kKeyPowerOffTime, "Power OFF Time", 10},   {kKeyLcdOffTime, "LCD Off Time", 12},
        {kKeyLcdOffTimeAlias, "LCD OFF Time", 12},  {kKeyCameraAngle, "Camera Angle", 12},
        {kKeyAutoParkingMode, "Auto Parking Mode", 7}, {kKeySdFormatReserved, "SD Format reserved", 6},
        {kKeySdFormatYear, "SD Format Year", 10},   {kKeySdFormatMonth, "SD Format Month", 9},
        {kKeySdFormatDay, "SD Format Day", 11},     {kKeyVideoQuality, "Video Quality", 11},
        {kKeyTimeZone, "Time Zone", 15},
    };
    ASSERT_EQ(std::size(rows), 23u);
    for (const Row& row : rows) {
        EXPECT_EQ(QString(row.key), QString::fromLatin1(row.name) + QString(row.blanks, u' ')) << row.name;
        EXPECT_EQ(row.key.size(), 24) << row.name;
    }
    EXPECT_EQ(QString(kSeparator), ": ");
}

TEST(SettingsVocabulary, ShownTimeZonesHaveTheRecorderValues)
{
    const std::pair<int, const char*> pairs[] = {
        {0, "+01:00"},  {1, "+02:00"},  {2, "+03:00"},  {3, "+03:30"},  {4, "+04:00"},  {5, "+04:30"},
        {6, "+05:00"},  {7, "+05:30"},  {8, "+05:45"},  {9, "+06:00"},  {10, "+06:30"}, {11, "+07:00"},
        {12, "+08:00"}, {13, "+09:00"}, {14, "+09:30"}, {15, "+10:00"}, {16, "+11:00"}, {17, "+12:00"},
        {18, "0"},      {19, "-01:00"}, {20, "-02:00"}, {21, "-03:00"}, {22, "-03:30"}, {23, "-04:00"},
        {24, "-04:30"}, {25, "-05:00"}, {26, "-06:00"}, {27, "-07:00"}, {28, "-08:00"}, {29, "-09:00"},
        {30, "-10:00"}, {31, "-11:00"}, {32, "-12:00"}};
    ASSERT_EQ(std::size(pairs), kShownTimeZones.size());
    for (const auto& [value, offset] : pairs)
        EXPECT_EQ(QString(kShownTimeZones[value]), offset) << value;
}

// The shown order is what the original sorted list box made of the defined
// list: '+' first, then the text without its '-', in byte order.
TEST(SettingsVocabulary, ShownOrderIsTheDefinedListSortedAsTheListBoxDid)
{
    std::vector<QString> sorted(kTimeZoneOffsets.begin(), kTimeZoneOffsets.end());
    std::stable_sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        const bool aPlus = a.startsWith(u'+');
        const bool bPlus = b.startsWith(u'+');
        if (aPlus != bPlus)
            return aPlus;
        return QString(a).remove(u'-').toLatin1() < QString(b).remove(u'-').toLatin1();
    });
    ASSERT_EQ(sorted.size(), kShownTimeZones.size());
    for (std::size_t i = 0; i < sorted.size(); ++i)
        EXPECT_EQ(QString(kShownTimeZones[i]), sorted[i]) << i;
}

TEST(SettingsVocabulary, TimeZoneTextOutsideTheListIsNone)
{
    for (int value : {-1, 33, INT_MAX, INT_MIN})
        EXPECT_FALSE(TimeZoneText(value)) << value;
    ASSERT_TRUE(TimeZoneText(kDefaultTimeZone));
    EXPECT_EQ(QString(*TimeZoneText(13)), "+09:00");
    EXPECT_EQ(QString(*TimeZoneText(18)), "0");
}

}  // namespace
