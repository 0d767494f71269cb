#include "core/Logger.h"
#include "core/resources/ResourceManager.h"
#include "platform/Paths.h"
#include "platform/ResourceFile.h"
#include "platform/UserNotifier.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QResource>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <thread>

namespace {

const char* const kLogFile = "LOG/core_resource_tests 20240102.log";
const char* const kLineHead = "2024-01-02 12:34:56\t[ResourceManager]\t";

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// The loader fixture built beside this test, and the program's own module.
QByteArray TestModule() { return ReadAll(Paths::Join(Paths::ProgramFolder(), QStringLiteral("test-resource.rcc"))); }
QByteArray ProgramModule() { return ReadAll(QStringLiteral(KESTROV_PROGRAM_MODULE)); }
QString TestSkinFile(const char* name) { return QStringLiteral(KESTROV_TEST_SKIN "/") + QLatin1String(name); }

// A working folder with logging on at a fixed time, and two folders standing
// in for the working and the program folder, searched in that order.
class ResourceManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(TestModule().isEmpty());
        logger.SetEnabled(true);
        logger.SetClock([] { return QDateTime(QDate(2024, 1, 2), QTime(12, 34, 56)); });
        logger.SetNotifier(&notifier);
        ResourceManager::SetSearchFolders({first.path(), second.path()});
    }
    void TearDown() override
    {
        ResourceManager::DestroyInstance();
        ResourceManager::SetSearchFolders({});
        logger.SetEnabled(false);
        logger.SetClock({});
        logger.SetNotifier(nullptr);
    }
    static QString ModuleIn(const QTemporaryDir& folder)
    {
        return Paths::Join(folder.path(), QStringLiteral("KestrovResource.rcc"));
    }
    QList<QByteArray> LogLines() const
    {
        QList<QByteArray> lines = ReadAll(kLogFile).split('\n');
        lines.removeLast();
        return lines;
    }
    static QByteArray Line(const char* function, const char* message)
    {
        return QByteArray(kLineHead) + '[' + function + "]\t" + message + '\r';
    }

    testsupport::ScopedWorkingFolder working;
    QTemporaryDir first;
    QTemporaryDir second;
    RecordingNotifier notifier;
    Logger& logger = Logger::GetInstance();
};

TEST_F(ResourceManagerTest, ImagesComeBackExactlyAsStored)
{
    ASSERT_TRUE(WriteAll(ModuleIn(first), TestModule()));
    const ResourceManager& skin = ResourceManager::GetInstance();
    ASSERT_TRUE(skin.IsLoaded());

    const QImage bitmap = skin.GetBitmap(108);
    EXPECT_EQ(bitmap.format(), QImage::Format_RGB32);
    ASSERT_EQ(bitmap.size(), QSize(3, 2));
    const QRgb expected[2][3] = {{0xFFFF0000, 0xFFFFFFFF, 0xFF00FF00}, {0xFFFFFFFF, 0xFF0000FF, 0xFF123456}};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(bitmap.pixel(x, y), expected[y][x]) << x << "," << y;
        }
    }

    const QImage icon = skin.GetIcon(245);
    EXPECT_EQ(icon.format(), QImage::Format_ARGB32);
    ASSERT_EQ(icon.size(), QSize(32, 32));
    for (QPoint corner : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31)}) {
        EXPECT_EQ(qAlpha(icon.pixel(corner)), 0);
    }
    EXPECT_EQ(qAlpha(icon.pixel(16, 16)), 255);
    EXPECT_EQ(icon, QImage(TestSkinFile("icon/245.png")).convertToFormat(QImage::Format_ARGB32));

    const QByteArray png = skin.GetRes(103, QStringLiteral("PNG"));
    EXPECT_FALSE(png.isEmpty());
    EXPECT_EQ(png, ReadAll(TestSkinFile("PNG/103.png")));
    EXPECT_FALSE(QFile::exists(kLogFile));
}

TEST_F(ResourceManagerTest, TheWorkingFolderIsSearchedBeforeTheProgramFolder)
{
    ASSERT_TRUE(WriteAll(ModuleIn(first), ProgramModule()));
    ASSERT_TRUE(WriteAll(ModuleIn(second), TestModule()));
    EXPECT_TRUE(ResourceManager::GetInstance().GetBitmap(108).isNull());  // the program set has none

    ResourceManager::DestroyInstance();
    ASSERT_TRUE(QFile::remove(ModuleIn(first)));
    EXPECT_FALSE(ResourceManager::GetInstance().GetBitmap(108).isNull());
}

TEST_F(ResourceManagerTest, WithoutAModuleEveryRequestFailsAndIsLogged)
{
    const ResourceManager& skin = ResourceManager::GetInstance();
    EXPECT_FALSE(skin.IsLoaded());
    EXPECT_TRUE(skin.GetBitmap(108).isNull());
    EXPECT_TRUE(skin.GetBitmap(108).isNull());
    EXPECT_TRUE(skin.GetIcon(245).isNull());
    EXPECT_TRUE(skin.GetRes(103, QStringLiteral("PNG")).isEmpty());

    EXPECT_EQ(LogLines(), (QList<QByteArray>{Line("init", "KestrovResource.rcc Load fail"),
                                            Line("GetBitmap", "Bitmap NULL"), Line("GetBitmap", "Bitmap NULL"),
                                            Line("GetIcon", "ICon NULL"), Line("GetRes", "Resource NULL")}));
}

