#include "ProgramSkin.h"

#include "Glyphs.h"
#include "Palette.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <utility>

namespace skingen {

namespace {

using namespace palette;

enum class Group {
    PlayerBand, TitleStrip, ToolbarEnd, Logo, PaneStrip, ListHeader, ScrollPart, VolumeWedge, Channel, Fill,
    Thumb, SmallButton, ViewButton, FilterButton, Speedometer, Digit, DecimalPoint, ChannelLogo, AboutTitle,
    AboutButton, FaceIcon, WindowIcon, NoDataPicture,
};

// Normal, Hover, Pressed and Disabled are icon faces; bitmap buttons are
// Normal, Selected (highlighted) or Disabled.
enum class Face { Normal, Hover, Pressed, Disabled, Selected };

struct Recipe {
    int number;
    Kind kind;
    int width;
    int height;
    Group group;
    Glyph glyph = Glyph::None;
    Face face = Face::Normal;
    int param = 0;  // the digit; the wedge's fill; the thumb's backdrop; the scroll part
};

constexpr Kind B = Kind::Bitmap;
constexpr Kind I = Kind::Icon;
constexpr int kOnBlack = 0, kOnWindow = 1;
constexpr int kTopCap = 0, kArrow = 1, kBottomCap = 2, kScrollThumb = 3;

constexpr Recipe kRecipes[] = {
    // Backdrops and strips.
    {107, B, 1065, 55, Group::PlayerBand},
    {108, B, 1065, 46, Group::TitleStrip},
    {350, B, 320, 46, Group::ToolbarEnd},
    {153, B, 120, 34, Group::Logo},
    {152, B, 1920, 34, Group::PaneStrip},
    {124, B, 18, 18, Group::ListHeader},
    // Scroll bar.
    {180, B, 18, 18, Group::ScrollPart, Glyph::None, Face::Normal, kTopCap},
    {177, B, 18, 18, Group::ScrollPart, Glyph::ChevronUp, Face::Normal, kArrow},
    {175, B, 18, 18, Group::ScrollPart, Glyph::ChevronDown, Face::Normal, kArrow},
    {178, B, 18, 18, Group::ScrollPart, Glyph::None, Face::Normal, kBottomCap},
    {176, B, 18, 18, Group::ScrollPart, Glyph::None, Face::Normal, kScrollThumb},
    // Sliders.
    {185, B, 70, 21, Group::VolumeWedge, Glyph::None, Face::Normal, 1},
    {186, B, 70, 21, Group::VolumeWedge, Glyph::None, Face::Normal, 0},
    {170, B, 16, 6, Group::Channel},
    {173, B, 16, 6, Group::Channel},
    {167, B, 3, 6, Group::Fill},
    {171, B, 11, 20, Group::Thumb, Glyph::None, Face::Normal, kOnBlack},
    {172, B, 11, 20, Group::Thumb, Glyph::None, Face::Selected, kOnBlack},
    {168, B, 11, 20, Group::Thumb, Glyph::None, Face::Normal, kOnWindow},
    {169, B, 11, 20, Group::Thumb, Glyph::None, Face::Selected, kOnWindow},
    // Small player buttons.
    {181, B, 24, 24, Group::SmallButton, Glyph::Gauge, Face::Normal},
    {182, B, 24, 24, Group::SmallButton, Glyph::Gauge, Face::Selected},
    {109, B, 24, 24, Group::SmallButton, Glyph::Sun, Face::Normal},
    {110, B, 24, 24, Group::SmallButton, Glyph::Sun, Face::Selected},
    {183, B, 24, 24, Group::SmallButton, Glyph::SpeakerWaves, Face::Normal},
    {184, B, 24, 24, Group::SmallButton, Glyph::SpeakerWaves, Face::Selected},
    {155, B, 24, 24, Group::SmallButton, Glyph::SpeakerMuted, Face::Normal},
    {156, B, 24, 24, Group::SmallButton, Glyph::SpeakerMuted, Face::Selected},
    // View buttons: odd numbers highlighted.
    {297, B, 43, 19, Group::ViewButton, Glyph::TwoScreens, Face::Selected},
    {298, B, 43, 19, Group::ViewButton, Glyph::TwoScreens, Face::Normal},
    {299, B, 43, 19, Group::ViewButton, Glyph::ScreenForward, Face::Selected},
    {300, B, 43, 19, Group::ViewButton, Glyph::ScreenForward, Face::Normal},
    {301, B, 43, 19, Group::ViewButton, Glyph::ScreenBackward, Face::Selected},
    {302, B, 43, 19, Group::ViewButton, Glyph::ScreenBackward, Face::Normal},
    // List filters.
    {145, B, 43, 21, Group::FilterButton, Glyph::FourSquares, Face::Normal},
    {128, B, 43, 21, Group::FilterButton, Glyph::FourSquares, Face::Selected},
    {130, B, 43, 21, Group::FilterButton, Glyph::FourSquares, Face::Disabled},
    {139, B, 43, 21, Group::FilterButton, Glyph::Lightning, Face::Normal},
    {140, B, 43, 21, Group::FilterButton, Glyph::Lightning, Face::Selected},
    {142, B, 43, 21, Group::FilterButton, Glyph::Lightning, Face::Disabled},
    {138, B, 43, 21, Group::FilterButton, Glyph::Dot, Face::Normal},
    {134, B, 43, 21, Group::FilterButton, Glyph::Dot, Face::Selected},
    {136, B, 43, 21, Group::FilterButton, Glyph::Dot, Face::Disabled},
    {146, B, 43, 21, Group::FilterButton, Glyph::ThreeArcs, Face::Normal},
    {147, B, 43, 21, Group::FilterButton, Glyph::ThreeArcs, Face::Selected},
    {149, B, 43, 21, Group::FilterButton, Glyph::ThreeArcs, Face::Disabled},
    // Speedometer.
    {174, B, 124, 38, Group::Speedometer},
    {157, B, 10, 20, Group::Digit, Glyph::None, Face::Normal, 0},
    {158, B, 10, 20, Group::Digit, Glyph::None, Face::Normal, 1},
    {159, B, 10, 20, Group::Digit, Glyph::None, Face::Normal, 2},
    {160, B, 10, 20, Group::Digit, Glyph::None, Face::Normal, 3},
    {161, B, 10, 20, Group::Digit, Glyph::None, Face::Normal, 4},
    {162, B, 10, 20, Group::Digit, Glyph::None, Face::Normal, 5},
    {163, B, 10, 20, Group::Digit, Glyph::None, Face::Normal, 6},
    {164, B, 10, 20, Group::Digit, Glyph::None, Face::Normal, 7},
    {165, B, 10, 20, Group::Digit, Glyph::None, Face::Normal, 8},
    {166, B, 10, 20, Group::Digit, Glyph::None, Face::Normal, 9},
    {127, B, 6, 20, Group::DecimalPoint},
    // Channel logo and the about box.
    {310, B, 640, 360, Group::ChannelLogo},
    {101, B, 291, 28, Group::AboutTitle},
    {104, B, 60, 25, Group::AboutButton, Glyph::Check, Face::Normal},
    {105, B, 60, 25, Group::AboutButton, Glyph::Check, Face::Selected},
    // Toolbar icons.
    {188, I, 32, 32, Group::FaceIcon, Glyph::Info, Face::Normal},
    {189, I, 32, 32, Group::FaceIcon, Glyph::Info, Face::Pressed},
    {190, I, 32, 32, Group::FaceIcon, Glyph::Info, Face::Hover},
    {191, I, 32, 32, Group::FaceIcon, Glyph::CornersOut, Face::Normal},
    {192, I, 32, 32, Group::FaceIcon, Glyph::CornersOut, Face::Pressed},
    {193, I, 32, 32, Group::FaceIcon, Glyph::CornersOut, Face::Hover},
    {194, I, 32, 32, Group::FaceIcon, Glyph::Folder, Face::Normal},
    {195, I, 32, 32, Group::FaceIcon, Glyph::Folder, Face::Pressed},
    {196, I, 32, 32, Group::FaceIcon, Glyph::Folder, Face::Hover},
    {197, I, 32, 32, Group::FaceIcon, Glyph::Gear, Face::Normal},
    {198, I, 32, 32, Group::FaceIcon, Glyph::Gear, Face::Pressed},
    {199, I, 32, 32, Group::FaceIcon, Glyph::Gear, Face::Hover},
    {200, I, 32, 32, Group::FaceIcon, Glyph::Printer, Face::Normal},
    {201, I, 32, 32, Group::FaceIcon, Glyph::Printer, Face::Pressed},
    {202, I, 32, 32, Group::FaceIcon, Glyph::Printer, Face::Disabled},
    {203, I, 32, 32, Group::FaceIcon, Glyph::Printer, Face::Hover},
    {204, I, 32, 32, Group::FaceIcon, Glyph::Scissors, Face::Normal},
    {205, I, 32, 32, Group::FaceIcon, Glyph::Scissors, Face::Pressed},
    {206, I, 32, 32, Group::FaceIcon, Glyph::Scissors, Face::Disabled},
    {207, I, 32, 32, Group::FaceIcon, Glyph::Scissors, Face::Hover},
    {208, I, 32, 32, Group::FaceIcon, Glyph::Camera, Face::Normal},
    {209, I, 32, 32, Group::FaceIcon, Glyph::Camera, Face::Pressed},
    {210, I, 32, 32, Group::FaceIcon, Glyph::Camera, Face::Disabled},
    {211, I, 32, 32, Group::FaceIcon, Glyph::Camera, Face::Hover},
    // Transport icons.
    {212, I, 32, 32, Group::FaceIcon, Glyph::Forward, Face::Normal},
    {213, I, 32, 32, Group::FaceIcon, Glyph::Forward, Face::Pressed},
    {214, I, 32, 32, Group::FaceIcon, Glyph::Forward, Face::Disabled},
    {215, I, 32, 32, Group::FaceIcon, Glyph::Forward, Face::Hover},
    {216, I, 32, 32, Group::FaceIcon, Glyph::Next, Face::Normal},
    {217, I, 32, 32, Group::FaceIcon, Glyph::Next, Face::Pressed},
    {218, I, 32, 32, Group::FaceIcon, Glyph::Next, Face::Disabled},
    {219, I, 32, 32, Group::FaceIcon, Glyph::Next, Face::Hover},
    {220, I, 32, 32, Group::FaceIcon, Glyph::Pause, Face::Normal},
    {221, I, 32, 32, Group::FaceIcon, Glyph::Pause, Face::Pressed},
    {223, I, 32, 32, Group::FaceIcon, Glyph::Pause, Face::Hover},
    {224, I, 32, 32, Group::FaceIcon, Glyph::Play, Face::Normal},
    {225, I, 32, 32, Group::FaceIcon, Glyph::Play, Face::Pressed},
    {226, I, 32, 32, Group::FaceIcon, Glyph::Play, Face::Disabled},
    {227, I, 32, 32, Group::FaceIcon, Glyph::Play, Face::Hover},
    {228, I, 32, 32, Group::FaceIcon, Glyph::Previous, Face::Normal},
    {229, I, 32, 32, Group::FaceIcon, Glyph::Previous, Face::Pressed},
    {230, I, 32, 32, Group::FaceIcon, Glyph::Previous, Face::Disabled},
    {231, I, 32, 32, Group::FaceIcon, Glyph::Previous, Face::Hover},
    {232, I, 32, 32, Group::FaceIcon, Glyph::Rewind, Face::Normal},
    {233, I, 32, 32, Group::FaceIcon, Glyph::Rewind, Face::Pressed},
    {234, I, 32, 32, Group::FaceIcon, Glyph::Rewind, Face::Disabled},
    {235, I, 32, 32, Group::FaceIcon, Glyph::Rewind, Face::Hover},
    // Leaving the full view.
    {347, I, 32, 32, Group::FaceIcon, Glyph::CornersIn, Face::Normal},
    {348, I, 32, 32, Group::FaceIcon, Glyph::CornersIn, Face::Pressed},
    {349, I, 32, 32, Group::FaceIcon, Glyph::CornersIn, Face::Hover},
    // The map's dock button; 236 and 342 serve pressed and hover.
    {102, I, 32, 32, Group::FaceIcon, Glyph::ArrowOutOfSquare, Face::Normal},
    {236, I, 32, 32, Group::FaceIcon, Glyph::ArrowOutOfSquare, Face::Pressed},
    {237, I, 32, 32, Group::FaceIcon, Glyph::ArrowOutOfSquare, Face::Disabled},
    {341, I, 32, 32, Group::FaceIcon, Glyph::ArrowIntoSquare, Face::Normal},
    {342, I, 32, 32, Group::FaceIcon, Glyph::ArrowIntoSquare, Face::Pressed},
    {343, I, 32, 32, Group::FaceIcon, Glyph::ArrowIntoSquare, Face::Disabled},
    // The window icon and the map pane's no-data pictures.
    {245, I, 32, 32, Group::WindowIcon},
    {103, Kind::Png, 128, 158, Group::NoDataPicture, Glyph::MapPinSlash},
    {268, Kind::Png, 128, 158, Group::NoDataPicture, Glyph::GlobeSlash},
};

// Plain backdrop with a dark line at the bottom.
void DrawStrip(QImage& image, const QColor& fill)
{
    image.fill(fill);
    QPainter(&image).fillRect(QRect(0, image.height() - 1, image.width(), 1), kDark);
}

void DrawPlayerBand(QImage& image)
{
    image.fill(kWindow);
    QPainter(&image).fillRect(QRect(0, 0, image.width(), 1), kTrack);
}

void DrawToolbarEnd(QImage& image)
{
    DrawStrip(image, kWindow);
    // The underline fades into the strip at its right end.
    QLinearGradient fade(0, 0, image.width(), 0);
    fade.setColorAt(0, kAccent);
    fade.setColorAt(0.75, kAccent);
    fade.setColorAt(1, kWindow);
    QPainter(&image).fillRect(QRect(0, 43, image.width(), 2), fade);
}

void DrawLogo(QImage& image)
{
    image.fill(kWindow);
    QPainter painter(&image);
    DrawAppMark(painter, QRectF(4, 3, 28, 28), 3);
    painter.setRenderHint(QPainter::Antialiasing);
    // A road sweeping away from the mark: a grey band with a dashed accent centre.
    QPainterPath road;
    road.moveTo(38, 28);
    road.cubicTo(66, 28, 80, 8, 116, 7);
    painter.setPen(QPen(kDisabled, 6, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(road);
    QPen centre(kAccent, 1.2, Qt::CustomDashLine, Qt::FlatCap);
    centre.setDashPattern({4, 4});
    painter.setPen(centre);
    painter.drawPath(road);
}

void DrawListHeader(QImage& image)
{
    for (int y = 0; y < image.height() - 1; ++y) {
        const int grey = 70 - (14 * y) / (image.height() - 2);
        QPainter(&image).fillRect(QRect(0, y, image.width(), 1), QColor(grey, grey, grey));
    }
    QPainter(&image).fillRect(QRect(0, image.height() - 1, image.width(), 1), kDark);
}

void DrawScrollPart(QImage& image, const Recipe& recipe)
{
    image.fill(kTrack);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    switch (recipe.param) {
    case kTopCap:
    case kBottomCap:
        painter.setBrush(kDisabled);
        painter.drawRoundedRect(QRectF(4, recipe.param == kTopCap ? 6 : 9, 10, 3), 1.5, 1.5);
        break;
    case kScrollThumb:
        painter.setBrush(kThumb);
        painter.drawRoundedRect(QRectF(3, 1, 12, 16), 3, 3);
        break;
    default:
        DrawGlyph(painter, recipe.glyph, QRectF(3, 3, 12, 12), kGlyph);
        break;
    }
}

// Aliased, so that both channel images carry exactly the same key pixels.
void DrawVolumeWedge(QImage& image, const Recipe& recipe)
{
    const QRgb body = (recipe.param ? kAccent : kTrack).rgb();
    const int w = image.width(), h = image.height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // Rising from 3 to h - 2 rows over x 1 to w - 2; the border stays key.
            const int height = 3 + ((x - 1) * (h - 5)) / (w - 3);
            const bool inside = x >= 1 && x <= w - 2 && y <= h - 2 && y >= h - 1 - height;
            image.setPixel(x, y, inside ? body : kKeyMagenta.rgb());
        }
}

void DrawChannel(QImage& image)
{
    DrawStrip(image, kTrack);
    QPainter(&image).fillRect(QRect(0, image.height() - 1, image.width(), 1), kTrack);
    QPainter(&image).fillRect(QRect(0, 0, image.width(), 1), kDark);
}

// A rounded body on its backdrop, one backdrop pixel left around it so the
// button's edge matches what it stands on.
void DrawButtonBody(QImage& image, const QColor& on, Face face, Glyph glyph, const QRectF& glyphBox)
{
    image.fill(on);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QColor body = face == Face::Selected ? kAccent : face == Face::Disabled ? kDisabledBody : kBody;
    const QColor ink = face == Face::Selected ? kDark : face == Face::Disabled ? kDisabled : kGlyph;
    painter.setBrush(body);
    painter.drawRoundedRect(QRectF(image.rect()).adjusted(1, 1, -1, -1), 3, 3);
    if (glyph != Glyph::None)
        DrawGlyph(painter, glyph, glyphBox, ink);
}

QRectF CentredBox(const QImage& image, qreal side)
{
    return QRectF((image.width() - side) / 2, (image.height() - side) / 2, side, side);
}

void DrawThumb(QImage& image, const Recipe& recipe)
{
    image.fill(recipe.param == kOnBlack ? QColor(Qt::black) : kWindow);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(recipe.face == Face::Selected ? kAccent : kGlyph);
    painter.drawRoundedRect(QRectF(image.rect()), 3, 3);
    painter.setBrush(recipe.face == Face::Selected ? kDark : kThumb);
    painter.drawRect(QRectF(5, 5, 1, 10));
}

void DrawSpeedometer(QImage& image)
{
    image.fill(kWindow);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kDark);
    painter.drawRoundedRect(QRectF(image.rect()).adjusted(1, 1, -1, -1), 5, 5);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(18, 8, 56, 26), kLcd);
    DrawGlyph(painter, Glyph::Gauge, QRectF(80, 3, 36, 32), kGlyph);
}

// Seven segments, each 2 px thick, on the white key.
void DrawDigit(QImage& image, const Recipe& recipe)
{
    static const char* const kLit[10] = {"abcdef", "bc", "abdeg", "abcdg", "bcfg",
                                         "acdfg", "acdefg", "abc", "abcdefg", "abcdfg"};
    const QRect segments[7] = {
        QRect(3, 1, 4, 2), QRect(7, 3, 2, 6), QRect(7, 11, 2, 6), QRect(3, 17, 4, 2),
        QRect(1, 11, 2, 6), QRect(1, 3, 2, 6), QRect(3, 9, 4, 2),
    };
    image.fill(kKeyWhite);
    QPainter painter(&image);
    for (const char* s = kLit[recipe.param]; *s; ++s)
        painter.fillRect(segments[*s - 'a'], kLcdDigit);
}

void DrawDecimalPoint(QImage& image)
{
    image.fill(kKeyWhite);
    QPainter(&image).fillRect(QRect(2, 17, 2, 2), kLcdDigit);
}

void DrawChannelLogo(QImage& image)
{
    image.fill(Qt::black);
    QPainter painter(&image);
    const QPointF centre(image.width() / 2.0, image.height() / 2.0);
    QRadialGradient glow(centre, 220);
    glow.setColorAt(0, QColor(44, 44, 48));
    glow.setColorAt(1, Qt::black);
    painter.fillRect(image.rect(), glow);
    DrawAppMark(painter, QRectF(centre - QPointF(70, 70), QSizeF(140, 140)), 10);
}

void DrawAboutTitle(QImage& image)
{
    DrawStrip(image, kDark);
    QPainter painter(&image);
    painter.fillRect(QRect(0, image.height() - 2, image.width(), 2), kAccent);
    DrawAppMark(painter, QRectF(6, 3, 20, 20), 2.5);
}

// Transparent field, glyph inset by 3 px.
void DrawFaceIcon(QImage& image, const Recipe& recipe)
{
    QPainter painter(&image);
    QRectF box(3, 3, 26, 26);
    QColor ink = kGlyph;
    switch (recipe.face) {
    case Face::Hover:
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 28));
        painter.drawEllipse(QRectF(1.5, 1.5, 29, 29));
        ink = kHover;
        break;
    case Face::Pressed:
        box.translate(0, 1);
        ink = kAccent;
        break;
    case Face::Disabled:
        ink = kDisabled;
        break;
    default:
        break;
    }
    DrawGlyph(painter, recipe.glyph, box, ink);
}

