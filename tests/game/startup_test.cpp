// Start-up through the scenario driver: the loading display and its jingle,
// the story scroll with SKIP, skipping by key or pointer, and the story
// running out into the menu.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "testing/scenario.h"

namespace {

int CountKind(Scenario& s, float kind) {
    int n = 0;
    for (const Scenario::Record& r : s.Records())
        if (r.kind == kind) ++n;
    return n;
}

}  // namespace

TEST(Startup, LoadingDisplaySpinsAndTheJinglePlaysOnceAtTheFourthUpdate) {
    Scenario s(960, 540);
    c_MyApp* app = s.App();
    EXPECT_EQ(app->m_mode, MODE_STORY);
    EXPECT_EQ(app->m_loadStep, 1);

    int angle = app->m_spinAngle;
    for (int u = 1; u <= 3; ++u) {
        s.Step();
        EXPECT_EQ(app->m_sfxPlays[96], 0) << "update " << u;
    }
    EXPECT_EQ(app->m_spinAngle, angle + 48);
    // The loading display: 22 ring ovals plus the disc, the band, the logo.
    EXPECT_EQ(CountKind(s, KIND_OVAL), 23);
    EXPECT_EQ(CountKind(s, KIND_RECT), 1);
    EXPECT_EQ(CountKind(s, 93), 1);
    EXPECT_FLOAT_EQ(app->m_clsRed, 40);
    EXPECT_FLOAT_EQ(app->m_clsBlue, 80);

    s.Step();  // the fourth loading update
    EXPECT_EQ(app->m_sfxPlays[96], 1);
    EXPECT_EQ(app->m_lastSfxSlot, 96);
    EXPECT_EQ(app->m_logoSoundPlayed, 1);

    s.FinishLoading();
    EXPECT_EQ(app->m_loadStep, 0);
    EXPECT_EQ(app->m_mode, MODE_STORY);
    ASSERT_TRUE(app->m_images[1] != nullptr);
    ASSERT_TRUE(app->m_images[90] != nullptr);

    // A resize reloads everything, but the jingle stays at one per run.
    s.Resize(800, 600);
    s.Step();
    EXPECT_GT(app->m_loadStep, 0);
    s.FinishLoading();
    EXPECT_EQ(app->m_sfxPlays[96], 1);
    EXPECT_EQ(app->m_mode, MODE_STORY);
}

TEST(Startup, StoryScrollsUpFromTheBottomAndShowsSkipOnceRisen) {
    Scenario s(960, 540);  // a 480 x 270 virtual screen
    s.FinishLoading();
    c_MyApp* app = s.App();
    ASSERT_FLOAT_EQ(bb_Game_jscrh, 270);

    s.Step();
    const Scenario::TextRun* first = s.FindText("In the year 2014");
    ASSERT_TRUE(first);
    // Centred on the screen, glyph centres on the line's y.
    EXPECT_FLOAT_EQ(first->y, static_cast<float>(static_cast<int>(app->m_scrollY)));
    EXPECT_FLOAT_EQ(first->x, 240 - 16 * 8 / 2.0f);
    EXPECT_FLOAT_EQ(first->r, 255);
    EXPECT_FLOAT_EQ(first->b, 0);
    EXPECT_NEAR(app->m_scrollY, 270 - 0.15f, 1e-3);
    EXPECT_FALSE(s.HasText("SKIP"));
    // Every line of the story, in order, with its gap.
    const char* lines[] = {"In the year 2014", "Pimbo decides on", "to make money.", "Compiling a list of",
                           "1986", "were originally released.", "only on the titles provided.",
                           "Kestrel Quillon was born"};
    float lastY = -1e9f;
    for (const char* l : lines) {
        const Scenario::TextRun* t = s.FindText(l);
        ASSERT_TRUE(t) << l;
        EXPECT_GT(t->y, lastY) << l;
        lastY = t->y;
    }
    EXPECT_FLOAT_EQ(s.FindText("Kestrel Quillon was born")->y - s.FindText("In the year 2014")->y, 240);

    // Space before SKIP shows does nothing.
    s.Press(GLFW_KEY_SPACE);
    EXPECT_EQ(app->m_mode, MODE_STORY);

    // SKIP appears exactly when the second line has risen above 90 %.
    int updates = 0;
    while (!s.HasText("SKIP") && updates < 400) {
        int secondY = static_cast<int>(app->m_scrollY) + 8;
        EXPECT_GE(secondY, 0.9f * 270) << "update " << updates;
        s.Step();
        ++updates;
    }
    ASSERT_TRUE(s.HasText("SKIP"));
    EXPECT_LT(static_cast<int>(app->m_scrollY) + 8, 0.9f * 270);
    const Scenario::TextRun* skip = s.FindText("SKIP");
    EXPECT_FLOAT_EQ(skip->x, 460 - 16);  // four glyphs centred on jscrw - 20
    EXPECT_FLOAT_EQ(skip->y, 258 + 4);   // top of the line at jscrh - 12
}

TEST(Startup, SpaceSkipsToTheMenuAndTheSamePressDoesNotStartAGame) {
    Scenario s(960, 540);
    s.FinishLoading();
    c_MyApp* app = s.App();
    while (!s.HasText("SKIP")) s.Step();

    s.KeyDown(GLFW_KEY_SPACE);
    s.Step();
    EXPECT_EQ(app->m_mode, MODE_MENU);
    EXPECT_EQ(app->m_keyLatch, 1);
    EXPECT_EQ(app->m_touchLatch, 1);
    // Held Space is control 10, which starts a game in the menu: the latch
    // keeps it from acting there.
    s.Step(20);
    EXPECT_EQ(app->m_mode, MODE_MENU);
    s.KeyUp(GLFW_KEY_SPACE);
    s.Step();
    EXPECT_EQ(app->m_keyLatch, 0);
    EXPECT_EQ(app->m_mode, MODE_MENU);
    EXPECT_TRUE(s.HasText("VurorIdi.BAS < Vuror Idi"));
}

TEST(Startup, APointerHeldDownSkipsOnceSkipShows) {
    Scenario s(960, 540);
    s.FinishLoading();
    c_MyApp* app = s.App();
    s.MoveToVirtual(100, 100);
    s.MouseDown();
    s.Step(100);
    EXPECT_EQ(app->m_mode, MODE_STORY);  // held, but SKIP is not up yet
    while (app->m_mode == MODE_STORY && !s.HasText("SKIP")) s.Step();
    s.Step();
    EXPECT_EQ(app->m_mode, MODE_MENU);
    EXPECT_EQ(app->m_touchLatch, 1);
    s.MouseUp();
    s.Step();
    EXPECT_EQ(app->m_touchLatch, 0);
    EXPECT_EQ(app->m_mode, MODE_MENU);
}

TEST(Startup, TheStoryRunsOutIntoTheMenuAfterAboutAMinute) {
    Scenario s(960, 540);
    s.FinishLoading();
    c_MyApp* app = s.App();
    int updates = 0;
    while (app->m_mode == MODE_STORY && updates < 4000) {
        s.Update();
        ++updates;
    }
    EXPECT_EQ(app->m_mode, MODE_MENU);
    // 264 pixels of story plus 270 of screen at 0.15 per update.
    EXPECT_GE(updates, 3560);
    EXPECT_LE(updates, 3575);
}
