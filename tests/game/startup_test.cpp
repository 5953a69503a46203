// Start-up after loading: the story scrolling up from the bottom, SKIP once
// it has risen, skipping by key or pointer without the same press acting on
// the menu, and the story running out into the menu.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <vector>

#include "testing/scenario.h"

// Space skips once SKIP shows; a pointer held from the start skips as soon
// as it does. Either way the press that skipped (Space is also start in the
// menu) is latched until released, so it does not start a game.
TEST(Story, ShowsSkipOnceRisenAndAKeyOrPointerSkipsItWithoutActingOnTheMenu) {
    for (bool pointer : {false, true}) {
        Scenario s(960, 540);  // a 480 x 270 virtual screen
        s.FinishLoading();
        c_MyApp* app = s.App();
        if (pointer) s.MoveToVirtual(100, 100), s.MouseDown();
        s.Step();
        ASSERT_TRUE(s.HasText("In the year 2014"));
        s.Press(GLFW_KEY_SPACE);  // before SKIP shows, nothing skips
        // SKIP appears exactly when the second line has risen above 90 %, in
        // four glyphs centred on jscrw - 20 with the line's top at jscrh - 12.
        for (int updates = 0; !s.HasText("SKIP") && updates < 400; ++updates) {
            ASSERT_EQ(app->m_mode, MODE_STORY);
            EXPECT_GE(static_cast<int>(app->m_scrollY) + 8, 0.9f * 270);
            s.Step();
        }
        const Scenario::TextRun* skip = s.FindText("SKIP");
        ASSERT_TRUE(skip);
        EXPECT_EQ((std::vector<float>{skip->x, skip->y}), (std::vector<float>{460 - 16, 258 + 4}));
        if (!pointer) s.KeyDown(GLFW_KEY_SPACE);
        s.Step(21);
        EXPECT_EQ(app->m_mode, MODE_MENU);
        EXPECT_EQ(pointer ? app->m_touchLatch : app->m_keyLatch, 1);
        s.KeyUp(GLFW_KEY_SPACE);
        s.MouseUp();
        s.Step();
        EXPECT_EQ((std::vector<int>{app->m_mode, app->m_keyLatch, app->m_touchLatch}),
                  (std::vector<int>{MODE_MENU, 0, 0}));
        EXPECT_TRUE(s.HasText("VurorIdi.BAS < Vuror Idi"));
    }
}

TEST(Story, UnskippedItRunsOutIntoTheMenuAfterAboutAMinute) {
    Scenario s(960, 540);
    s.FinishLoading();
    int updates = 0;
    for (; s.App()->m_mode == MODE_STORY && updates < 4000; ++updates) s.Update();
    EXPECT_EQ(s.App()->m_mode, MODE_MENU);
    // 264 pixels of story plus 270 of screen at 0.15 per update.
    EXPECT_GE(updates, 3560);
    EXPECT_LE(updates, 3575);
}
