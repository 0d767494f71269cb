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

// The process-wide binding on the system's libvlc, or a skip (a failure
// under KESTROV_REQUIRE_REAL=1) naming why it did not load.
#define KESTROV_REQUIRE_LIBVLC(vlc)                                                \
    std::string loadError;                                                         \
    VlcFunctionExecutor* vlc = realcheck::Vlc(loadError);                          \
    KESTROV_REQUIRE_REAL_OR_SKIP(vlc != nullptr, "libvlc not loadable: " + loadError)

namespace realcheck {

inline VlcFunctionExecutor* Vlc(std::string& error)
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
class KeepPluginsLoaded : public testing::Environment {
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

enum class Colour { Red, Green, Blue, White, Yellow, Cyan, Magenta, Black };

// Each channel at least 200 or at most 60, as the colour has it.
inline bool Is(QRgb pixel, Colour colour)
{
    const auto high = [](int v) { return v >= 200; };
    const auto low = [](int v) { return v <= 60; };
    const int r = qRed(pixel), g = qGreen(pixel), b = qBlue(pixel);
    switch (colour) {
    case Colour::Red: return high(r) && low(g) && low(b);
    case Colour::Green: return low(r) && high(g) && low(b);
    case Colour::Blue: return low(r) && low(g) && high(b);
    case Colour::White: return high(r) && high(g) && high(b);
    case Colour::Yellow: return high(r) && high(g) && low(b);
    case Colour::Cyan: return low(r) && high(g) && high(b);
    case Colour::Magenta: return high(r) && low(g) && high(b);
    case Colour::Black: return low(r) && low(g) && low(b);
    }
    return false;
}

inline std::string Describe(QRgb pixel)
{
    return QColor(pixel).name().toStdString();
}

}  // namespace realcheck