void DrawWindowIcon(QImage& image)
{
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kDark);
    painter.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    DrawAppMark(painter, QRectF(4, 4, 24, 24), 3);
}

void DrawNoDataPicture(QImage& image, const Recipe& recipe)
{
    QPainter painter(&image);
    DrawGlyph(painter, recipe.glyph, QRectF(16, 31, 96, 96), kGlyph, 6);
}

void Draw(const Recipe& recipe, QImage& image)
{
    switch (recipe.group) {
    case Group::PlayerBand: return DrawPlayerBand(image);
    case Group::TitleStrip: return DrawStrip(image, kWindow);
    case Group::ToolbarEnd: return DrawToolbarEnd(image);
    case Group::Logo: return DrawLogo(image);
    case Group::PaneStrip: return DrawStrip(image, kStrip);
    case Group::ListHeader: return DrawListHeader(image);
    case Group::ScrollPart: return DrawScrollPart(image, recipe);
    case Group::VolumeWedge: return DrawVolumeWedge(image, recipe);
    case Group::Channel: return DrawChannel(image);
    case Group::Fill: return image.fill(kAccent);
    case Group::Thumb: return DrawThumb(image, recipe);
    case Group::SmallButton: return DrawButtonBody(image, kWindow, recipe.face, recipe.glyph, CentredBox(image, 16));
    case Group::ViewButton: return DrawButtonBody(image, Qt::black, recipe.face, recipe.glyph, CentredBox(image, 15));
    case Group::FilterButton: return DrawButtonBody(image, kStrip, recipe.face, recipe.glyph, CentredBox(image, 15));
    case Group::Speedometer: return DrawSpeedometer(image);
    case Group::Digit: return DrawDigit(image, recipe);
    case Group::DecimalPoint: return DrawDecimalPoint(image);
    case Group::ChannelLogo: return DrawChannelLogo(image);
    case Group::AboutTitle: return DrawAboutTitle(image);
    case Group::AboutButton: return DrawButtonBody(image, kAboutPanel, recipe.face, recipe.glyph, CentredBox(image, 17));
    case Group::FaceIcon: return DrawFaceIcon(image, recipe);
    case Group::WindowIcon: return DrawWindowIcon(image);
    case Group::NoDataPicture: return DrawNoDataPicture(image, recipe);
    }
}

template <std::size_t Index>
void DrawEntry(QImage& image)
{
    Draw(kRecipes[Index], image);
}

template <std::size_t... Index>
std::vector<SkinImage> Entries(std::index_sequence<Index...>)
{
    return {SkinImage{kRecipes[Index].kind, kRecipes[Index].number, QSize(kRecipes[Index].width, kRecipes[Index].height),
                      &DrawEntry<Index>}...};
}

}  // namespace

std::vector<SkinImage> ProgramSkin()
{
    return Entries(std::make_index_sequence<std::size(kRecipes)>());
}

}  // namespace skingen
