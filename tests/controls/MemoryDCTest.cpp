#include "ControlsTestSupport.h"
#include "controls/CPicture.h"
#include "controls/MemoryDC.h"

#include <QPrinter>
#include <QTemporaryDir>

using namespace controlstest;

namespace {

// The rectangle of target that differs from `original`.
QRect ChangedArea(const QImage& target, const QImage& original)
{
    QRect changed;
    for (int y = 0; y < target.height(); ++y)
        for (int x = 0; x < target.width(); ++x)
            if (target.pixel(x, y) != original.pixel(x, y))
                changed |= QRect(x, y, 1, 1);
    return changed;
}

}  // namespace

TEST(MemoryDCTest, CopiesBackExactlyItsRectangle)
{
    for (const QRect rect : {QRect(0, 0, 20, 200), QRect(30, 40, 20, 200)}) {
        SCOPED_TRACE(rect.x());
        QImage target = Flat(QSize(120, 300), Qt::green, QImage::Format_ARGB32_Premultiplied);
        const QImage original = target;
        {
            QPainter painter(&target);
            CMemoryDC memory(rect, painter);
            EXPECT_TRUE(memory.offScreen());
        }
        EXPECT_EQ(ChangedArea(target, original), rect);
    }
}

TEST(MemoryDCTest, DrawsInTheTargetsCoordinates)
{
    const QRect rect(30, 40, 50, 50);
    for (const bool copyBackground : {true, false}) {
        SCOPED_TRACE(copyBackground);
        QImage target = Gradient(QSize(120, 120)).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        {
            QPainter painter(&target);
            painter.setBackground(Qt::blue);
            CMemDCC memory(painter, rect, copyBackground);
            memory.painter().fillRect(QRect(35, 45, 1, 1), Qt::white);
        }
        EXPECT_EQ(target.pixel(35, 45), qRgb(255, 255, 255));
        EXPECT_EQ(target.pixel(60, 70), copyBackground ? GradientAt(60, 70) : QColor(Qt::blue).rgb());
        EXPECT_EQ(target.pixel(29, 39), GradientAt(29, 39));
        EXPECT_EQ(target.pixel(80, 90), GradientAt(80, 90));
    }
}

TEST(MemoryDCTest, WithoutRectangleCoversTheClipBox)
{
    QImage target = Flat(QSize(100, 100), Qt::green, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&target);
        painter.setClipRect(QRect(10, 10, 30, 30));
        CMemDCC memory(painter);
        EXPECT_EQ(memory.rect(), QRect(10, 10, 30, 30));
    }
}

TEST(MemoryDCTest, PrinterIsDrawnOnDirectly)
{
    QTemporaryDir folder;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.filePath(QStringLiteral("page.pdf")));
    QPainter painter(&printer);
    CMemDCC memory(painter, QRect(0, 0, 100, 100), true);
    EXPECT_FALSE(memory.offScreen());
    EXPECT_EQ(&memory.painter(), &painter);
}

TEST(PictureTest, KeyColourShowsTheParent)
{
    GreenParent parent(QSize(40, 40));
    CPicture picture(&parent);
    picture.resize(20, 20);
    QImage bitmap = Flat(QSize(10, 10), Qt::white);
    bitmap.setPixel(2, 2, qRgb(254, 255, 255));
    bitmap.setPixel(3, 3, qRgb(200, 0, 0));
    picture.SetBitmap(bitmap);
    QImage shown = Grab(parent);
    EXPECT_EQ(shown.pixel(0, 0), Green());
    EXPECT_EQ(shown.pixel(2, 2), qRgb(254, 255, 255));
    EXPECT_EQ(shown.pixel(3, 3), qRgb(200, 0, 0));
    EXPECT_EQ(shown.pixel(15, 15), Green());

    picture.SetBitmap(QImage());
    shown = Grab(parent);
    EXPECT_EQ(ChangedArea(shown, Flat(shown.size(), Qt::green)), QRect());
}
