#pragma once
// Cases that need real programs or libraries skip, saying why, when one is
// missing; with KESTROV_REQUIRE_REAL=1 (CI) such a skip fails instead.

#include "playback/VlcFunctionExecutor.h"

#include <QColor>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <string>

#define KESTROV_REQUIRE_REAL_OR_SKIP(condition, reason)                            \
    do {                                                                           \
        if (!(condition)) {                                                        \
            const char* require = std::getenv("KESTROV_REQUIRE_REAL");             \
            if (require && std::strcmp(require, "1") == 0)                         \
                FAIL() << "required component missing: " << (reason);             \
            GTEST_SKIP() << (reason);                                              \
        }                                                                          \
    } while (false)

#define KESTROV_REQUIRE_FIXTURE()                                                  \
    KESTROV_REQUIRE_REAL_OR_SKIP(QFileInfo::exists(TWO_CHANNEL_AVI),               \
                                 "no test recording (is ffmpeg installed?)")

namespace realcheck {

enum class Colour { Red, Green, Blue, White };

// Dominant channel at least 200, the others at most 60 (all three at least
// 200 for white).
inline bool Is(QRgb pixel, Colour colour)
{
    const int r = qRed(pixel), g = qGreen(pixel), b = qBlue(pixel);
    switch (colour) {
    case Colour::Red: return r >= 200 && g <= 60 && b <= 60;
    case Colour::Green: return g >= 200 && r <= 60 && b <= 60;
    case Colour::Blue: return b >= 200 && r <= 60 && g <= 60;
    case Colour::White: return r >= 200 && g >= 200 && b >= 200;
    }
    return false;
}

inline std::string Describe(QRgb pixel)
{
    return QColor(pixel).name().toStdString();
}

// The process-wide binding over the system's libvlc; null with error set
// when it cannot be loaded.
inline VlcFunctionExecutor* LoadVlc(std::string& error)
{
    try {
        return VlcFunctionExecutor::GetInstance();
    } catch (const VlcLoadError& e) {
        error = e.what();
        return nullptr;
    }
}

// Keeps libvlc and its plugins mapped until the process ends: libvlc unloads
// its plugins with its last instance, and leak reports from code that is no
// longer mapped cannot name their library for the sanitizer suppressions.
// Register once per suite: testing::AddGlobalTestEnvironment(new ...).
class KeepVlcPluginsLoaded : public testing::Environment {
public:
    void SetUp() override
    {
        void* library = dlopen(VlcFunctionExecutor::kLibraryName, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (!library)
            return;
        auto create = reinterpret_cast<decltype(&libvlc_new)>(dlsym(library, "libvlc_new"));
        const char* const arguments[] = {"--ignore-config"};
        keepAlive = create ? create(1, arguments) : nullptr;
    }

private:
    libvlc_instance_t* keepAlive = nullptr;
};

}  // namespace realcheck
