#include "ui/RecordingListState.h"

#include "core/Numbers.h"
#include "recordings/RecordingEntry.h"

#include <algorithm>

namespace {

struct ButtonLooks {
    FilterButton button;
    int category;
    int unselected;
    int selected;
    int disabled;
    FilterButtonImages initial;
};
constexpr std::array<ButtonLooks, 4> kLooks{{
    {FilterButton::All, 0, 145, 128, 130, {128, 128, 128, 128}},
    {FilterButton::Event, 1, 139, 140, 142, {139, 139, 139, 142}},
    // The normal button's first pressed and focused images are the event
    // button's, as the skin was first set up.
    {FilterButton::Normal, 2, 138, 134, 136, {138, 139, 139, 136}},
    {FilterButton::Motion, 3, 146, 147, 149, {146, 146, 146, 149}},
}};

const ButtonLooks& LooksOf(FilterButton button)
{
    return *std::find_if(kLooks.begin(), kLooks.end(), [button](const ButtonLooks& looks) {
        return looks.button == button;
    });
}

}  // namespace

void RecordingListState::Categorise(ListEntries snapshot)
{
    Clear();
    allVideos = std::move(snapshot);
    for (const std::shared_ptr<RecordingEntry>& entry : allVideos) {
        switch (entry->type) {
        case RECORDING_EVENT: eventVideos.push_back(entry); break;
        case RECORDING_NORMAL: normalVideos.push_back(entry); break;
        case RECORDING_MOTION:
        case RECORDING_PARKING_MOTION: motionVideos.push_back(entry); break;
        default: break;
        }
    }
}

void RecordingListState::Clear()
{
    allVideos.clear();
    eventVideos.clear();
    normalVideos.clear();
    motionVideos.clear();
}

int RecordingListState::FilterForCategory(int k)
{
    return k >= 1 && k <= 4 ? k : 0;
}

const ListEntries& RecordingListState::EntriesFor(int filter) const
{
    switch (filter) {
    case 1: return eventVideos;
    case 2: return normalVideos;
    case 3:
    case 4: return motionVideos;
    default: return allVideos;
    }
}

int RecordingListState::FindRow(int number, int filter) const
{
    if (filter < 1 || filter > 4)
        return number - 1;
    const ListEntries& entries = EntriesFor(filter);
    const auto at = std::find_if(entries.begin(), entries.end(),
                                 [number](const auto& entry) { return entry->number == number; });
    return at == entries.end() ? -1 : static_cast<int>(at - entries.begin());
}

bool RecordingListState::IsEnabled(FilterButton button) const
{
    const int category = CategoryOf(button);
    return category == 0 || !EntriesFor(category).empty();
}

int RecordingListState::CategoryOf(FilterButton button)
{
    return LooksOf(button).category;
}

FilterButton RecordingListState::CheckedCategoryButton(const std::array<bool, 4>& checked)
{
    for (std::size_t i = 1; i < kFilterButtons.size(); ++i) {
        if (checked[i])
            return kFilterButtons[i];
    }
    return FilterButton::All;
}

FilterButtonImages RecordingListState::MarkedImages(FilterButton button, bool selected)
{
    const ButtonLooks& looks = LooksOf(button);
    const int face = selected ? looks.selected : looks.unselected;
    return {face, face, face, looks.disabled};
}

FilterButtonImages RecordingListState::InitialImages(FilterButton button)
{
    return LooksOf(button).initial;
}

std::array<int, 4> RecordingListState::ColumnWidths(int clientWidth)
{
    const int u = (clientWidth - 50) / 10;
    // 1.5 u and 2.5 u truncated, as the widths were computed in floating point.
    return {u * 3 / 2, 3 * u, u * 5 / 2, 3 * u};
}

QStringList RecordingListState::RowTexts(const RecordingEntry& entry)
{
    return {Numbers::FormatInt(entry.number), entry.GetDateText(), entry.GetTimeText(), entry.GetTypeName()};
}
