#include "playback/PlayerPaneLogic.h"

#include "controls/ImageSource.h"
#include "core/Numbers.h"
#include "platform/gdi/GdiCompat.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace playerpane {

namespace {

constexpr std::array<float, 8> kRates{0.0f, 0.1f, 0.25f, 0.5f, 1.0f, 1.25f, 1.5f, 2.0f};

// Near the end neither step button moves: one page of the position slider.
constexpr int kNearEndMargin = 100;

constexpr float kShownSpeedFloor = 4.0f;
constexpr double kHighestSpeed = 999.9;

constexpr gdi::ColorRef kWhite = gdi::Rgb(255, 255, 255);

}  // namespace

float RateForSpeedPosition(int position)
{
    return kRates[std::size_t(std::clamp(position, 0, int(kRates.size()) - 1))];
}

QString SpeedLabelText(float rate)
{
    return Numbers::FormatFixed(rate, 2) + QStringLiteral(" x");
}

float BrightnessForPosition(int position)
{
    return float(position / 50.0);
}

std::optional<int> SeekStepUnits(bool paused, int duration, int totalFrames, int seekStepSeconds)
{
    if (duration <= 0)
        return std::nullopt;
    std::int64_t step = 0;
    if (paused) {
        if (totalFrames <= 0)
            return std::nullopt;
        step = kSliderRange / totalFrames;
    } else {
        step = std::int64_t(kSliderRange / duration) * seekStepSeconds;
    }
    return int(std::clamp<std::int64_t>(step, 1, kSliderRange));
}

std::optional<float> SeekTarget(int sliderPosition, int stepUnits, bool forward)
{
    if (sliderPosition + kNearEndMargin >= kSliderRange)
        return std::nullopt;
    const int target = forward ? sliderPosition + stepUnits : sliderPosition - stepUnits;
    return std::clamp(float(target / double(kSliderRange)), 0.0f, 1.0f);
}

float ClampPosition(float position)
{
    if (std::isnan(position))
        return 0.0f;
    return std::clamp(position, 0.0f, 1.0f);
}

int SliderValueFromPosition(float position)
{
    return int(ClampPosition(position) * float(kSliderRange));
}

std::int64_t ElapsedSeconds(int duration, float position)
{
    return std::int64_t(float(duration) * ClampPosition(position));
}

QString FormatMinutesSeconds(std::int64_t seconds)
{
    const std::int64_t minutes = seconds / 60 - 60 * (seconds / 3600);
    const std::int64_t rest = seconds - 60 * (seconds / 60);
    // "%.2d": at least two digits, the sign before them.
    const auto twoDigits = [](std::int64_t value) {
        const QString digits = Numbers::FormatInt(value < 0 ? -value : value).rightJustified(2, QLatin1Char('0'));
        return value < 0 ? QLatin1Char('-') + digits : digits;
    };
    return twoDigits(minutes) + QLatin1Char(':') + twoDigits(rest);
}

QString SpeedText(double speed)
{
    double shown = std::isfinite(speed) && speed > kShownSpeedFloor ? speed : 0.0;
    shown = std::min(shown, kHighestSpeed);
    return Numbers::FormatFixed(shown, 1);
}

std::vector<DigitPlacement> SpeedDigitPlacements(const QString& text)
{
    // x of each character before the point, by the text's length.
    static constexpr int kOnes = 43, kTens = 32, kHundreds = 21, kTenths = 60;
    const auto xFor = [](qsizetype length, qsizetype i) {
        switch (length) {
        case 3: return kOnes;
        case 4: return i == 0 ? kTens : kOnes;
        case 5: return i == 0 ? kHundreds : i == 1 ? kTens : kOnes;
        default: return 0;
        }
    };
    std::vector<DigitPlacement> placements;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i + 1 < n; ++i) {
        const bool tenths = i == n - 2;
        const QChar c = tenths ? text.back() : text[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            continue;
        placements.push_back({c.unicode() - '0', tenths ? kTenths : xFor(n, i)});
    }
    return placements;
}

SpeedometerImages SpeedometerImages::Load(const ImageSource& images)
{
    SpeedometerImages loaded;
    loaded.background = images.Bitmap(kSpeedometerBackground);
    for (int d = 0; d < 10; ++d)
        loaded.digits[std::size_t(d)] = images.Bitmap(kFirstDigitBitmap + d);
    loaded.point = images.Bitmap(kSpeedometerPoint);
    return loaded;
}

QImage ComposeSpeedometer(const SpeedometerImages& images, const QString& text)
{
    const QSize size = images.background.isNull() ? kSpeedometerSize : images.background.size();
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    if (!images.background.isNull())
        gdi::Copy(painter, QPoint(0, 0), images.background, images.background.rect());
    for (const DigitPlacement& placement : SpeedDigitPlacements(text)) {
        const QImage& digit = images.digits[std::size_t(placement.digit)];
        if (!digit.isNull())
            gdi::TransparentCopy(painter, QPoint(placement.x, kDigitY), digit, kWhite);
    }
    if (!images.point.isNull())
        gdi::TransparentCopy(painter, kPointAt, images.point, kWhite);
    painter.end();
    return picture;
}

