#include "settings/SettingsListMap.h"

#include "settings/SettingsVocabulary.h"

#include <array>
#include <climits>

namespace SettingsListMap {

namespace {

using Model = CVelmarkSetupData;
using Texts4 = std::array<QAnyStringView, 4>;

// "Средний уровен" lacks its last letter and "23" its decimals and V: the
// recorder's own tool showed them so.
constexpr Texts4 kAccTriggerTexts{u"BIKE", u"бычий", u"Средний уровен", u"чувствительный"};
constexpr std::array<QAnyStringView, 3> kVideoQualityTexts{u"Низкий уровень", u"Средний уровень", u"Высокий уровень"};
constexpr std::array<QAnyStringView, 5> kSpeakerTexts{u"Отключено", u"Тихо", u"Нормально", u"Громко", u"Очень громко"};
constexpr Texts4 kAutoParkingTexts{u"OFF", u"Низкий уровень", u"Средний уровень", u"Высокий уровень"};
constexpr Texts4 kLcdBrightnessTexts{u"Низкий уровень", u"Средний уровень", u"Высокий уровень",
                                    u"Очень высокий уровень"};
constexpr std::array<QAnyStringView, 6> kPowerOffTimeTexts{u"3 ч", u"5 ч", u"10 ч", u"24 ч", u"48 ч", u"72 ч"};
constexpr Texts4 kLcdOffTimeTexts{u"всегда", u"30сек", u"60сек", u"180сек"};
constexpr Texts4 kCarVoltageTexts{u"11.5V", u"11.8V", u"12.1V", u"12.4V"};
constexpr Texts4 kTruckVoltageTexts{u"23", u"23.6V", u"24.2V", u"24.8V"};

constexpr auto kTimeZoneTexts = [] {
    std::array<QAnyStringView, SettingsVocabulary::kTimeZoneCount> texts{};
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = SettingsVocabulary::kShownTimeZones[i];
    return texts;
}();

constexpr int kVoltageList = 1072;

constexpr std::array<List, 9> kTable{{
    {1058, kAccTriggerTexts, &Model::accTriggerLevel, ShowRule::Position, StoreRule::Position, 2},
    {1063, kVideoQualityTexts, &Model::videoQuality, ShowRule::VideoQuality, StoreRule::VideoQuality, 8},
    {1056, kSpeakerTexts, &Model::spkVol, ShowRule::Position, StoreRule::Position, 2},
    {32796, kAutoParkingTexts, &Model::autoParkingMode, ShowRule::Position, StoreRule::Position, 2},
    {1030, kLcdBrightnessTexts, &Model::lcdBrightness, ShowRule::MinusOne, StoreRule::PlusOne, 3},
    {1032, kPowerOffTimeTexts, &Model::powerOffTime, ShowRule::Position, StoreRule::Position, 3},
    {1031, kLcdOffTimeTexts, &Model::lcdOffTime, ShowRule::Position, StoreRule::Position, 1},
    {kVoltageList, kCarVoltageTexts, &Model::powerOffVoltage, ShowRule::Position, StoreRule::Position, 1},
    {1094, kTimeZoneTexts, &Model::timeZone, ShowRule::Position, StoreRule::Unchecked, 0},
}};

bool Inside(const List& list, int position)
{
    return position >= 0 && position < static_cast<int>(list.texts.size());
}

}  // namespace

std::span<const List> Lists()
{
    return kTable;
}

const List* Find(int id)
{
    for (const List& list : kTable) {
        if (list.id == id)
            return &list;
    }
    return nullptr;
}

std::span<const QAnyStringView> Texts(int id, Vehicle vehicle)
{
    if (id == kVoltageList && vehicle == Vehicle::Truck)
        return kTruckVoltageTexts;
    const List* list = Find(id);
    return list ? list->texts : std::span<const QAnyStringView>();
}

std::optional<int> EntryForValue(int id, int value)
{
    const List* list = Find(id);
    if (!list)
        return std::nullopt;
    int entry = value;
    switch (list->show) {
    case ShowRule::Position: break;
    case ShowRule::MinusOne: entry = value == INT_MIN ? -1 : value - 1; break;
    case ShowRule::VideoQuality: entry = value == 4 ? 0 : value == 6 ? 1 : 2; break;
    }
    return Inside(*list, entry) ? std::optional<int>(entry) : std::nullopt;
}

int ValueForEntry(int id, int position)
{
    const List* list = Find(id);
    if (!list)
        return position;
    switch (list->store) {
    case StoreRule::Position: return Inside(*list, position) ? position : list->fallback;
    case StoreRule::PlusOne: return Inside(*list, position) ? position + 1 : list->fallback;
    case StoreRule::VideoQuality: return position == 0 ? 4 : position == 1 ? 6 : 8;
    case StoreRule::Unchecked: return position;
    }
    return list->fallback;
}

}  // namespace SettingsListMap
