#include "platform/dbus/MakeCardFormatter.h"

#include "support/DriveFixture.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

// Every test runs with KESTROV_NO_DEVICES set; this shows the switch holds
// before anything reaches the bus or a device.
TEST(MakeCardFormatterDeathTest, AbortsWhileTheTestRunsSwitchIsSet)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    testsupport::ScopedEnv noDevices("KESTROV_NO_DEVICES", QStringLiteral("1"));
    testsupport::DriveFixture fixture;
    auto drives = std::make_shared<const Drives>(fixture.Sources());
    EXPECT_DEATH(MakeCardFormatter(drives), "KESTROV_NO_DEVICES is set");
}

}  // namespace
