#include "platform/gdi/GdiCompat.h"
#include "platform/gdi/GdiDraw.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;

QImage Black(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

// The bounding box of the pixels that are not black.
QRect Ink(const QImage& image)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != kBlack)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

QImage Line(QPoint from, QPoint to, const QPen& pen, QSize size = QSize(40, 40))
{
    QImage image = Black(size.width(), size.height());
    QPainter painter(&image);
    painter.setPen(pen);
    gdi::LineTo(painter, from, to);
    return image;
}

QImage Text(const QRect& rect, const QString& text, unsigned flags, QSize size = QSize(120, 40))
{
    QImage image = Black(size.width(), size.height());
    QPainter painter(&image);
    painter.setFont(gdi::MakeFont(QStringLiteral("DejaVu Sans"), -11, 0));
    painter.setPen(Qt::white);
    gdi::DrawText(painter, rect, text, flags);
    return image;
}

}  // namespace

TEST(GdiLineTest, LeavesOutItsEndPixel)
{
    struct Case {
        QPoint from, to;
        std::vector<QPoint> pixels;
    };
    const Case cases[] = {
        {{2, 1}, {2, 4}, {{2, 1}, {2, 2}, {2, 3}}},
        {{5, 3}, {2, 3}, {{5, 3}, {4, 3}, {3, 3}}},
        {{0, 0}, {3, 3}, {{0, 0}, {1, 1}, {2, 2}}},
        {{0, 0}, {4, 2}, {{0, 0}, {1, 1}, {2, 1}, {3, 2}}},
        {{7, 7}, {7, 7}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from.x() << "," << c.from.y() << " -> " << c.to.x() << "," << c.to.y());
        EXPECT_EQ(gdi::LinePixels(c.from, c.to), c.pixels);
        const QImage drawn = Line(c.from, c.to, gdi::SolidPen(Qt::white));
        int lit = 0;
        for (const QPoint& p : c.pixels)
            lit += drawn.pixel(p) == kWhite;
        EXPECT_EQ(lit, int(c.pixels.size()));
        EXPECT_EQ(drawn.pixel(c.to), kBlack);
        EXPECT_EQ(Ink(drawn), [&] {
            QRect box;
            for (const QPoint& p : c.pixels)
                box |= QRect(p, QSize(1, 1));
            return box;
        }());
    }
}

TEST(GdiLineTest, DotPenIsThreeOnThreeOffFromTheStart)
{
    const QImage drawn = Line({1, 5}, {1, 20}, gdi::DotPen(Qt::white));
    for (int y = 5; y < 20; ++y) {
        SCOPED_TRACE(y);
        EXPECT_EQ(drawn.pixel(1, y), (y - 5) % 6 < 3 ? kWhite : kBlack);
    }
    EXPECT_EQ(drawn.pixel(1, 20), kBlack);
}

TEST(GdiLineTest, ClippedLinesKeepTheirPatternAndHugeOnesReturn)
{
    // A line far longer than the image only walks its visible part.
    const QImage huge = Line({3, -1000000}, {3, 1000000}, gdi::DotPen(Qt::white), QSize(10, 10));
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(huge.pixel(3, y), (y + 1000000) % 6 < 3 ? kWhite : kBlack) << y;

    QImage image = Black(20, 20);
    {
        QPainter painter(&image);
        painter.setClipRect(QRect(0, 10, 20, 10));
        painter.setPen(gdi::DotPen(Qt::white));
        gdi::LineTo(painter, {2, 0}, {2, 19});
    }
    for (int y = 0; y < 19; ++y)
        EXPECT_EQ(image.pixel(2, y), y >= 10 && y % 6 < 3 ? kWhite : kBlack) << y;
}

TEST(GdiLineTest, WiderPenCoversItsWidthAndNoPenNothing)
{
    QPen wide = gdi::SolidPen(Qt::white, 3);
    EXPECT_EQ(Ink(Line({10, 5}, {10, 15}, wide)), QRect(9, 4, 3, 12));
    EXPECT_TRUE(Ink(Line({10, 5}, {10, 15}, QPen(Qt::NoPen))).isNull());
}

TEST(GdiTextTest, FlagsPlaceTheTextInItsRectangle)
{
    const QRect box(10, 5, 100, 30);
    const QRect left = Ink(Text(box, QStringLiteral("88"), gdi::DT_SINGLELINE));
    const QRect right = Ink(Text(box, QStringLiteral("88"), gdi::DT_RIGHT));
    const QRect centre = Ink(Text(box, QStringLiteral("88"), gdi::DT_CENTER | gdi::DT_SINGLELINE));
    const QRect middle = Ink(Text(box, QStringLiteral("88"), gdi::DT_VCENTER | gdi::DT_SINGLELINE));
    ASSERT_FALSE(left.isNull());
    EXPECT_LE(left.left() - box.left(), 2);
    EXPECT_LE(gdi::Right(box) - gdi::Right(right), 2);
    EXPECT_NEAR(centre.center().x(), box.center().x(), 1.5);
    // Top-aligned unless asked to centre vertically.
    EXPECT_LT(left.top() - box.top(), 5);
    EXPECT_NEAR(middle.center().y(), box.center().y(), 2.0);
}

TEST(GdiTextTest, EllipsisAndPrefixes)
{
    const QRect narrow(0, 0, 30, 20);
    const QString longText = QStringLiteral("WWWWWWWWWWWW");
    const QRect clipped = Ink(Text(narrow, longText, gdi::DT_SINGLELINE));
    const QRect elided = Ink(Text(narrow, longText, gdi::DT_SINGLELINE | gdi::DT_END_ELLIPSIS));
    EXPECT_LE(gdi::Right(clipped), 30);
    EXPECT_LE(gdi::Right(elided), 30);
    EXPECT_LT(elided.width(), clipped.width());  // room left for the dots

    const QRect wide(0, 0, 120, 20);
    const QImage prefixed = Text(wide, QStringLiteral("&&A&B"), gdi::DT_SINGLELINE);
    const QImage plain = Text(wide, QStringLiteral("&AB"), gdi::DT_SINGLELINE | gdi::DT_NOPREFIX);
    EXPECT_EQ(prefixed, plain);
}
