#include "platform/gdi/GdiCompat.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Every pixel names its own place: red = x, green = y.
QImage Gradient(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x, y, 0));
    return image;
}

QImage Filled(int width, int height, QColor color, QImage::Format format = QImage::Format_ARGB32_Premultiplied)
{
    QImage image(width, height, format);
    image.fill(color);
    return image;
}

QRgb SourceOf(QRgb pixel)
{
    return qRgb(qRed(pixel), qGreen(pixel), 0);
}

}  // namespace

TEST(GdiColorTest, ColorRefIsLowByteRed)
{
    struct Case {
        gdi::ColorRef ref;
        int r, g, b;
    };
    for (const Case& c : {Case{0x00A5FF, 255, 165, 0}, Case{0xC56A31, 49, 106, 197}, Case{0x0064FF, 255, 100, 0}}) {
        SCOPED_TRACE(c.ref);
        EXPECT_EQ(gdi::ToQColor(c.ref), QColor(c.r, c.g, c.b));
        EXPECT_EQ(gdi::ToColorRef(QColor(c.r, c.g, c.b)), c.ref);
        EXPECT_EQ(gdi::Rgb(c.r, c.g, c.b), c.ref);
    }
}

TEST(GdiRectTest, RightAndBottomAreExclusive)
{
    const QRect rect = gdi::RectLTRB(0, 0, 20, 200);
    EXPECT_EQ(rect.size(), QSize(20, 200));
    EXPECT_EQ(gdi::Right(rect), 20);
    EXPECT_EQ(gdi::Bottom(rect), 200);
    EXPECT_EQ(gdi::Right(gdi::RectLTRB(30, 40, 80, 90)), 80);
}

TEST(GdiBlitTest, StretchTakesTheNearestSourcePixel)
{
    const QImage source = Gradient(300, 60);
    QImage target = Filled(32, 32, Qt::green);
    {
        QPainter painter(&target);
        gdi::Stretch(painter, QRect(0, 0, 32, 32), source, QRect(57, 9, 50, 20));
    }
    EXPECT_EQ(SourceOf(target.pixel(0, 0)), qRgb(57, 9, 0));
    EXPECT_EQ(SourceOf(target.pixel(31, 31)), qRgb(106, 28, 0));
    EXPECT_EQ(SourceOf(target.pixel(16, 16)), qRgb(57 + 25, 9 + 10, 0));
}

TEST(GdiBlitTest, SourcePastTheImageFillsOnlyTheMatchingPart)
{
    const QImage source = Gradient(100, 20);
    QImage target = Filled(50, 20, Qt::green);
    {
        QPainter painter(&target);
        gdi::Stretch(painter, QRect(0, 0, 50, 20), source, QRect(60, 0, 50, 20));
    }
    EXPECT_EQ(SourceOf(target.pixel(39, 5)), qRgb(99, 5, 0));
    EXPECT_EQ(target.pixel(40, 5), QColor(Qt::green).rgb());
    EXPECT_EQ(target.pixel(49, 19), QColor(Qt::green).rgb());

    QImage copied = Filled(50, 20, Qt::green);
    {
        QPainter painter(&copied);
        gdi::Copy(painter, QPoint(0, 0), source, QRect(60, 0, 50, 20));
    }
    EXPECT_EQ(SourceOf(copied.pixel(39, 5)), qRgb(99, 5, 0));
    EXPECT_EQ(copied.pixel(40, 5), QColor(Qt::green).rgb());
}

