#include "hub/PlaylistNavigation.h"

namespace PlaylistNavigation {

namespace {
constexpr int kMotionFilter = 3;
constexpr int kParkingMotionType = 4;
}  // namespace

bool Matches(int type, int filter)
{
    return type == filter || (filter == kMotionFilter && type == kParkingMotionType);
}

Step Previous(std::span<const int> types, unsigned current, int filter)
{
    const std::size_t count = types.size();
    if (current >= count)
        return {};
    if (filter == 0)
        return current > 0 ? Step{current - 1, true} : Step{};
    for (unsigned i = current; i-- > 0;) {
        if (Matches(types[i], filter))
            return {i, true};
    }
    // Nothing before: the nearest match from here on.
    for (unsigned k = current; k < count; ++k) {
        if (Matches(types[k], filter))
            return {k, k != current};
    }
    return current > 0 ? Step{current - 1, true} : Step{};
}

Step Next(std::span<const int> types, unsigned current, int filter)
{
    const std::size_t count = types.size();
    if (current >= count)
        return {};
    unsigned candidate = 0;
    if (filter == 0) {
        candidate = current + 1;
    } else {
        bool found = false;
        for (unsigned k = current + 1; k < count && !found; ++k) {
            if (Matches(types[k], filter)) {
                candidate = k;
                found = true;
            }
        }
        // Wrap to the first match before the current entry.
        for (unsigned k = 0; k < current && !found; ++k) {
            if (Matches(types[k], filter)) {
                candidate = k;
                found = true;
            }
        }
    }
    if (candidate != 0 && candidate < count)
        return {candidate, true};
    return {};
}

}  // namespace PlaylistNavigation