TEST_F(ResourceManagerTest, AMissingIdFailsAloneAndIsAskedForAgain)
{
    ASSERT_TRUE(WriteAll(ModuleIn(first), TestModule()));
    const ResourceManager& skin = ResourceManager::GetInstance();
    EXPECT_TRUE(skin.GetBitmap(109).isNull());
    EXPECT_TRUE(skin.GetBitmap(109).isNull());
    EXPECT_TRUE(skin.GetRes(108, QStringLiteral("png")).isEmpty());  // the type is matched as asked
    EXPECT_FALSE(skin.GetBitmap(108).isNull());
    EXPECT_EQ(LogLines(), (QList<QByteArray>{Line("GetBitmap", "Bitmap NULL"), Line("GetBitmap", "Bitmap NULL"),
                                            Line("GetRes", "Resource NULL")}));
}

TEST_F(ResourceManagerTest, DamagedModulesCountAsMissing)
{
    const QByteArray good = TestModule();
    QByteArray badVersion = good;
    badVersion[7] = 9;
    QByteArray badTree = good;
    badTree[11] = char(0xF0);  // tree offset beyond the end
    const QByteArray cases[] = {QByteArray(), QByteArray("MZ\x90\x00 not a module", 18), good.left(10),
                                good.left(30), good.left(good.size() / 2), good.left(good.size() - 1),
                                badVersion, badTree};
    for (const QByteArray& bytes : cases) {
        ASSERT_TRUE(WriteAll(ModuleIn(first), bytes));
        EXPECT_FALSE(ResourceManager::GetInstance().IsLoaded()) << bytes.size();
        EXPECT_TRUE(ResourceManager::GetInstance().GetBitmap(108).isNull());
        ResourceManager::DestroyInstance();
    }

    // A damaged module in the working folder is passed over for a sound one.
    ASSERT_TRUE(WriteAll(ModuleIn(first), good.left(good.size() - 1)));
    ASSERT_TRUE(WriteAll(ModuleIn(second), good));
    EXPECT_FALSE(ResourceManager::GetInstance().GetBitmap(108).isNull());
    const QList<QByteArray> lines = LogLines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.last().startsWith(QByteArray(kLineHead) + "[init]\t" + ModuleIn(first).toUtf8() + ": "))
        << lines.last().constData();
}

TEST_F(ResourceManagerTest, AFolderInTheModulesPlaceCountsAsMissing)
{
    ASSERT_TRUE(QDir(first.path()).mkdir(QStringLiteral("KestrovResource.rcc")));
    EXPECT_FALSE(ResourceManager::GetInstance().IsLoaded());
}

TEST(ResourceFileCheck, EveryCutOfTheModuleIsRejected)
{
    const QByteArray good = TestModule();
    ASSERT_TRUE(ResourceFile::Check(good).isEmpty()) << ResourceFile::Check(good).toStdString();
    for (qsizetype size = 0; size < good.size(); ++size) {
        EXPECT_FALSE(ResourceFile::Check(good.left(size)).isEmpty()) << size;
    }
}

TEST(ResourceFileCheck, AnyFlippedByteThatPassesStillReadsSafely)
{
    // Whatever the check lets through must be safe for Qt to walk.
    const QByteArray good = TestModule();
    for (qsizetype at = 0; at < good.size(); ++at) {
        QByteArray bytes = good;
        bytes[at] = static_cast<char>(bytes[at] ^ 0xA5);
        if (!ResourceFile::Check(bytes).isEmpty()) {
            continue;
        }
        const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
        if (!QResource::registerResource(data, QStringLiteral("/flipped"))) {
            continue;  // Qt's own checks refuse it
        }
        for (const char* entry : {":/flipped/bitmap/108", ":/flipped/icon/245", ":/flipped/PNG/103"}) {
            QResource(QString::fromLatin1(entry)).uncompressedData();
        }
        QDir(QStringLiteral(":/flipped")).entryList();
        QDir(QStringLiteral(":/flipped/icon")).entryList();
        QResource::unregisterResource(data, QStringLiteral("/flipped"));
    }
}

TEST_F(ResourceManagerTest, BitmapsCanBeAskedForFromAnotherThread)
{
    ASSERT_TRUE(WriteAll(ModuleIn(first), TestModule()));
    const ResourceManager& skin = ResourceManager::GetInstance();
    QImage fromWorker;
    std::thread worker([&] { fromWorker = skin.GetBitmap(108); });
    worker.join();
    EXPECT_EQ(fromWorker, skin.GetBitmap(108));
    EXPECT_EQ(fromWorker.size(), QSize(3, 2));
}

TEST_F(ResourceManagerTest, AfterDestroyAFreshManagerLoadsAnotherModule)
{
    ASSERT_TRUE(WriteAll(ModuleIn(first), TestModule()));
    EXPECT_FALSE(ResourceManager::GetInstance().GetBitmap(108).isNull());
    ResourceManager::DestroyInstance();
    ResourceManager::DestroyInstance();  // acts once
    EXPECT_FALSE(QResource(QStringLiteral(":/kestrov/bitmap/108")).isValid());

    ASSERT_TRUE(WriteAll(ModuleIn(first), ProgramModule()));
    const ResourceManager& fresh = ResourceManager::GetInstance();
    EXPECT_TRUE(fresh.GetBitmap(108).isNull());
    EXPECT_EQ(fresh.GetIcon(245).size(), QSize(32, 32));  // the program's window icon
}

}  // namespace
