// The main window's layout and the sorting of opened and dropped paths:
// pure rules, and the directory test on real folders.

#include "ui/MainWindowLayout.h"
#include "ui/PathSorting.h"

#include "support/FileFixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QSize kLogo(120, 34);

TEST(MainWindowLayout, NormalViewFollowsTheIntegerFormulas)
{
    struct Case {
        int width, height;
        QRect player, map, list;
    };
    const Case cases[] = {
        // H 700: map 283 at y 46, list 369 at 329, player 655.
        {1061, 700, {5, 46, 766, 655}, {776, 46, 280, 283}, {776, 329, 280, 369}},
        // W 1049: player 754 wide, map and list at x 764.
        {1049, 754, {5, 46, 754, 709}, {764, 46, 280, 301}, {764, 347, 280, 405}},
        // (2 × 701) / 3 = 467, not 2 × 233: the list is 370.
        {1049, 701, {5, 46, 754, 656}, {764, 46, 280, 283}, {764, 329, 280, 370}},
        // The client of the window's first size.
        {1061, 754, {5, 46, 766, 709}, {776, 46, 280, 301}, {776, 347, 280, 405}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        const MainWindowRects rects = MainWindowLayout(c.width, c.height, false, kLogo);
        EXPECT_EQ(rects.player, c.player);
        ASSERT_TRUE(rects.map && rects.list);
        EXPECT_EQ(*rects.map, c.map);
        EXPECT_EQ(*rects.list, c.list);
    }
}

TEST(MainWindowLayout, FullViewGivesThePlayerEverythingAndLeavesMapAndList)
{
    const MainWindowRects rects = MainWindowLayout(1300, 800, true, kLogo);
    EXPECT_EQ(rects.player, QRect(0, 0, 1300, 800));
    EXPECT_FALSE(rects.map);
    EXPECT_FALSE(rects.list);
}

TEST(MainWindowLayout, LogoHugsTheRightEdgeAndTheToolbarSteps42)
{
    for (const QSize logo : {QSize(120, 34), QSize(0, 0)}) {
        for (const bool maximized : {false, true}) {
            const MainWindowRects rects = MainWindowLayout(1061, 754, maximized, logo);
            EXPECT_EQ(rects.logo, QRect(QPoint(1061 - logo.width() - 6, 6), logo)) << logo.width();
            const int xs[] = {15, 57, 99, 141, 183, 225, 267};
            for (int i = 0; i < 7; ++i)
                EXPECT_EQ(rects.toolbar[i], QRect(xs[i], 9, 32, 32)) << i;
        }
    }
}

TEST(PathSorting, PickedAndDroppedRulesDifferOnlyForPathsThatAreNoFolder)
{
    const QStringList directories{"/card/", "/media/u/2013.04", "/ro-folder"};
    const DirectoryTest isDirectory = [&](const QString& path) { return directories.contains(path); };
    struct Case {
        QString path;
        bool pickedFolder;
        bool droppedFolder;
    };
    const Case cases[] = {
        {"/card/", true, true},
        {"/media/u/2013.04", true, true},  // a folder whatever its name
        {"/ro-folder", true, true},        // and whatever its permissions
        {"/media/u/clip.avi", false, false},
        {"/media/u/clip", false, true},     // dropped without a '.': a folder
        {"/media/u.1/clip", false, false},  // the last '.' anywhere in the path counts
        {".hidden", false, true},           // a '.' only in front
        {"/missing.avi", false, false},
    };
    QStringList paths;
    for (const Case& c : cases)
        paths.append(c.path);
    const SortedPaths picked = SortPickedPaths(paths, isDirectory);
    const SortedPaths dropped = SortDroppedPaths(paths, isDirectory);
    for (const Case& c : cases) {
        EXPECT_EQ(picked.folders.contains(c.path), c.pickedFolder) << c.path.toStdString();
        EXPECT_EQ(picked.files.contains(c.path), !c.pickedFolder) << c.path.toStdString();
        EXPECT_EQ(dropped.folders.contains(c.path), c.droppedFolder) << c.path.toStdString();
        EXPECT_EQ(dropped.files.contains(c.path), !c.droppedFolder) << c.path.toStdString();
    }
    // Order kept within each list.
    EXPECT_EQ(picked.folders, (QStringList{"/card/", "/media/u/2013.04", "/ro-folder"}));
}

TEST(PathSorting, AnyDirectoryIsOneLinksFollowed)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    ASSERT_TRUE(QDir(root).mkpath("2013.04"));
    ASSERT_TRUE(QDir(root).mkpath("locked"));
    ASSERT_EQ(::chmod(QFile::encodeName(root + "/locked").constData(), 0555), 0);
    testsupport::WriteFileBytes(root + "/clip.avi", "x");
    ASSERT_TRUE(QFile::link(root + "/2013.04", root + "/link"));
    ASSERT_TRUE(QFile::link(root + "/nowhere", root + "/dangling"));

    EXPECT_TRUE(IsDirectory(root + "/2013.04"));
    EXPECT_TRUE(IsDirectory(root + "/locked"));
    EXPECT_TRUE(IsDirectory(root + "/link"));
    EXPECT_TRUE(IsDirectory("/"));  // a mount point
    EXPECT_FALSE(IsDirectory(root + "/clip.avi"));
    EXPECT_FALSE(IsDirectory(root + "/dangling"));
    EXPECT_FALSE(IsDirectory(root + "/missing"));
    EXPECT_FALSE(IsDirectory(QString()));
    ::chmod(QFile::encodeName(root + "/locked").constData(), 0755);
}

}  // namespace