const TransportButtonLooks& TransportLooks::For(int id)
{
    for (const TransportButtonLooks& looks : kButtons)
        if (looks.id == id)
            return looks;
    throw std::logic_error("no transport button " + std::to_string(id));
}

std::optional<std::array<ViewButtonBitmaps, 3>> ViewModeBitmaps(int mode)
{
    switch (mode) {
    case 1: return std::array<ViewButtonBitmaps, 3>{{{299, 299, 299, 300}, {302, 302, 302, 302}, {298, 298, 298, 298}}};
    case 2: return std::array<ViewButtonBitmaps, 3>{{{300, 300, 300, 300}, {301, 301, 301, 302}, {298, 298, 298, 298}}};
    case 3: return std::array<ViewButtonBitmaps, 3>{{{300, 300, 300, 300}, {302, 302, 302, 302}, {297, 297, 297, 298}}};
    default: return std::nullopt;
    }
}

std::optional<ChannelVisibility> ViewModeFor(int mode)
{
    switch (mode) {
    case 1: return ChannelVisibility{true, false, false};
    case 2: return ChannelVisibility{false, true, false};
    case 3: return ChannelVisibility{true, true, true};
    default: return std::nullopt;
    }
}

std::optional<QRect> PaneLayout::RectOf(int id) const
{
    for (const PlacedControl& placed : controls)
        if (placed.id == id)
            return placed.rect;
    return std::nullopt;
}

namespace {

// The rows that move with the view: the video's height, the labels and the
// position slider, and the band between video and labels.
struct Rows {
    int videoH;
    int labelY;
    int sliderY;
    int bandH;
};

Rows RowsFor(int h, bool maximized)
{
    return maximized ? Rows{h - 105, h - 100, h - 80, 25} : Rows{h - 245, h - 235, h - 215, 30};
}

}  // namespace

PaneLayout PlayerPaneLayout(int w, int h, bool maximized)
{
    const Rows rows = RowsFor(h, maximized);
    const int cx = w / 2 - 360;
    const int labelY = rows.labelY;
    const int bottom = h - 45;
    const int small = h - 39;
    const int slider = h - 40;
    PaneLayout layout;
    layout.controls = {
        {FullViewButton, QRect(w - 45, h - 40, 32, 32)},
        {TimeCaption, QRect(10, labelY, 80, 20)},
        {ElapsedLabel, QRect(100, labelY, 30, 20)},
        {SeparatorLabel, QRect(135, labelY, 5, 20)},
        {TotalLabel, QRect(145, labelY, 30, 20)},
        {SpeedCaption, QRect(220, labelY, 140, 20)},
        {SpeedLabel, QRect(385, labelY, 50, 20)},
        {FrontViewButton, QRect(w - 150, labelY - 1, 43, 19)},
        {RearViewButton, QRect(w - 102, labelY - 1, 43, 19)},
        {BothViewButton, QRect(w - 54, labelY - 1, 43, 19)},
        {PositionSlider, QRect(0, rows.sliderY, w, 25)},
        {PreviousButton, QRect(cx, bottom, 32, 32)},
        {RewindButton, QRect(cx + 32, bottom, 32, 32)},
        {PlayButton, QRect(cx + 71, bottom, 32, 32)},
        {ForwardButton, QRect(cx + 109, bottom, 32, 32)},
        {NextButton, QRect(cx + 141, bottom, 32, 32)},
        {SpeedDefaultButton, QRect(cx + 220, small, 24, 24)},
        {SpeedSlider, QRect(cx + 245, slider, 90, 25)},
        {BrightnessDefaultButton, QRect(cx + 340, small, 24, 24)},
        {BrightnessSlider, QRect(cx + 365, slider, 90, 25)},
        {MuteButton, QRect(cx + 460, small, 24, 24)},
        {VolumeTrackbar, QRect(cx + 480, slider, 90, 25)},
        {VolumeControl, QRect(cx + 500, slider, 70, 21)},
        {Speedometer, QRect(cx + 600, bottom, 124, 38)},
    };
    layout.gyroscope = QRect(0, h - 190, w, 135);
    layout.gyroscopeShown = !maximized;
    layout.fullViewShown = maximized;
    layout.band = QRect(0, rows.videoH, w, rows.bandH);
    layout.controlRow = QRect(0, h - 55, w, 55);
    return layout;
}

VideoRects VideoPaneRects(int w, int h, bool maximized, bool bothChannelsShown)
{
    const int videoH = RowsFor(h, maximized).videoH;
    if (!bothChannelsShown)
        return {QRect(0, 0, w, videoH), QRect(0, 0, w, videoH)};
    const int half = w / 2;
    return {QRect(0, 0, half, videoH), QRect(half, 0, half, videoH)};
}

}  // namespace playerpane
