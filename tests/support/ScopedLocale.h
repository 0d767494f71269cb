#pragma once
// Runs a block under another process locale (C runtime and Qt default),
// restoring both after. The German locale writes "1,5" for 1.5, so code
// that reads numbers through the locale shows up under it.

#include "support/RequireReal.h"

#include <QLocale>
#include <string>

namespace testsupport {

class ScopedLocale {
public:
    explicit ScopedLocale(const char* name);
    ~ScopedLocale();
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    // False when the locale is not installed here.
    bool IsActive() const { return active; }

private:
    std::string previous;
    QLocale previousQt;
    bool active = false;
};

// Skips the test where the locale is absent, but fails where real
// components are required (the set-up script generates it).
#define KESTROV_REQUIRE_LOCALE(scoped)                                                      \
    do {                                                                                     \
        if (!(scoped).IsActive()) {                                                          \
            if (testsupport::RealComponentsRequired()) {                                     \
                FAIL() << "locale missing; scripts/setup generates it";                      \
            }                                                                                \
            GTEST_SKIP() << "locale not installed; scripts/setup generates it";              \
        }                                                                                    \
    } while (0)

}  // namespace testsupport
