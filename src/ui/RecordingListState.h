#pragma once
// The recording list pane's rules that need no widget: the playlist sorted
// into its categories, the row of a number under a filter, what each filter
// button selects and shows, and the column widths. The pane applies them.

#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <vector>

class RecordingEntry;

using ListEntries = std::vector<std::shared_ptr<RecordingEntry>>;

// The filter buttons, by control id.
enum class FilterButton : int {
    All = 1135,
    Event = 32777,
    Normal = 32778,
    Motion = 32779,
};
inline constexpr std::array<FilterButton, 4> kFilterButtons{FilterButton::All, FilterButton::Event,
                                                            FilterButton::Normal, FilterButton::Motion};

// A button's bitmaps, as CMyBitmapButton::LoadBitmaps takes them.
struct FilterButtonImages {
    int normal;
    int selected;
    int focus;
    int disabled;

    bool operator==(const FilterButtonImages&) const = default;
};

class RecordingListState {
public:
    // The playlist as last received, and its categories: type 1, type 2,
    // types 3 and 4. Type 5 and other types are only in allVideos. The
    // entries are the hub's; these are references, never the owners.
    ListEntries allVideos;
    ListEntries eventVideos;
    ListEntries normalVideos;
    ListEntries motionVideos;
    // The list row last highlighted for the current entry, 0-based.
    int highlightRow = -1;
    // The list number of the hub's current entry.
    int currentNumber = 0;

    // Empties the four lists, then sorts the snapshot into them in order.
    void Categorise(ListEntries snapshot);
    void Clear();

    // Category k as the buttons and the menu select it: k 1, 2, 3 and 4 are
    // the hub filters 1 to 4; anything else is filter 0, every entry.
    static int FilterForCategory(int k);
    // The entries a hub filter shows.
    const ListEntries& EntriesFor(int filter) const;

    // The row of the entry numbered `number` under `filter`: its place in
    // the filter's category (-1 when it is not there), or number - 1 for
    // filter 0 and any other value. The caller checks it against the rows.
    int FindRow(int number, int filter) const;
    static bool IsRowInside(int row, int rowCount) { return row >= 0 && row < rowCount; }

    // 1135 always; a category's button only while it has entries.
    bool IsEnabled(FilterButton button) const;
    // The category a button selects (0 for 1135).
    static int CategoryOf(FilterButton button);
    // The first checked of 32777, 32778, 32779, in that order; 1135 when
    // none is checked.
    static FilterButton CheckedCategoryButton(const std::array<bool, 4>& checked);

    // The images of a button marked as selected or not: one image for its
    // normal, pressed and focused states, its own when disabled.
    static FilterButtonImages MarkedImages(FilterButton button, bool selected);
    // The images before the first load.
    static FilterButtonImages InitialImages(FilterButton button);

    // Number, date, time and type widths for a pane of this client width.
    static std::array<int, 4> ColumnWidths(int clientWidth);
    // The row of an entry: number, date, time, type name.
    static QStringList RowTexts(const RecordingEntry& entry);
};
