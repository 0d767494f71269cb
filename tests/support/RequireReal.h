#pragma once
// The one switch that turns a missing real component (ffmpeg, a locale,
// libvlc) from a skip into a failure: KESTROV_REQUIRE_REAL=1, which
// scripts/test and CI set.

#include <cstdlib>
#include <cstring>

namespace testsupport {

inline bool RealComponentsRequired()
{
    const char* require = std::getenv("KESTROV_REQUIRE_REAL");
    return require && std::strcmp(require, "1") == 0;
}

}  // namespace testsupport
