#pragma once
// The player pane's rules as pure functions and tables: what the sliders
// mean, how far a seek step goes, how times and speeds are written, what the
// speedometer shows, which bitmaps the view buttons take, and where every
// control stands. No widget is touched here.

#include <QImage>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class ImageSource;

namespace playerpane {

// Control ids of template 234.
enum Control : int {
    PositionSlider = 1148,
    PreviousButton = 1136,
    RewindButton = 1137,
    PlayButton = 1139,
    ForwardButton = 1140,
    NextButton = 1141,
    SpeedDefaultButton = 1156,
    SpeedSlider = 1143,
    BrightnessDefaultButton = 1159,
    BrightnessSlider = 1144,
    MuteButton = 1160,
    VolumeTrackbar = 1145,
    VolumeControl = 32782,
    Speedometer = 1185,
    TimeCaption = 1171,
    ElapsedLabel = 1149,
    SeparatorLabel = 1172,
    TotalLabel = 1150,
    SpeedCaption = 1155,
    SpeedLabel = 1154,
    FrontViewButton = 1151,
    RearViewButton = 1152,
    BothViewButton = 1153,
    FullViewButton = 1174,
    UnusedLabel1 = 1170,
    UnusedLabel2 = 1165,
    UnusedLabel3 = 1166,
};

// The position slider's scale: a position 0 to 1 times this.
inline constexpr int kSliderRange = 10000;

// --- sliders -------------------------------------------------------------

// The playback rate at a speed-slider position; the index is held to 0-7
// whatever moved the slider (the slider itself runs 1 to 7).
float RateForSpeedPosition(int position);
// "%.2f x" in the C locale: "0.10 x" ... "2.00 x".
QString SpeedLabelText(float rate);
// The brightness at a brightness-slider position: position / 50 (0.0 to 2.0).
float BrightnessForPosition(int position);

// --- seeking -------------------------------------------------------------

// One rewind or forward step in slider units: one frame (10000 / frames)
// while paused, else the seek step's seconds ((10000 / duration) × step,
// integer division first). None when the step cannot be taken: a duration
// of 0 or less, or paused without a frame count. A step that comes out
// below one unit (more than 10000 frames or seconds) is one unit.
std::optional<int> SeekStepUnits(bool paused, int duration, int totalFrames, int seekStepSeconds);
// The position a step leads to from a slider position, kept within 0 to 1.
// None near the end (slider position + 100 reaching 10000), where neither
// button does anything.
std::optional<float> SeekTarget(int sliderPosition, int stepUnits, bool forward);

// --- positions, times and speeds -----------------------------------------

// A reported position held to 0-1; NaN is 0 (libvlc reports 1.0125 at the
// end, and a broken file anything).
float ClampPosition(float position);
// The slider value of a reported position: clamped, times 10000, truncated.
int SliderValueFromPosition(float position);
// Whole seconds of play at a position: duration × clamped position in
// single precision, as the player computes it, truncated.
std::int64_t ElapsedSeconds(int duration, float position);
// "%.2d:%.2d" of the minutes within the hour and the seconds within the
// minute: hours are not shown, so 3725 s read "02:05".
QString FormatMinutesSeconds(std::int64_t seconds);
// The speedometer's text for a GPS speed in km/h: 0.0 at or below 4.0 km/h
// (and for an absent or non-finite speed), held to at most 999.9, "%.1f" in
// the C locale.
QString SpeedText(double speed);

// --- speedometer ---------------------------------------------------------

struct DigitPlacement {
    int digit;  // 0-9: bitmap 157 + digit
    int x;
    bool operator==(const DigitPlacement&) const = default;
};
// The digits a speed text shows and where: the tenths at x 60, the ones at
// 43, tens 32, hundreds 21; the decimal point is drawn apart. Any character
// that is not a digit is left out.
std::vector<DigitPlacement> SpeedDigitPlacements(const QString& text);

inline constexpr int kSpeedometerBackground = 174;
inline constexpr int kSpeedometerPoint = 127;
inline constexpr int kFirstDigitBitmap = 157;
inline constexpr int kDigitY = 11;
inline constexpr QPoint kPointAt{54, 11};
inline constexpr QSize kSpeedometerSize{124, 38};

// The speedometer's images, asked for once.
struct SpeedometerImages {
    QImage background;
    QImage point;
    std::array<QImage, 10> digits;

    static SpeedometerImages Load(const ImageSource& images);
};
// The background copied opaque, the digits of text and then the point keyed
// on white over it; an empty text gives the empty speedometer (background
// and point). A missing image is left out (white, so the picture's key lets
// the pane show through).
QImage ComposeSpeedometer(const SpeedometerImages& images, const QString& text);

// --- buttons -------------------------------------------------------------

// An icon button's look: its normal, pressed and hover icons.
struct IconLook {
    int normal;
    int pressed;
    int hover;
    bool operator==(const IconLook&) const = default;
};

struct TransportButtonLooks {
    int id;
    IconLook enabled;  // the play button's playing look
    IconLook disabled;
};

struct TransportLooks {
    static constexpr std::array<TransportButtonLooks, 5> kButtons{{
        {PreviousButton, {228, 229, 231}, {230, 230, 230}},
        {RewindButton, {232, 233, 235}, {234, 234, 234}},
        {PlayButton, {220, 221, 223}, {226, 226, 226}},
        {ForwardButton, {212, 213, 215}, {214, 214, 214}},
        {NextButton, {216, 217, 219}, {218, 218, 218}},
    }};
    static constexpr IconLook kPlaying{220, 221, 223};
    static constexpr IconLook kPaused{224, 225, 227};
    static constexpr IconLook kFullView{347, 348, 349};
    static const TransportButtonLooks& For(int id);
};

// A bitmap button's normal and selected bitmaps.
struct BitmapPair {
    int normal;
    int selected;
};
inline constexpr BitmapPair kSpeedDefaultBitmaps{181, 182};
inline constexpr BitmapPair kBrightnessDefaultBitmaps{109, 110};
inline constexpr BitmapPair kUnmutedBitmaps{183, 184};
inline constexpr BitmapPair kMutedBitmaps{155, 156};

// --- view modes ----------------------------------------------------------

// A view button's bitmaps: normal, selected, focus, disabled.
using ViewButtonBitmaps = std::array<int, 4>;
// The front, rear and both-channels buttons' bitmaps in a mode (1 to 3);
// none for any other mode.
std::optional<std::array<ViewButtonBitmaps, 3>> ViewModeBitmaps(int mode);

struct ChannelVisibility {
    bool channel1Shown;
    bool channel2Shown;
    bool bothChannelsShown;
};
// Modes 1 front, 2 rear, 3 both; none for any other.
std::optional<ChannelVisibility> ViewModeFor(int mode);

// --- layout --------------------------------------------------------------

struct PlacedControl {
    int id;
    QRect rect;
};

struct PaneLayout {
    std::vector<PlacedControl> controls;  // in the order they are placed
    QRect gyroscope;
    bool gyroscopeShown;
    bool fullViewShown;
    // The black band between the video and the controls.
    QRect band;
    // Where the background bitmap is stretched: the lowest 55 pixels.
    QRect controlRow;

    std::optional<QRect> RectOf(int id) const;
};

// Every control's rectangle in a client area of w × h.
PaneLayout PlayerPaneLayout(int w, int h, bool maximized);

struct VideoRects {
    QRect channel1;
    QRect channel2;
};
// The two channel panes: both the whole video area, or its two halves.
VideoRects VideoPaneRects(int w, int h, bool maximized, bool bothChannelsShown);

}  // namespace playerpane
