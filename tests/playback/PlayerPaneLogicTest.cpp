// The player pane's rules without a widget: sliders, seek steps, times,
// speeds, digit places, view-button bitmaps and the layout.

#include "playback/PlayerPaneLogic.h"
#include "support/ScopedLocale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace playerpane;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(PlayerPaneTimes, MinutesWithinTheHourAndSecondsWithinTheMinute)
{
    const std::vector<std::pair<std::int64_t, const char*>> rows{
        {0, "00:00"}, {59, "00:59"}, {65, "01:05"}, {3600, "00:00"}, {3725, "02:05"}, {-5, "00:-05"}};
    for (const auto& [seconds, text] : rows)
        EXPECT_EQ(FormatMinutesSeconds(seconds), QString(text)) << seconds;
}

TEST(PlayerPaneTimes, ElapsedSecondsAndSliderValuesTakeTheClampedPosition)
{
    EXPECT_EQ(ElapsedSeconds(65, 0.5f), 32);
    EXPECT_EQ(ElapsedSeconds(3725, 1.0f), 3725);
    EXPECT_EQ(ElapsedSeconds(10, 0.7f), 7);  // single precision, as the player
    const std::vector<std::tuple<float, int, std::int64_t>> positions{
        // position, slider value, elapsed seconds of 60 s
        {kNaN, 0, 0}, {-0.2f, 0, 0}, {0.5f, 5000, 30}, {1.0125f, 10000, 60}, {0.99995f, 9999, 59}};
    for (const auto& [position, slider, elapsed] : positions) {
        EXPECT_EQ(SliderValueFromPosition(position), slider) << position;
        EXPECT_EQ(ElapsedSeconds(60, position), elapsed) << position;
    }
    EXPECT_EQ(SliderValueFromPosition(std::numeric_limits<float>::infinity()), 10000);
}

TEST(PlayerPaneSliders, SpeedRatesLabelsAndBrightness)
{
    const std::vector<std::tuple<int, float, const char*>> speeds{
        {1, 0.1f, "0.10 x"}, {2, 0.25f, "0.25 x"}, {3, 0.5f, "0.50 x"}, {4, 1.0f, "1.00 x"},
        {5, 1.25f, "1.25 x"}, {6, 1.5f, "1.50 x"},  {7, 2.0f, "2.00 x"},
        // outside the slider's range: held to the table
        {0, 0.0f, "0.00 x"}, {-3, 0.0f, "0.00 x"}, {8, 2.0f, "2.00 x"}, {1000, 2.0f, "2.00 x"}};
    const auto check = [&] {
        for (const auto& [position, rate, label] : speeds) {
            EXPECT_EQ(RateForSpeedPosition(position), rate) << position;
            EXPECT_EQ(SpeedLabelText(RateForSpeedPosition(position)), QString(label)) << position;
        }
    };
    check();
    for (const auto& [position, brightness] : std::vector<std::pair<int, float>>{{0, 0.0f}, {50, 1.0f}, {100, 2.0f}})
        EXPECT_EQ(BrightnessForPosition(position), brightness) << position;
    testsupport::ScopedLocale german("de_DE.UTF-8");
    KESTROV_REQUIRE_LOCALE(german);
    check();
}

struct SeekCase {
    const char* name;
    bool paused;
    int duration;
    int frames;
    int sliderPosition;
    std::optional<float> forward;
    std::optional<float> rewind;
};

class PlayerPaneSeek : public ::testing::TestWithParam<SeekCase> {};

TEST_P(PlayerPaneSeek, StepsFromTheSliderPosition)
{
    const SeekCase& c = GetParam();
    const std::optional<int> step = SeekStepUnits(c.paused, c.duration, c.frames, 5);
    const auto target = [&](bool forward) -> std::optional<float> {
        if (!step)
            return std::nullopt;
        return SeekTarget(c.sliderPosition, *step, forward);
    };
    const auto same = [](std::optional<float> a, std::optional<float> b) {
        return a.has_value() == b.has_value() && (!a || std::fabs(*a - *b) < 1e-6f);
    };
    EXPECT_PRED2(same, target(true), c.forward);
    EXPECT_PRED2(same, target(false), c.rewind);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlayerPaneSeek,
    ::testing::Values(
        SeekCase{"PlayingSixtySeconds", false, 60, 1800, 3000, 0.383f, 0.217f},
        SeekCase{"PausedOneFrame", true, 60, 1800, 3000, 0.3005f, 0.2995f},
        SeekCase{"ForwardPastTheEndStopsAtOne", false, 10, 300, 9899, 1.0f, 0.4899f},
        SeekCase{"RewindBeforeTheStartStopsAtZero", false, 10, 300, 2000, 0.7f, 0.0f},
        SeekCase{"NearTheEndNothing", false, 60, 1800, 9950, std::nullopt, std::nullopt},
        SeekCase{"DurationZeroNothing", false, 0, 1800, 3000, std::nullopt, std::nullopt},
        SeekCase{"PausedWithoutFramesNothing", true, 60, 0, 3000, std::nullopt, std::nullopt},
        // A step that would be 0 is one unit.
        SeekCase{"VeryLongRecordingOneUnit", false, 20000, 600000, 3000, 0.3001f, 0.2999f},
        SeekCase{"PausedManyFramesOneUnit", true, 600, 18000, 3000, 0.3001f, 0.2999f},
        SeekCase{"NegativeDurationNothing", false, -5, 1800, 3000, std::nullopt, std::nullopt}),
    [](const ::testing::TestParamInfo<SeekCase>& info) { return std::string(info.param.name); });

