#pragma once
// The built skin module, loaded through ResourceManager for a test's life,
// and the table of every image the viewer asks for.

#include "core/resources/ResourceManager.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <vector>

namespace controlstest {

// Makes ResourceManager load the module from `folders` (the built skin by
// default), and forgets it again afterwards.
class ScopedSkinModule {
public:
    explicit ScopedSkinModule(QStringList folders = {QStringLiteral(KESTROV_SKIN_FOLDER)})
    {
        ResourceManager::SetSearchFolders(std::move(folders));
        ResourceManager::DestroyInstance();
    }
    ~ScopedSkinModule()
    {
        ResourceManager::DestroyInstance();
        ResourceManager::SetSearchFolders({});
    }
};

enum class SkinKind { Bitmap, Icon, Png };

struct ExpectedImage {
    int number;
    SkinKind kind;
    QSize size;
};

// Every number the viewer's windows and controls ask for, with its kind and size.
inline std::vector<ExpectedImage> ExpectedSkin()
{
    std::vector<ExpectedImage> table;
    const auto add = [&](SkinKind kind, QSize size, std::initializer_list<int> numbers) {
        for (int n : numbers)
            table.push_back({n, kind, size});
    };
    const auto range = [](int first, int last) {
        std::vector<int> numbers;
        for (int n = first; n <= last; ++n)
            numbers.push_back(n);
        return numbers;
    };
    const auto addRange = [&](SkinKind kind, QSize size, int first, int last) {
        for (int n : range(first, last))
            table.push_back({n, kind, size});
    };
    const SkinKind B = SkinKind::Bitmap;
    add(B, QSize(1065, 55), {107});
    add(B, QSize(1065, 46), {108});
    add(B, QSize(320, 46), {350});
    add(B, QSize(120, 34), {153});
    add(B, QSize(1920, 34), {152});
    add(B, QSize(18, 18), {124, 175, 176, 177, 178, 180});
    add(B, QSize(70, 21), {185, 186});
    add(B, QSize(16, 6), {170, 173});
    add(B, QSize(3, 6), {167});
    add(B, QSize(11, 20), {168, 169, 171, 172});
    add(B, QSize(24, 24), {109, 110, 155, 156, 181, 182, 183, 184});
    addRange(B, QSize(43, 19), 297, 302);
    add(B, QSize(43, 21), {128, 130, 134, 136, 138, 139, 140, 142, 145, 146, 147, 149});
    add(B, QSize(124, 38), {174});
    addRange(B, QSize(10, 20), 157, 166);
    add(B, QSize(6, 20), {127});
    add(B, QSize(640, 360), {310});
    add(B, QSize(291, 28), {101});
    add(B, QSize(60, 25), {104, 105});
    for (int n : range(188, 237))
        if (n != 222)
            table.push_back({n, SkinKind::Icon, QSize(32, 32)});
    add(SkinKind::Icon, QSize(32, 32), {102, 245, 341, 342, 343, 347, 348, 349});
    add(SkinKind::Png, QSize(128, 158), {103, 268});
    return table;
}

}  // namespace controlstest
