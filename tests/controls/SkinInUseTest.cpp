// The real skin on the controls, placed as the viewer's windows place them
// over backdrops painted as those windows paint them.

#include "ControlsTestSupport.h"
#include "SkinSupport.h"
#include "controls/CBitmapSlider.h"
#include "controls/CButtonStyle.h"
#include "controls/CMyBitmapButton.h"
#include "controls/CMySliderControl.h"
#include "controls/CPicture.h"
#include "platform/gdi/GdiCompat.h"
#include "support/gui/Screenshot.h"

#include <QPainter>
#include <cmath>
#include <functional>
#include <map>

using namespace controlstest;

namespace {

QImage Bitmap(int n)
{
    return ResourceManager::GetInstance().GetBitmap(n);
}
QImage Icon(int n)
{
    return ResourceManager::GetInstance().GetIcon(n);
}

// A window backdrop painted by a function, as the owning window paints it.
class Backdrop : public QWidget {
public:
    Backdrop(QSize size, std::function<void(QPainter&, QSize)> paint) : paint(std::move(paint)) { resize(size); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        paint(painter, size());
    }

private:
    std::function<void(QPainter&, QSize)> paint;
};

struct Look {
    int normal, pressed, hover;
};

// The speedometer as the player pane composes it for a speed text.
QImage Speedometer(const QString& text)
{
    static const int kPositions[3][3] = {{43, 0, 0}, {32, 43, 0}, {21, 32, 43}};
    QImage image = Bitmap(174).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    const int n = int(text.size());
    for (int i = 0; i <= n - 2; ++i) {
        const QChar c = i == n - 2 ? text.back() : text.at(i);
        const int x = i == n - 2 ? 60 : (n >= 3 && n <= 5 ? kPositions[n - 3][i] : 0);
        gdi::TransparentCopy(painter, QPoint(x, 11), Bitmap(157 + c.digitValue()), gdi::Rgb(255, 255, 255));
    }
    gdi::TransparentCopy(painter, QPoint(54, 11), Bitmap(127), gdi::Rgb(255, 255, 255));
    return image;
}

// One window of the viewer with its skinned controls.
struct Scene {
    std::unique_ptr<Backdrop> window;
    std::vector<QWidget*> controls;

