#pragma once
// Previous and next entry under the list filter, over the entries' types.
// Pure functions; the hub calls them under its playlist lock.

#include <span>

namespace PlaylistNavigation {

struct Step {
    unsigned index = 0;
    bool ok = false;
};

// Type equals the filter, or the motion filter (3) and a parking-motion
// entry (4).
bool Matches(int type, int filter);

// current at or past the count answers {0, false}.
Step Previous(std::span<const int> types, unsigned current, int filter);
Step Next(std::span<const int> types, unsigned current, int filter);

}  // namespace PlaylistNavigation