TEST(GdiBlitTest, MaskedCopyIsMaskAndThenImageOr)
{
    const QRgb key = qRgb(255, 0, 255);
    QImage source = Gradient(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            if ((x + y) % 3 == 0)
                source.setPixel(x, y, key);
    const gdi::MaskedImage masked = gdi::MakeKeyMask(source, gdi::Rgb(255, 0, 255));
    EXPECT_EQ(masked.image.pixel(0, 0), 0u);
    EXPECT_EQ(masked.mask.pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(masked.mask.pixel(1, 0), 0u);

    // A target with varied, partly transparent premultiplied pixels.
    QImage target(60, 50, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 60; ++x)
            target.setPixel(x, y, qPremultiply(qRgba(x * 4, y * 5, 77, (x * 7 + y) % 256)));
    QImage reference = target;
    const QPoint at(15, 12);
    const QRect part(5, 4, 30, 20);
    for (int y = 0; y < part.height(); ++y)
        for (int x = 0; x < part.width(); ++x) {
            const QPoint s = part.topLeft() + QPoint(x, y);
            const QRgb t = reference.pixel(at.x() + x, at.y() + y);
            reference.setPixel(at.x() + x, at.y() + y,
                               (t & masked.mask.pixel(s)) | masked.image.pixel(s));
        }
    {
        // Drawn through a translated painter, as an off-screen surface does.
        QPainter painter(&target);
        painter.translate(-10, -10);
        gdi::MaskedCopy(painter, at + QPoint(10, 10), masked.image, masked.mask, part);
    }
    EXPECT_EQ(target, reference);
}

TEST(GdiBlitTest, TransparentCopyLeavesOutOnlyTheExactKey)
{
    QImage source = Filled(3, 1, Qt::white, QImage::Format_RGB32);
    source.setPixel(1, 0, qRgb(254, 255, 255));
    source.setPixel(2, 0, qRgb(10, 20, 30));
    QImage target = Filled(3, 1, Qt::green);
    {
        QPainter painter(&target);
        gdi::TransparentCopy(painter, QPoint(0, 0), source, gdi::Rgb(255, 255, 255));
    }
    EXPECT_EQ(target.pixel(0, 0), QColor(Qt::green).rgb());
    EXPECT_EQ(target.pixel(1, 0), qRgb(254, 255, 255));
    EXPECT_EQ(target.pixel(2, 0), qRgb(10, 20, 30));
}

TEST(GdiFontTest, SkinFacesResolveToOneInstalledFace)
{
    for (const char* face : {"MS Shell Dlg", "Sevenet 7", "MSSanSerif"}) {
        SCOPED_TRACE(face);
        EXPECT_EQ(QFontInfo(QFont(QString::fromLatin1(face))).family(), QStringLiteral("DejaVu Sans"));
    }
}

TEST(GdiFontTest, PositiveHeightIsTheNearestCellHeight)
{
    const auto cell = [](int pixels) {
        QFont font(QStringLiteral("MS Shell Dlg"));
        font.setPixelSize(pixels);
        const QFontMetrics metrics(font);
        return metrics.ascent() + metrics.descent();
    };
    for (int height : {10, 14, 15}) {
        SCOPED_TRACE(height);
        const QFont font = gdi::MakeFont(QStringLiteral("MS Shell Dlg"), height, 300);
        const int chosen = font.pixelSize();
        const int distance = std::abs(cell(chosen) - height);
        for (int other = 1; other <= 3 * height; ++other) {
            const int d = std::abs(cell(other) - height);
            EXPECT_TRUE(d > distance || (d == distance && other >= chosen)) << "pixel size " << other;
        }
        EXPECT_EQ(font.weight(), QFont::Light);
    }
}

TEST(GdiFontTest, NegativeHeightAndPointsArePixelSizes)
{
    const QFont pixels = gdi::MakeFont(QStringLiteral("Sevenet 7"), -11, 0);
    EXPECT_EQ(pixels.pixelSize(), 11);
    EXPECT_EQ(pixels.weight(), QFont::Normal);
    EXPECT_EQ(gdi::PointFont(QStringLiteral("MS Shell Dlg"), 8).pixelSize(), 11);
    EXPECT_EQ(gdi::MakeFont(QStringLiteral("MS Shell Dlg"), -14, 700).weight(), QFont::Bold);
}
