#include "SkinSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QResource>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace controlstest;

namespace {

QString Folder(SkinKind kind)
{
    switch (kind) {
    case SkinKind::Bitmap: return QStringLiteral("bitmap");
    case SkinKind::Icon: return QStringLiteral("icon");
    case SkinKind::Png: return QStringLiteral("PNG");
    }
    return {};
}

QImage Load(const ExpectedImage& e)
{
    const ResourceManager& skin = ResourceManager::GetInstance();
    switch (e.kind) {
    case SkinKind::Bitmap: return skin.GetBitmap(e.number);
    case SkinKind::Icon: return skin.GetIcon(e.number);
    case SkinKind::Png: return QImage::fromData(skin.GetRes(e.number, QStringLiteral("PNG")), "PNG");
    }
    return {};
}

QImage Bitmap(int number)
{
    return ResourceManager::GetInstance().GetBitmap(number);
}

// True when every pixel of area is one colour.
bool Plain(const QImage& image, const QRect& area)
{
    const QRgb first = image.pixel(area.topLeft());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != first)
                return false;
    return true;
}

class SkinInventoryTest : public ::testing::Test {
protected:
    ScopedSkinModule module;
};

}  // namespace

TEST_F(SkinInventoryTest, EveryAskedNumberHasItsKindAndSize)
{
    ASSERT_TRUE(ResourceManager::GetInstance().IsLoaded());
    for (const ExpectedImage& e : ExpectedSkin()) {
        SCOPED_TRACE(e.number);
        const QImage image = Load(e);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), e.size);
    }
}

TEST_F(SkinInventoryTest, ModuleHoldsNothingElse)
{
    const QString root = QStringLiteral("/skin-inventory-check");
    ASSERT_TRUE(QResource::registerResource(QStringLiteral(KESTROV_SKIN_FOLDER "/KestrovResource.rcc"), root));
    std::map<QString, std::set<int>> expected;
    for (const ExpectedImage& e : ExpectedSkin())
        expected[Folder(e.kind)].insert(e.number);
    const QDir top(QLatin1Char(':') + root);
    EXPECT_EQ(top.entryList().size(), int(expected.size()));
    for (const auto& [folder, numbers] : expected) {
        SCOPED_TRACE(folder.toStdString());
        std::set<int> present;
        for (const QString& name : QDir(top.filePath(folder)).entryList())
            present.insert(name.toInt());
        EXPECT_EQ(present, numbers);
        // Bitmaps are stored opaque, icons and pictures with alpha.
        for (int n : numbers) {
            QFile file(top.filePath(folder) + QLatin1Char('/') + QString::number(n));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QImage stored = QImage::fromData(file.readAll(), "PNG");
            EXPECT_EQ(stored.hasAlphaChannel(), folder != QLatin1String("bitmap")) << n;
        }
    }
    QResource::unregisterResource(QStringLiteral(KESTROV_SKIN_FOLDER "/KestrovResource.rcc"), root);
}

TEST_F(SkinInventoryTest, VolumeChannelsShareTheirKeyPixels)
{
    const QImage filled = Bitmap(185), empty = Bitmap(186);
    ASSERT_EQ(filled.size(), empty.size());
    const QRgb key = qRgb(255, 0, 255);
    EXPECT_EQ(filled.pixel(0, 0), key);
    EXPECT_EQ(empty.pixel(0, 0), key);
    int keyed = 0;
    for (int y = 0; y < filled.height(); ++y)
        for (int x = 0; x < filled.width(); ++x) {
            EXPECT_EQ(filled.pixel(x, y) == key, empty.pixel(x, y) == key) << x << "," << y;
            keyed += filled.pixel(x, y) == key;
        }
    EXPECT_GT(keyed, 0);
    EXPECT_LT(keyed, filled.width() * filled.height());
}

TEST_F(SkinInventoryTest, SpeedometerKeepsWhiteForTheKey)
{
    for (int n = 157; n <= 167; ++n) {
        const int number = n == 167 ? 127 : n;
        SCOPED_TRACE(number);
        const QImage image = Bitmap(number);
        bool drawn = false;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                if (p == qRgb(255, 255, 255))
                    continue;
                drawn = true;
                EXPECT_TRUE(qRed(p) < 240 && qGreen(p) < 240 && qBlue(p) < 240) << x << "," << y;
            }
        EXPECT_TRUE(drawn);
    }
    const QImage panel = Bitmap(174);
    for (int y = 0; y < panel.height(); ++y)
        for (int x = 0; x < panel.width(); ++x)
            ASSERT_NE(panel.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
}

TEST_F(SkinInventoryTest, SampledAreasArePlain)
{
    struct Sample {
        int number;
        QRect area;
    };
    const Sample samples[] = {
        {107, QRect(3, 8, 33, 33)},    // icon buttons' corner
        {107, QRect(50, 13, 74, 23)},  // the volume control's background
        {107, QRect(4, 15, 213, 18)},  // the track bars' background
        {108, QRect(15, 9, 302, 20)},  // the toolbar buttons' places
        {152, QRect(0, 1, 1920, 20)},  // the dock button, wherever the pane's edge is
    };
    for (const Sample& s : samples) {
        SCOPED_TRACE(s.number);
        EXPECT_TRUE(Plain(Bitmap(s.number), s.area));
    }
}

TEST(SkingenTest, TwoRunsWriteIdenticalFiles)
{
    QTemporaryDir first, second;
    for (const QTemporaryDir* dir : {&first, &second})
        ASSERT_EQ(QProcess::execute(QStringLiteral(KESTROV_SKINGEN), {QStringLiteral("program"), dir->path()}), 0);
    QDirIterator files(first.path(), QDir::Files, QDirIterator::Subdirectories);
    int count = 0;
    while (files.hasNext()) {
        const QString path = files.next();
        const QString relative = QDir(first.path()).relativeFilePath(path);
        QFile a(path), b(QDir(second.path()).filePath(relative));
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly)) << relative.toStdString();
        EXPECT_EQ(a.readAll(), b.readAll()) << relative.toStdString();
        ++count;
    }
    EXPECT_EQ(count, int(ExpectedSkin().size()) + 1);  // and the listing
}
