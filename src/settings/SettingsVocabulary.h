#pragma once
// The fixed vocabulary the recorder's setup.cfg and the settings dialog share:
// key names, the key/value separator and the time-zone offsets. Compile-time
// ASCII views, so nothing is built at start-up and no initialisation order
// matters.

#include <QLatin1StringView>
#include <array>
#include <optional>

namespace SettingsVocabulary {

// Every key is its name padded with blanks to exactly 24 characters; setup.cfg
// is compared against these exactly, blanks and case included.
inline constexpr qsizetype kKeyLength = 24;

inline constexpr QLatin1StringView kKeyProductName       {"Product Name            "};
inline constexpr QLatin1StringView kKeyHwVersion         {"H/W Version             "};
inline constexpr QLatin1StringView kKeySwVersion         {"S/W Version             "};
inline constexpr QLatin1StringView kKeyAccTriggerLevel   {"Acc Trigger Level       "};
inline constexpr QLatin1StringView kKeyLcdBrightness     {"LCD Brightness          "};
inline constexpr QLatin1StringView kKeyBackgroundImage   {"Background Image        "};
inline constexpr QLatin1StringView kKeyScreenSaverEnable {"Screen saver Enable     "};
inline constexpr QLatin1StringView kKeyRecAudioEnable    {"REC Audio Enable        "};
inline constexpr QLatin1StringView kKeySpkVol            {"SPK Vol                 "};
inline constexpr QLatin1StringView kKeyTouchAudioEnable  {"Touch Audio Enable      "};
inline constexpr QLatin1StringView kKeyParkingModeOnOff  {"Parking Mode On Off     "};
inline constexpr QLatin1StringView kKeyPowerOffVoltage   {"Power Off Voltage       "};
inline constexpr QLatin1StringView kKeyPowerOffTime      {"Power OFF Time          "};
inline constexpr QLatin1StringView kKeyLcdOffTime        {"LCD Off Time            "};
// Read as a second spelling of kKeyLcdOffTime; never written.
inline constexpr QLatin1StringView kKeyLcdOffTimeAlias   {"LCD OFF Time            "};
inline constexpr QLatin1StringView kKeyCameraAngle       {"Camera Angle            "};
inline constexpr QLatin1StringView kKeyAutoParkingMode   {"Auto Parking Mode       "};
inline constexpr QLatin1StringView kKeySdFormatReserved  {"SD Format reserved      "};
inline constexpr QLatin1StringView kKeySdFormatYear      {"SD Format Year          "};
inline constexpr QLatin1StringView kKeySdFormatMonth     {"SD Format Month         "};
inline constexpr QLatin1StringView kKeySdFormatDay       {"SD Format Day           "};
inline constexpr QLatin1StringView kKeyVideoQuality      {"Video Quality           "};
inline constexpr QLatin1StringView kKeyTimeZone          {"Time Zone               "};

inline constexpr std::array<QLatin1StringView, 23> kAllKeys{
    kKeyProductName, kKeyHwVersion, kKeySwVersion, kKeyAccTriggerLevel, kKeyLcdBrightness,
    kKeyBackgroundImage, kKeyScreenSaverEnable, kKeyRecAudioEnable, kKeySpkVol, kKeyTouchAudioEnable,
    kKeyParkingModeOnOff, kKeyPowerOffVoltage, kKeyPowerOffTime, kKeyLcdOffTime, kKeyLcdOffTimeAlias,
    kKeyCameraAngle, kKeyAutoParkingMode, kKeySdFormatReserved, kKeySdFormatYear, kKeySdFormatMonth,
    kKeySdFormatDay, kKeyVideoQuality, kKeyTimeZone};

constexpr bool AllKeysPadded()
{
    for (QLatin1StringView key : kAllKeys) {
        if (key.size() != kKeyLength)
            return false;
    }
    return true;
}
static_assert(AllKeysPadded(), "every setup.cfg key is 24 characters");

// Between key and value; the value therefore starts at position 26.
inline constexpr QLatin1StringView kSeparator{": "};
inline constexpr qsizetype kValuePosition = kKeyLength + 2;

inline constexpr std::size_t kTimeZoneCount = 33;

// The offsets in their defined order; Greenwich is the single character "0".
inline constexpr std::array<QLatin1StringView, kTimeZoneCount> kTimeZoneOffsets{
    QLatin1StringView{"-12:00"}, QLatin1StringView{"-11:00"}, QLatin1StringView{"-10:00"},
    QLatin1StringView{"-09:00"}, QLatin1StringView{"-08:00"}, QLatin1StringView{"-07:00"},
    QLatin1StringView{"-06:00"}, QLatin1StringView{"-05:00"}, QLatin1StringView{"-04:30"},
    QLatin1StringView{"-04:00"}, QLatin1StringView{"-03:30"}, QLatin1StringView{"-03:00"},
    QLatin1StringView{"-02:00"}, QLatin1StringView{"-01:00"}, QLatin1StringView{"0"},
    QLatin1StringView{"+01:00"}, QLatin1StringView{"+02:00"}, QLatin1StringView{"+03:00"},
    QLatin1StringView{"+03:30"}, QLatin1StringView{"+04:00"}, QLatin1StringView{"+04:30"},
    QLatin1StringView{"+05:00"}, QLatin1StringView{"+05:30"}, QLatin1StringView{"+05:45"},
    QLatin1StringView{"+06:00"}, QLatin1StringView{"+06:30"}, QLatin1StringView{"+07:00"},
    QLatin1StringView{"+08:00"}, QLatin1StringView{"+09:00"}, QLatin1StringView{"+09:30"},
    QLatin1StringView{"+10:00"}, QLatin1StringView{"+11:00"}, QLatin1StringView{"+12:00"}};

// The order the dialog's list shows them in; the position is the value of the
// "Time Zone" key. Fixed here, never sorted at run time, since the recorder's
// values depend on exactly this order.
inline constexpr std::array<QLatin1StringView, kTimeZoneCount> kShownTimeZones{
    QLatin1StringView{"+01:00"}, QLatin1StringView{"+02:00"}, QLatin1StringView{"+03:00"},
    QLatin1StringView{"+03:30"}, QLatin1StringView{"+04:00"}, QLatin1StringView{"+04:30"},
    QLatin1StringView{"+05:00"}, QLatin1StringView{"+05:30"}, QLatin1StringView{"+05:45"},
    QLatin1StringView{"+06:00"}, QLatin1StringView{"+06:30"}, QLatin1StringView{"+07:00"},
    QLatin1StringView{"+08:00"}, QLatin1StringView{"+09:00"}, QLatin1StringView{"+09:30"},
    QLatin1StringView{"+10:00"}, QLatin1StringView{"+11:00"}, QLatin1StringView{"+12:00"},
    QLatin1StringView{"0"},      QLatin1StringView{"-01:00"}, QLatin1StringView{"-02:00"},
    QLatin1StringView{"-03:00"}, QLatin1StringView{"-03:30"}, QLatin1StringView{"-04:00"},
    QLatin1StringView{"-04:30"}, QLatin1StringView{"-05:00"}, QLatin1StringView{"-06:00"},
    QLatin1StringView{"-07:00"}, QLatin1StringView{"-08:00"}, QLatin1StringView{"-09:00"},
    QLatin1StringView{"-10:00"}, QLatin1StringView{"-11:00"}, QLatin1StringView{"-12:00"}};

inline constexpr int kDefaultTimeZone = 13;  // "+09:00"

// The shown entry for a "Time Zone" value; none outside 0..32, which the
// dialog shows as no selection.
std::optional<QLatin1StringView> TimeZoneText(int value);

}  // namespace SettingsVocabulary