    template <typename T, typename... Args>
    T* Add(QRect place, Args&&... args)
    {
        auto* control = new T(std::forward<Args>(args)..., window.get());
        control->setGeometry(place);
        controls.push_back(control);
        return control;
    }
    CButtonStyle* IconButton(QRect place, int background, Look look)
    {
        auto* button = Add<CButtonStyle>(place);
        button->SetBackgroundBitmap(background);
        button->SetIcons(look.normal, look.pressed, look.hover);
        return button;
    }
    CMyBitmapButton* BitmapButton(QPoint at, int normal, int selected)
    {
        auto* button = Add<CMyBitmapButton>(QRect(at, QSize(1, 1)));
        EXPECT_TRUE(button->LoadBitmaps(normal, selected, 0, 0));
        button->SizeToContent();
        return button;
    }
    // What the window shows with and without its controls.
    std::pair<QImage, QImage> Shown()
    {
        window->show();
        const QImage with = Grab(*window);
        for (QWidget* c : controls)
            c->hide();
        const QImage without = Grab(*window);
        for (QWidget* c : controls)
            c->show();
        return {with, without};
    }
};

constexpr int kW = 1065;

Scene Toolbar()
{
    Scene scene{std::make_unique<Backdrop>(QSize(kW, 60), [](QPainter& p, QSize s) {
        p.fillRect(QRect(QPoint(0, 0), s), QColor(59, 59, 59));
        gdi::Stretch(p, QRect(0, 0, s.width(), 46), Bitmap(108), Bitmap(108).rect());
        gdi::Copy(p, QPoint(0, 0), Bitmap(350), QRect(0, 0, Bitmap(350).width(), 46));
    }), {}};
    const Look looks[] = {{194, 195, 196}, {208, 209, 211}, {204, 205, 207}, {200, 201, 203},
                          {197, 198, 199}, {191, 192, 193}, {188, 189, 190}};
    for (int i = 0; i < 7; ++i)
        scene.IconButton(QRect(15 + 42 * i, 9, 32, 32), 108, looks[i]);
    scene.BitmapButton(QPoint(kW - 120 - 6, 6), 153, 0);
    return scene;
}

Scene PlayerPane(int volume = 50, int brightness = 50, int position = 3300)
{
    const int H = 300, cx = kW / 2 - 360, labelY = H - 235, sliderY = H - 215;
    Scene scene{std::make_unique<Backdrop>(QSize(kW, H), [](QPainter& p, QSize s) {
        p.fillRect(QRect(QPoint(0, 0), s), Qt::black);
        gdi::Stretch(p, QRect(0, s.height() - 55, s.width(), 55), Bitmap(107), Bitmap(107).rect());
    }), {}};
    const Look transport[] = {{228, 229, 231}, {232, 233, 235}, {220, 221, 223}, {212, 213, 215}, {216, 217, 219}};
    const int offsets[] = {0, 32, 71, 109, 141};
    for (int i = 0; i < 5; ++i)
        scene.IconButton(QRect(cx + offsets[i], H - 45, 32, 32), 107, transport[i]);
    scene.BitmapButton(QPoint(cx + 220, H - 39), 181, 182);
    scene.BitmapButton(QPoint(cx + 340, H - 39), 109, 110);
    scene.BitmapButton(QPoint(cx + 460, H - 39), 183, 184);
    auto* speed = scene.Add<CMySliderControl>(QRect(cx + 245, H - 40, 90, 25), 173, 168, 169, 0, false);
    speed->SetRange(1, 7);
    speed->SetPos(4);
    auto* bright = scene.Add<CMySliderControl>(QRect(cx + 365, H - 40, 90, 25), 173, 168, 169, 0, false);
    bright->SetPos(brightness);
    auto* vol = scene.Add<CBitmapSlider>(QRect(cx + 500, H - 40, 70, 21));
    EXPECT_TRUE(vol->LoadChannelBitmaps());
    vol->move(cx + 500, H - 40);
    vol->SetPos(volume);
    auto* speedometer = scene.Add<CPicture>(QRect(cx + 600, H - 45, 124, 38));
    speedometer->SetBitmap(Speedometer(QStringLiteral("45.3")));
    auto* pos = scene.Add<CMySliderControl>(QRect(0, sliderY, kW, 25), 170, 171, 172, 167, true);
    pos->SetRange(0, 10000);
    pos->SetPos(position);
    scene.BitmapButton(QPoint(kW - 150, labelY - 1), 300, 0);
    scene.BitmapButton(QPoint(kW - 102, labelY - 1), 302, 0);
    scene.BitmapButton(QPoint(kW - 54, labelY - 1), 297, 0);
    return scene;
}

Scene MapStrip()
{
    Scene scene{std::make_unique<Backdrop>(QSize(280, 60), [](QPainter& p, QSize s) {
        p.fillRect(QRect(QPoint(0, 0), s), QColor(51, 51, 51));
        gdi::Stretch(p, QRect(0, -1, s.width(), 34), Bitmap(152), Bitmap(152).rect());
    }), {}};
    scene.IconButton(QRect(280 - 40, 1, 33, 33), 152, {102, 236, 236});
    return scene;
}

Scene ListStrip()
{
    Scene scene{std::make_unique<Backdrop>(QSize(280, 60), [](QPainter& p, QSize s) {
        p.fillRect(QRect(QPoint(0, 0), s), QColor(51, 51, 51));
        gdi::Stretch(p, QRect(0, 0, s.width(), 33), Bitmap(152), Bitmap(152).rect());
    }), {}};
    scene.BitmapButton(QPoint(85, 5), 128, 0);
    scene.BitmapButton(QPoint(133, 5), 139, 0);
    scene.BitmapButton(QPoint(181, 5), 138, 0);
    scene.BitmapButton(QPoint(229, 5), 149, 0);
    return scene;
}

Scene About()
{
    Scene scene{std::make_unique<Backdrop>(QSize(291, 140), [](QPainter& p, QSize s) {
        p.fillRect(QRect(QPoint(0, 0), s), QColor(75, 75, 75));
        gdi::Stretch(p, QRect(0, 0, 291, 28), Bitmap(101), Bitmap(101).rect());
    }), {}};
    scene.BitmapButton(QPoint(200, 100), 104, 105);
    return scene;
}

// Edge pixels of `control` that differ from the window's pixel beside them
// where the backdrop there is plain; `rows` limits the rows looked at.
std::vector<QPoint> Seams(const QImage& with, const QImage& without, const QRect& control, int rows = -1)
{
    std::vector<QPoint> seams;
    const QRect window = with.rect();
    const int bottom = rows < 0 ? control.bottom() : control.top() + rows - 1;
    const auto check = [&](QPoint edge, QPoint beside) {
        if (!window.contains(beside) || !window.contains(edge))
            return;
        if (without.pixel(edge) != without.pixel(beside))
            return;  // the backdrop itself changes here
        if (with.pixel(edge) != with.pixel(beside))
            seams.push_back(edge);
    };
    for (int x = control.left(); x <= control.right(); ++x) {
        check(QPoint(x, control.top()), QPoint(x, control.top() - 1));
        if (rows < 0)
            check(QPoint(x, control.bottom()), QPoint(x, control.bottom() + 1));
    }
    for (int y = control.top(); y <= bottom; ++y) {
        check(QPoint(control.left(), y), QPoint(control.left() - 1, y));
        check(QPoint(control.right(), y), QPoint(control.right() + 1, y));
    }
    return seams;
}

double Luma(QRgb p)
{
    return 0.299 * qRed(p) + 0.587 * qGreen(p) + 0.114 * qBlue(p);
}

// Mean luma distance of an icon's opaque pixels from the colour behind it.
double Contrast(const QImage& icon, QRgb background)
{
    double sum = 0;
    int count = 0;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            if (qAlpha(icon.pixel(x, y)) == 255) {
                sum += std::abs(Luma(icon.pixel(x, y)) - Luma(background));
                ++count;
            }
    return count == 0 ? 0 : sum / count;
}

int DifferingPixels(const QImage& a, const QImage& b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += qAlpha(a.pixel(x, y)) / 128 != qAlpha(b.pixel(x, y)) / 128;
    return count;
}

struct IconLook {
    Look enabled;
    int disabled;  // 0 = none
    int background;
};

const IconLook kIconLooks[] = {
    {{194, 195, 196}, 0, 108},   {{208, 209, 211}, 210, 108}, {{204, 205, 207}, 206, 108},
    {{200, 201, 203}, 202, 108}, {{197, 198, 199}, 0, 108},   {{191, 192, 193}, 0, 108},
    {{188, 189, 190}, 0, 108},   {{228, 229, 231}, 230, 107}, {{232, 233, 235}, 234, 107},
    {{220, 221, 223}, 226, 107}, {{224, 225, 227}, 226, 107}, {{212, 213, 215}, 214, 107},
    {{216, 217, 219}, 218, 107}, {{347, 348, 349}, 0, 107},   {{102, 236, 236}, 237, 152},
    {{341, 342, 342}, 343, 152},
};

// The plain colour behind an icon on its background image.
QRgb BackgroundColour(int background)
{
    return Bitmap(background).pixel(background == 152 ? QPoint(0, 1) : background == 107 ? QPoint(3, 8) : QPoint(15, 9));
}

class SkinInUseTest : public ::testing::Test {
protected:
    ScopedSkinModule module;
};
using SkinInUseScreenshots = SkinInUseTest;

// The colour an image stands on in the sheet.
QColor SheetColour(int n, SkinKind kind)
{
    const auto in = [n](std::initializer_list<int> list) { return std::find(list.begin(), list.end(), n) != list.end(); };
    if (kind == SkinKind::Png)
        return QColor(51, 51, 51);
    if (kind == SkinKind::Icon)
        return QColor(BackgroundColour(n >= 188 && n <= 211 ? 108 : in({102, 236, 237, 341, 342, 343}) ? 152 : 107));
    if (in({170, 171, 172, 297, 298, 299, 300, 301, 302}))
        return Qt::black;
    if ((n >= 157 && n <= 166) || n == 127)
        return QColor(20, 20, 20);
    if (in({128, 130, 134, 136, 138, 139, 140, 142, 145, 146, 147, 149}))
        return QColor(66, 66, 66);
    if (in({104, 105}))
        return QColor(75, 75, 75);
    if (in({175, 176, 177, 178, 180}))
        return QColor(80, 80, 80);
    return QColor(59, 59, 59);
}

// Every image at 2x on its colour, with its number; keyed images keyed.
QImage Sheet()
{
    std::vector<ExpectedImage> table = ExpectedSkin();
    std::sort(table.begin(), table.end(), [](const auto& a, const auto& b) {
        return a.size.width() * a.size.height() < b.size.width() * b.size.height();
    });
    const int width = 2 * 1920 + 20;
    std::vector<std::pair<QRect, ExpectedImage>> cells;
    int x = 10, y = 10, rowHeight = 0;
    for (const ExpectedImage& e : table) {
        const QSize cell = e.size * 2 + QSize(12, 30);
        if (x + cell.width() > width) {
            x = 10;
            y += rowHeight + 6;
            rowHeight = 0;
        }
        cells.push_back({QRect(QPoint(x, y), cell), e});
        x += cell.width() + 6;
        rowHeight = std::max(rowHeight, cell.height());
    }
    QImage sheet(width, y + rowHeight + 10, QImage::Format_RGB32);
    sheet.fill(QColor(30, 30, 30));
    QPainter painter(&sheet);
    for (const auto& [cell, e] : cells) {
        painter.fillRect(cell, SheetColour(e.number, e.kind));
        QImage image = e.kind == SkinKind::Bitmap ? Bitmap(e.number)
                       : e.kind == SkinKind::Icon ? Icon(e.number)
                                                  : QImage::fromData(ResourceManager::GetInstance().GetRes(e.number, QStringLiteral("PNG")), "PNG");
        if (e.number == 185 || e.number == 186)
            image = gdi::KeyToAlpha(image, gdi::Rgb(255, 0, 255));
        if ((e.number >= 157 && e.number <= 166) || e.number == 127)
            image = gdi::KeyToAlpha(image, gdi::Rgb(255, 255, 255));
        painter.drawImage(cell.topLeft() + QPoint(6, 6), image.scaled(image.size() * 2));
        painter.setPen(QColor(255, 255, 255));
        painter.drawText(QRect(cell.left(), cell.bottom() - 20, cell.width(), 18), Qt::AlignCenter,
                         QString::number(e.number));
    }
    return sheet;
}

}  // namespace

