#include "settings/SettingsVocabulary.h"

namespace SettingsVocabulary {

std::optional<QLatin1StringView> TimeZoneText(int value)
{
    if (value < 0 || static_cast<std::size_t>(value) >= kShownTimeZones.size())
        return std::nullopt;
    return kShownTimeZones[static_cast<std::size_t>(value)];
}

}  // namespace SettingsVocabulary
