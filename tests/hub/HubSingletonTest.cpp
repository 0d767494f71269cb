#include "hub/ApplicationHub.h"

#include <gtest/gtest.h>

TEST(HubSingleton, OneHubUntilDestroyedThenNone)
{
    ApplicationHub* hub = ApplicationHub::GetInstance();
    ASSERT_NE(hub, nullptr);
    EXPECT_EQ(ApplicationHub::GetInstance(), hub);
    EXPECT_TRUE(hub->GetRunning());

    ApplicationHub::DestroyInstance();
    EXPECT_EQ(ApplicationHub::GetInstance(), nullptr);
    ApplicationHub::DestroyInstance();
    EXPECT_EQ(ApplicationHub::GetInstance(), nullptr);
}
