#include "settings/SettingsListMap.h"

#include <gtest/gtest.h>
#include <QStringList>
#include <climits>

namespace {

QStringList TextsOf(int id, SettingsListMap::Vehicle vehicle = SettingsListMap::Vehicle::Car)
{
    QStringList texts;
    for (QAnyStringView text : SettingsListMap::Texts(id, vehicle))
        texts.append(text.toString());
    return texts;
}

TEST(SettingsListMap, ListsHoldTheirTextsInOrder)
{
    std::vector<int> ids;
    for (const SettingsListMap::List& list : SettingsListMap::Lists())
        ids.push_back(list.id);
    EXPECT_EQ(ids, (std::vector<int>{1058, 1063, 1056, 32796, 1030, 1032, 1031, 1072, 1094}));

    EXPECT_EQ(TextsOf(1058), QStringList({"BIKE", "бычий", "Средний уровен", "чувствительный"}));
    EXPECT_EQ(TextsOf(1063), QStringList({"Низкий уровень", "Средний уровень", "Высокий уровень"}));
    EXPECT_EQ(TextsOf(1056), QStringList({"Отключено", "Тихо", "Нормально", "Громко", "Очень громко"}));
    EXPECT_EQ(TextsOf(32796), QStringList({"OFF", "Низкий уровень", "Средний уровень", "Высокий уровень"}));
    EXPECT_EQ(TextsOf(1030),
              QStringList({"Низкий уровень", "Средний уровень", "Высокий уровень", "Очень высокий уровень"}));
    EXPECT_EQ(TextsOf(1032), QStringList({"3 ч", "5 ч", "10 ч", "24 ч", "48 ч", "72 ч"}));
    EXPECT_EQ(TextsOf(1031), QStringList({"всегда", "30сек", "60сек", "180сек"}));
    EXPECT_EQ(TextsOf(1072), QStringList({"11.5V", "11.8V", "12.1V", "12.4V"}));
    EXPECT_EQ(TextsOf(1072, SettingsListMap::Vehicle::Truck), QStringList({"23", "23.6V", "24.2V", "24.8V"}));
    const QStringList zones = TextsOf(1094);
    ASSERT_EQ(zones.size(), 33);
    EXPECT_EQ(zones[0], "+01:00");
    EXPECT_EQ(zones[13], "+09:00");
    EXPECT_EQ(zones[18], "0");
    EXPECT_EQ(zones[32], "-12:00");
    EXPECT_TRUE(TextsOf(1015).isEmpty()) << "not one of the nine";
}

TEST(SettingsListMap, ValuesShowAsEntriesAndEntriesStoreAsValues)
{
    struct Row {
        int id;
        int value;                 // field value ...
        std::optional<int> entry;  // ... shows this entry
    };
    const std::vector<Row> shown = {
        {1063, 4, 0}, {1063, 5, 2}, {1063, 6, 1}, {1063, 7, 2}, {1063, 8, 2}, {1063, 40, 2},
        {1030, 1, 0}, {1030, 4, 3}, {1030, 0, std::nullopt}, {1030, 5, std::nullopt},
        {1058, 0, 0}, {1058, 3, 3}, {1058, 4, std::nullopt}, {1056, 4, 4}, {1056, -1, std::nullopt},
        {32796, 3, 3}, {1031, 3, 3}, {1032, 5, 5}, {1032, 6, std::nullopt}, {1072, 2, 2},
        {1094, 13, 13}, {1094, 32, 32}, {1094, 33, std::nullopt}, {1094, 40, std::nullopt},
        {1030, INT_MIN, std::nullopt},
    };
    for (const Row& row : shown)
        EXPECT_EQ(SettingsListMap::EntryForValue(row.id, row.value), row.entry) << row.id << " value " << row.value;

    struct Stored {
        int id;
        int entry;  // entry chosen (-1: none, or past the end) ...
        int value;  // ... stores this value
    };
    const std::vector<Stored> stored = {
        {1063, 0, 4}, {1063, 1, 6}, {1063, 2, 8}, {1063, -1, 8},
        {1030, 0, 1}, {1030, 3, 4}, {1030, -1, 3}, {1030, 4, 3},
        {1058, 3, 3}, {1058, -1, 2}, {1058, 4, 2}, {1056, 4, 4}, {1056, 5, 2},
        {32796, 0, 0}, {32796, -1, 2}, {1031, 3, 3}, {1031, -1, 1}, {1032, 5, 5}, {1032, 6, 3},
        {1072, 3, 3}, {1072, -1, 1}, {1094, 20, 20}, {1094, -1, -1},
    };
    for (const Stored& row : stored)
        EXPECT_EQ(SettingsListMap::ValueForEntry(row.id, row.entry), row.value) << row.id << " entry " << row.entry;
}

}  // namespace