TEST_F(SkinInUseTest, ControlsMeetTheirBackdropsWithoutSeams)
{
    struct Case {
        const char* name;
        std::function<Scene()> make;
        int rows;  // -1: all; else the rows from the top looked at
    };
    const Case cases[] = {
        {"toolbar", Toolbar, -1},
        {"player", [] { return PlayerPane(); }, -1},
        {"player at the ends", [] { return PlayerPane(0, 100, 0); }, -1},
        // The strip ends at row 32 while the 33-px button reaches row 33.
        {"map strip", MapStrip, 31},
        {"list strip", ListStrip, -1},
        {"about", About, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scene scene = c.make();
        const auto [with, without] = scene.Shown();
        for (QWidget* control : scene.controls) {
            const std::vector<QPoint> seams = Seams(with, without, control->geometry(), c.rows);
            EXPECT_TRUE(seams.empty()) << control->metaObject()->className() << " at " << control->x() << ","
                                       << control->y() << ": " << seams.size() << " edge pixels, first "
                                       << seams.front().x() << "," << seams.front().y();
        }
    }
}

TEST_F(SkinInUseTest, IconFacesStandOutUnlessDisabled)
{
    for (const IconLook& look : kIconLooks) {
        SCOPED_TRACE(look.enabled.normal);
        const QRgb background = BackgroundColour(look.background);
        for (int face : {look.enabled.normal, look.enabled.pressed, look.enabled.hover})
            EXPECT_GE(Contrast(Icon(face), background), 90.0) << face;
        if (look.disabled) {
            EXPECT_LT(Contrast(Icon(look.disabled), background), 90.0) << look.disabled;
        }
        EXPECT_NE(Icon(look.enabled.normal), Icon(look.enabled.pressed));
        EXPECT_NE(Icon(look.enabled.normal), Icon(look.enabled.hover));
        if (look.enabled.pressed != look.enabled.hover) {
            EXPECT_NE(Icon(look.enabled.pressed), Icon(look.enabled.hover));
        }
    }
}

TEST_F(SkinInUseTest, ToolbarAndTransportGlyphsDiffer)
{
    const int normals[] = {194, 208, 204, 200, 197, 191, 188, 228, 232, 220, 212, 216};
    for (int a : normals)
        for (int b : normals)
            if (a < b) {
                EXPECT_GT(DifferingPixels(Icon(a), Icon(b)), 30) << a << " and " << b;
            }
}

TEST_F(SkinInUseScreenshots, PreviewAndSheet)
{
    Scene toolbar = Toolbar();
    Scene player = PlayerPane();
    const QImage top = toolbar.Shown().first;
    const QImage band = player.Shown().first.copy(0, 300 - 240, kW, 240);
    const QImage speed = Speedometer(QStringLiteral("45.3"));
    QImage preview(kW, top.height() + band.height() + speed.height() * 3 + 20, QImage::Format_RGB32);
    preview.fill(QColor(59, 59, 59));
    QPainter painter(&preview);
    painter.drawImage(0, 0, top);
    painter.drawImage(0, top.height(), band);
    painter.drawImage(QPoint(10, top.height() + band.height() + 10), speed.scaled(speed.size() * 3));
    painter.end();
    EXPECT_EQ(preview.width(), kW);
    EXPECT_EQ(preview.pixel(0, 0), top.pixel(0, 0));
    EXPECT_EQ(preview.pixel(kW - 1, top.height()), band.pixel(kW - 1, 0));
    EXPECT_TRUE(testsupport::SaveScreenshot(preview, "skin-preview"));

    const QImage sheet = Sheet();
    EXPECT_EQ(sheet.width(), 2 * 1920 + 20);
    EXPECT_EQ(sheet.pixel(2, 2), qRgb(30, 30, 30));
    EXPECT_TRUE(testsupport::SaveScreenshot(sheet, "skin-sheet"));
}
