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
inline constexpr qsizetype KeyLength = 24;

inline constexpr QLatin1StringView KeyProductName       {"Product Name            "};
inline constexpr QLatin1StringView KeyHwVersion         {"H/W Version             "};
inline constexpr QLatin1StringView KeySwVersion         {"S/W Version             "};
inline constexpr QLatin1StringView KeyAccTriggerLevel   {"Acc Trigger Level       "};
inline constexpr QLatin1StringView KeyLcdBrightness     {"LCD Brightness          "};
inline constexpr QLatin1StringView KeyBackgroundImage   {"Background Image        "};
inline constexpr QLatin1StringView KeyScreenSaverEnable {"Screen saver Enable     "};
inline constexpr QLatin1StringView KeyRecAudioEnable    {"REC Audio Enable        "};
inline constexpr QLatin1StringView KeySpkVol            {"SPK Vol                 "};
inline constexpr QLatin1StringView KeyTouchAudioEnable  {"Touch Audio Enable      "};
inline constexpr QLatin1StringView KeyParkingModeOnOff  {"Parking Mode On Off     "};
inline constexpr QLatin1StringView KeyPowerOffVoltage   {"Power Off Voltage       "};
inline constexpr QLatin1StringView KeyPowerOffTime      {"Power OFF Time          "};
inline constexpr QLatin1StringView KeyLcdOffTime        {"LCD Off Time            "};
// Read as a second spelling of KeyLcdOffTime; never written.
inline constexpr QLatin1StringView KeyLcdOffTimeAlias   {"LCD OFF Time            "};
inline constexpr QLatin1StringView KeyCameraAngle       {"Camera Angle            "};
inline constexpr QLatin1StringView KeyAutoParkingMode   {"Auto Parking Mode       "};
inline constexpr QLatin1StringView KeySdFormatReserved  {"SD Format reserved      "};
inline constexpr QLatin1StringView KeySdFormatYear      {"SD Format Year          "};
inline constexpr QLatin1StringView KeySdFormatMonth     {"SD Format Month         "};
inline constexpr QLatin1StringView KeySdFormatDay       {"SD Format Day           "};
inline constexpr QLatin1StringView KeyVideoQuality      {"Video Quality           "};
inline constexpr QLatin1StringView KeyTimeZone          {"Time Zone               "};

inline constexpr std::array<QLatin1StringView, 23> AllKeys{
    KeyProductName, KeyHwVersion, KeySwVersion, KeyAccTriggerLevel, KeyLcdBrightness,
    KeyBackgroundImage, KeyScreenSaverEnable, KeyRecAudioEnable, KeySpkVol, KeyTouchAudioEnable,
    KeyParkingModeOnOff, KeyPowerOffVoltage, KeyPowerOffTime, KeyLcdOffTime, KeyLcdOffTimeAlias,
    KeyCameraAngle, KeyAutoParkingMode, KeySdFormatReserved, KeySdFormatYear, KeySdFormatMonth,
    KeySdFormatDay, KeyVideoQuality, KeyTimeZone};

constexpr bool AllKeysPadded()
{
    for (QLatin1StringView key : AllKeys) {
        if (key.size() != KeyLength)
            return false;
    }
    return true;
}
static_assert(AllKeysPadded(), "every setup.cfg key is 24 characters");

// Between key and value; the value therefore starts at position 26.
inline constexpr QLatin1StringView Separator{": "};
inline constexpr qsizetype ValuePosition = KeyLength + 2;

inline constexpr std::size_t TimeZoneCount = 33;

// The offsets in their defined order; Greenwich is the single character "0".
inline constexpr std::array<QLatin1StringView, TimeZoneCount> TimeZoneOffsets{
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
inline constexpr std::array<QLatin1StringView, TimeZoneCount> ShownTimeZones{
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

inline constexpr int DefaultTimeZone = 13;  // "+09:00"

// The shown entry for a "Time Zone" value; none outside 0..32, which the
// dialog shows as no selection.
std::optional<QLatin1StringView> TimeZoneText(int value);

}  // namespace SettingsVocabulary
