#pragma once
// The nine lists of the settings dialog as one table: the texts each shows,
// in order, the model field behind it, how a field value picks an entry and
// how a chosen entry is stored back. No widgets: the dialog fills and reads
// its lists through this table.

#include "settings/CVelmarkSetupData.h"

#include <QAnyStringView>
#include <optional>
#include <span>

namespace SettingsListMap {

// How a field value shows as an entry.
enum class ShowRule {
    Position,      // entry = value
    MinusOne,      // entry = value - 1
    VideoQuality,  // 4 entry 0, 6 entry 1, any other value entry 2
};

// How a chosen entry becomes the field value.
enum class StoreRule {
    Position,      // the position; outside the list the fallback
    PlusOne,       // position + 1; outside the list the fallback
    VideoQuality,  // entry 0 stores 4, entry 1 stores 6, anything else 8
    Unchecked,     // the position as it is
};

struct List {
    int id;  // the control of the settings dialog
    std::span<const QAnyStringView> texts;
    int CVelmarkSetupData::*field;
    ShowRule show;
    StoreRule store;
    int fallback;
};

// The voltage list shows one of two sets, after the vehicle radio buttons.
enum class Vehicle { Car, Truck };

// The nine lists, in the order the dialog fills them.
std::span<const List> Lists();
// The list of that control id; null for any other id.
const List* Find(int id);

// The texts list `id` shows; the voltage list's depend on the vehicle.
std::span<const QAnyStringView> Texts(int id, Vehicle vehicle = Vehicle::Car);

// The entry a field value shows; none when no entry has it (the list then
// shows no selection).
std::optional<int> EntryForValue(int id, int value);
// The field value for a chosen entry (-1: no selection).
int ValueForEntry(int id, int position);

}  // namespace SettingsListMap