TEST(PlayerPaneSeek, AHugeSeekStepNeverOverflows)
{
    EXPECT_EQ(SeekStepUnits(false, 1, 30, std::numeric_limits<int>::max()), 10000);
    EXPECT_EQ(SeekStepUnits(false, 60, 1800, 0), 1);
}

TEST(PlayerPaneSpeedometer, SpeedTextsAndTheirDigits)
{
    struct Row {
        double speed;
        const char* text;
        std::vector<DigitPlacement> digits;
    };
    const std::vector<Row> rows{
        {4.0, "0.0", {{0, 43}, {0, 60}}},
        {4.1, "4.1", {{4, 43}, {1, 60}}},
        {45.26, "45.3", {{4, 32}, {5, 43}, {3, 60}}},
        {123.44, "123.4", {{1, 21}, {2, 32}, {3, 43}, {4, 60}}},
        {-1.0, "0.0", {{0, 43}, {0, 60}}},  // no speed field in the sentence
        // absurd speeds: held to what the speedometer can show
        {1000.0, "999.9", {{9, 21}, {9, 32}, {9, 43}, {9, 60}}},
        {12345.6, "999.9", {{9, 21}, {9, 32}, {9, 43}, {9, 60}}},
        {kInf, "0.0", {{0, 43}, {0, 60}}},
        {std::nan(""), "0.0", {{0, 43}, {0, 60}}},
        {-3.0, "0.0", {{0, 43}, {0, 60}}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(SpeedText(row.speed), QString(row.text)) << row.speed;
        EXPECT_EQ(SpeedDigitPlacements(SpeedText(row.speed)), row.digits) << row.speed;
    }
    testsupport::ScopedLocale german("de_DE.UTF-8");
    KESTROV_REQUIRE_LOCALE(german);
    EXPECT_EQ(SpeedText(45.26), "45.3");
}

TEST(PlayerPaneSpeedometer, OnlyDigitsAreEverPlaced)
{
    EXPECT_TRUE(SpeedDigitPlacements("").empty());
    EXPECT_TRUE(SpeedDigitPlacements("inf").empty());
    EXPECT_EQ(SpeedDigitPlacements("-3.0"), (std::vector<DigitPlacement>{{3, 43}, {0, 60}}));
    // A length without places stacks at x 0.
    EXPECT_EQ(SpeedDigitPlacements("1234.5"), (std::vector<DigitPlacement>{{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 60}}));
}

TEST(PlayerPaneSpeedometer, ComposesBackgroundDigitsAndPointKeyedOnWhite)
{
    // Each digit: a white field with a body of its own colour at (2..7, 4..15).
    SpeedometerImages images;
    images.background = QImage(124, 38, QImage::Format_RGB32);
    images.background.fill(qRgb(10, 20, 30));
    const auto body = [](int d) { return qRgb(100 + d, 50, 200 - d); };
    for (int d = 0; d < 10; ++d) {
        QImage digit(10, 20, QImage::Format_RGB32);
        digit.fill(Qt::white);
        for (int y = 4; y < 16; ++y)
            for (int x = 2; x < 8; ++x)
                digit.setPixel(x, y, body(d));
        images.digits[std::size_t(d)] = digit;
    }
    images.point = QImage(6, 20, QImage::Format_RGB32);
    images.point.fill(Qt::white);
    images.point.setPixel(3, 17, qRgb(1, 2, 3));

    const QImage shown = ComposeSpeedometer(images, "45.3");
    ASSERT_EQ(shown.size(), QSize(124, 38));
    EXPECT_EQ(shown.pixel(32 + 4, 11 + 8), body(4));
    EXPECT_EQ(shown.pixel(43 + 4, 11 + 8), body(5));
    EXPECT_EQ(shown.pixel(60 + 4, 11 + 8), body(3));
    EXPECT_EQ(shown.pixel(54 + 3, 11 + 17), qRgb(1, 2, 3));
    EXPECT_EQ(shown.pixel(32, 11), qRgb(10, 20, 30));  // a digit's white corner
    EXPECT_EQ(shown.pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_EQ(shown.pixel(123, 37), qRgb(10, 20, 30));
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            ASSERT_NE(shown.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;

    const QImage empty = ComposeSpeedometer(images, "");
    EXPECT_EQ(empty.pixel(43 + 4, 11 + 8), qRgb(10, 20, 30));
    EXPECT_EQ(empty.pixel(54 + 3, 11 + 17), qRgb(1, 2, 3));

    // Nothing to draw with: white everywhere, which the picture leaves out.
    const QImage none = ComposeSpeedometer(SpeedometerImages{}, "45.3");
    EXPECT_EQ(none.size(), QSize(124, 38));
    EXPECT_EQ(none.pixel(40, 20), qRgb(255, 255, 255));
}

TEST(PlayerPaneViews, ModesTheirChannelsAndButtonBitmaps)
{
    using B = ViewButtonBitmaps;
    struct Row {
        int mode;
        bool ch1, ch2, both;
        std::array<B, 3> bitmaps;
    };
    const std::vector<Row> rows{
        {1, true, false, false, {B{299, 299, 299, 300}, B{302, 302, 302, 302}, B{298, 298, 298, 298}}},
        {2, false, true, false, {B{300, 300, 300, 300}, B{301, 301, 301, 302}, B{298, 298, 298, 298}}},
        {3, true, true, true, {B{300, 300, 300, 300}, B{302, 302, 302, 302}, B{297, 297, 297, 298}}},
    };
    for (const Row& row : rows) {
        ASSERT_TRUE(ViewModeFor(row.mode)) << row.mode;
        EXPECT_EQ(ViewModeFor(row.mode)->channel1Shown, row.ch1);
        EXPECT_EQ(ViewModeFor(row.mode)->channel2Shown, row.ch2);
        EXPECT_EQ(ViewModeFor(row.mode)->bothChannelsShown, row.both);
        EXPECT_EQ(ViewModeBitmaps(row.mode), row.bitmaps) << row.mode;
    }
    for (int mode : {0, 4, -1}) {
        EXPECT_FALSE(ViewModeBitmaps(mode));
        EXPECT_FALSE(ViewModeFor(mode));
    }
}

// The layout table as given: each coordinate is a base plus an offset.
enum class Base { Zero, W, H, Cx, LabelY, SliderY };

struct LayoutRow {
    int id;
    Base xBase;
    int x;
    Base yBase;
    int y;
    Base wBase;
    int width;
    int height;
};

const std::vector<LayoutRow> kLayoutTable{
    {FullViewButton, Base::W, -45, Base::H, -40, Base::Zero, 32, 32},
    {TimeCaption, Base::Zero, 10, Base::LabelY, 0, Base::Zero, 80, 20},
    {ElapsedLabel, Base::Zero, 100, Base::LabelY, 0, Base::Zero, 30, 20},
    {SeparatorLabel, Base::Zero, 135, Base::LabelY, 0, Base::Zero, 5, 20},
    {TotalLabel, Base::Zero, 145, Base::LabelY, 0, Base::Zero, 30, 20},
    {SpeedCaption, Base::Zero, 220, Base::LabelY, 0, Base::Zero, 140, 20},
    {SpeedLabel, Base::Zero, 385, Base::LabelY, 0, Base::Zero, 50, 20},
    {FrontViewButton, Base::W, -150, Base::LabelY, -1, Base::Zero, 43, 19},
    {RearViewButton, Base::W, -102, Base::LabelY, -1, Base::Zero, 43, 19},
    {BothViewButton, Base::W, -54, Base::LabelY, -1, Base::Zero, 43, 19},
    {PositionSlider, Base::Zero, 0, Base::SliderY, 0, Base::W, 0, 25},
    {PreviousButton, Base::Cx, 0, Base::H, -45, Base::Zero, 32, 32},
    {RewindButton, Base::Cx, 32, Base::H, -45, Base::Zero, 32, 32},
    {PlayButton, Base::Cx, 71, Base::H, -45, Base::Zero, 32, 32},
    {ForwardButton, Base::Cx, 109, Base::H, -45, Base::Zero, 32, 32},
    {NextButton, Base::Cx, 141, Base::H, -45, Base::Zero, 32, 32},
    {SpeedDefaultButton, Base::Cx, 220, Base::H, -39, Base::Zero, 24, 24},
    {SpeedSlider, Base::Cx, 245, Base::H, -40, Base::Zero, 90, 25},
    {BrightnessDefaultButton, Base::Cx, 340, Base::H, -39, Base::Zero, 24, 24},
    {BrightnessSlider, Base::Cx, 365, Base::H, -40, Base::Zero, 90, 25},
    {MuteButton, Base::Cx, 460, Base::H, -39, Base::Zero, 24, 24},
    {VolumeTrackbar, Base::Cx, 480, Base::H, -40, Base::Zero, 90, 25},
    {VolumeControl, Base::Cx, 500, Base::H, -40, Base::Zero, 70, 21},
    {Speedometer, Base::Cx, 600, Base::H, -45, Base::Zero, 124, 38},
};

struct LayoutSize {
    int w, h;
    bool maximized;
    int cx, labelY, sliderY, videoH;  // worked out by hand
};

class PlayerPaneLayoutTable : public ::testing::TestWithParam<LayoutSize> {};

TEST_P(PlayerPaneLayoutTable, EveryControlWhereTheTableSays)
{
    const LayoutSize& s = GetParam();
    const auto value = [&](Base base) {
        switch (base) {
        case Base::Zero: return 0;
        case Base::W: return s.w;
        case Base::H: return s.h;
        case Base::Cx: return s.cx;
        case Base::LabelY: return s.labelY;
        case Base::SliderY: return s.sliderY;
        }
        return 0;
    };
    const PaneLayout layout = PlayerPaneLayout(s.w, s.h, s.maximized);
    ASSERT_EQ(layout.controls.size(), kLayoutTable.size());
    for (const LayoutRow& row : kLayoutTable) {
        const QRect expected(value(row.xBase) + row.x, value(row.yBase) + row.y, value(row.wBase) + row.width,
                             row.height);
        EXPECT_EQ(layout.RectOf(row.id), expected) << row.id;
    }
    EXPECT_EQ(layout.gyroscope, QRect(0, s.h - 190, s.w, 135));
    EXPECT_EQ(layout.gyroscopeShown, !s.maximized);
    EXPECT_EQ(layout.fullViewShown, s.maximized);
    EXPECT_EQ(layout.band, QRect(0, s.videoH, s.w, s.maximized ? 25 : 30));
    EXPECT_EQ(layout.controlRow, QRect(0, s.h - 55, s.w, 55));

    const VideoRects one = VideoPaneRects(s.w, s.h, s.maximized, false);
    EXPECT_EQ(one.channel1, QRect(0, 0, s.w, s.videoH));
    EXPECT_EQ(one.channel2, QRect(0, 0, s.w, s.videoH));
    const VideoRects both = VideoPaneRects(s.w, s.h, s.maximized, true);
    EXPECT_EQ(both.channel1, QRect(0, 0, s.w / 2, s.videoH));
    EXPECT_EQ(both.channel2, QRect(s.w / 2, 0, s.w / 2, s.videoH));
}

INSTANTIATE_TEST_SUITE_P(Sizes, PlayerPaneLayoutTable,
                         ::testing::Values(LayoutSize{754, 655, false, 17, 420, 440, 410},
                                           LayoutSize{754, 655, true, 17, 555, 575, 550},
                                           LayoutSize{1001, 700, false, 140, 465, 485, 455},
                                           LayoutSize{1001, 700, true, 140, 600, 620, 595},
                                           LayoutSize{1065, 758, true, 172, 658, 678, 653},
                                           LayoutSize{720, 655, false, 0, 420, 440, 410},
                                           // below the window's minimum: the row starts left of the pane
                                           LayoutSize{701, 655, false, -10, 420, 440, 410}));

TEST(PlayerPaneLayoutTable, MaximizedVideoIs140PixelsHigherAndModeThreeLeavesTheLastColumn)
{
    EXPECT_EQ(VideoPaneRects(1001, 700, true, false).channel1.height() -
                  VideoPaneRects(1001, 700, false, false).channel1.height(),
              140);
    const VideoRects both = VideoPaneRects(1001, 700, false, true);
    EXPECT_EQ(both.channel1, QRect(0, 0, 500, 455));
    EXPECT_EQ(both.channel2, QRect(500, 0, 500, 455));
}

}  // namespace
