// Start-up through the scenario driver: the loading display and its jingle,
// the story scroll with SKIP, and the way into the menu.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "driver/scenario.h"

TEST(Startup, BootsLoadsAndReachesTheMenu) {
    Scenario s;
    EXPECT_EQ(s.App()->m_mode, MODE_STORY);
    EXPECT_EQ(s.App()->m_loadStep, 1);
    s.FinishLoading();
    EXPECT_EQ(s.App()->m_loadStep, 0);
    s.ToMenu();
    EXPECT_EQ(s.App()->m_mode, MODE_MENU);
    EXPECT_TRUE(s.HasText("VurorIdi.BAS < Vuror Idi"));
}
