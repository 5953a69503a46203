// The options box: opened only from the pause menu, deaf while it slides
// in, rows acting once per press, sound off silencing effects, and back
// closing it with the settings saved.
#include <string>

#include "game/overlay_support.h"

namespace {

const int kTemplateGame = 8;

// The n-th "|"-terminated field of a save text.
std::string Field(const std::string& text, int n) {
    size_t from = 0;
    for (int i = 0; i < n; ++i) {
        from = text.find('|', from);
        if (from == std::string::npos) return std::string();
        ++from;
    }
    size_t to = text.find('|', from);
    return to == std::string::npos ? std::string() : text.substr(from, to - from);
}

}  // namespace

TEST(OverlayOptions, OpensOnlyFromThePauseMenu) {
    Scenario s;
    overlay::StartGame(s, kTemplateGame);
    c_MyApp* app = s.App();
    const float gearX = std::trunc(bb_Game_jscrw / 2 + 140);
    const float gearY = bb_Game_jscrh / 2 - 64;

    // Where the gear sits when paused, and every control, while playing.
    s.Click(gearX, gearY);
    for (int key : {GLFW_KEY_ENTER, GLFW_KEY_RIGHT, GLFW_KEY_N, GLFW_KEY_B, GLFW_KEY_X}) s.Press(key);
    EXPECT_EQ(app->m_optionsOpen, 0);
    EXPECT_EQ(app->m_optionsSlide, 0);

    overlay::PauseWithBack(s);
    s.Click(gearX, app->m_pauseY - 64);
    EXPECT_EQ(app->m_optionsOpen, 1);
    EXPECT_GT(app->m_optionsSlide, 0);
    EXPECT_TRUE(s.HasText("<[BACK]"));
}

TEST(OverlayOptions, InputIsIgnoredWhileSlidingInThenBackClosesAndSaves) {
    Scenario s;
    overlay::StartGame(s, kTemplateGame);
    c_MyApp* app = s.App();
    overlay::PauseWithBack(s);
    s.Press(GLFW_KEY_RIGHT);
    s.Press(GLFW_KEY_ENTER);
    ASSERT_EQ(app->m_optionsOpen, 1);
    ASSERT_LT(app->m_optionsSlide, 10);

    s.Press(GLFW_KEY_ESCAPE);
    s.Press(GLFW_KEY_DOWN);
    s.Click(100, (30 - app->m_optionsSlide) * 24.0f + 136);  // where row 1 is at this moment
    EXPECT_EQ(app->m_optionsOpen, 1);
    EXPECT_EQ(app->m_optionCursor, 0);
    EXPECT_EQ(app->m_options[5], 1);
    EXPECT_EQ(app->m_paused, 1);  // the pause menu under the box saw nothing either

    for (int i = 0; i < 40 && app->m_optionsSlide < 30; ++i) s.Update();
    s.Update();
    s.Press(GLFW_KEY_DOWN);
    ASSERT_EQ(app->m_optionCursor, 1);
    s.Press(GLFW_KEY_ENTER);
    ASSERT_EQ(app->m_options[5], 0);
    EXPECT_NE(Field(s.StateText(), 5), "0");  // not saved until the box closes

    s.Press(GLFW_KEY_ESCAPE);
    EXPECT_EQ(app->m_optionsOpen, 0);
    EXPECT_EQ(Field(s.StateText(), 5), "0");
    for (int i = 0; i < 40 && app->m_optionsSlide > 0; ++i) s.Update();
    EXPECT_EQ(app->m_optionsSlide, 0);
    // The back that closed the box did not also resume the game.
    EXPECT_EQ(app->m_paused, 1);
    EXPECT_EQ(app->m_mode, MODE_PLAYING);
}

TEST(OverlayOptions, EachRowActsOncePerPress) {
    Scenario s;
    overlay::StartGame(s, kTemplateGame);
    c_MyApp* app = s.App();
    overlay::OpenOptions(s);
    EXPECT_TRUE(s.HasText("Sound : On"));
    EXPECT_TRUE(s.HasText("iCade : Off"));
    EXPECT_TRUE(s.HasText("Fullscreen"));

    // The cursor runs from the gear (0) over the three rows and stops.
    for (int i = 0; i < 5; ++i) s.Press(GLFW_KEY_DOWN);
    EXPECT_EQ(app->m_optionCursor, 3);
    EXPECT_EQ(app->m_optionRow, 3);
    for (int i = 0; i < 2; ++i) s.Press(GLFW_KEY_UP);
    ASSERT_EQ(app->m_optionCursor, 1);

    // Sound: a held confirm key acts once.
    s.KeyDown(GLFW_KEY_ENTER);
    s.Update(10);
    EXPECT_EQ(app->m_options[5], 0);
    s.KeyUp(GLFW_KEY_ENTER);
    s.Update();
    EXPECT_TRUE(s.HasText("Sound : Off"));
    s.Press(GLFW_KEY_X);  // any of the buttons acts on the cursor row
    EXPECT_EQ(app->m_options[5], 1);

    // iCade: once per press, pad cleared; the arrows and Enter still work.
    s.Press(GLFW_KEY_DOWN);
    ASSERT_EQ(app->m_optionCursor, 2);
    s.KeyDown(GLFW_KEY_ENTER);
    s.Update(10);
    EXPECT_EQ(bb_Game_iCadeControls, 1);
    s.KeyUp(GLFW_KEY_ENTER);
    s.Update();
    EXPECT_TRUE(s.HasText("iCade : On"));
    s.Press(GLFW_KEY_ENTER);
    EXPECT_EQ(bb_Game_iCadeControls, 0);

    // A held finger on a row's bar acts once and moves the cursor there.
    const float row1 = 136;
    s.MoveToVirtual(120, row1);
    s.MouseDown();
    s.Update(10);
    EXPECT_EQ(app->m_options[5], 0);
    EXPECT_EQ(app->m_optionCursor, 1);
    s.MouseUp();
    s.Update();
    s.Click(120, row1);
    EXPECT_EQ(app->m_options[5], 1);
    EXPECT_EQ(app->m_optionsOpen, 1);

    // The gear closes with a tap too.
    s.Click(12.0f * 30 - 260, 60);
    EXPECT_EQ(app->m_optionsOpen, 0);
}

TEST(OverlayOptions, FingerHeldOnTheBackGearDoesNotQuitThroughThePanelBelow) {
    // The back gear lies over the pause menu's quit icon; a finger still
    // down when the box has slid out must not end the game.
    Scenario s;
    overlay::StartGame(s, kTemplateGame);
    c_MyApp* app = s.App();
    overlay::OpenOptions(s);
    ASSERT_EQ(app->m_optionCursor, 0);  // the gear is drawn at size 2
    const float quitX = std::trunc(bb_Game_jscrw / 2 - 140), quitY = app->m_pauseY - 64.0f;
    ASSERT_LT(std::fabs(quitX - 100), 64);  // inside the gear's box
    ASSERT_LT(std::fabs(quitY - 60), 64);
    s.MoveToVirtual(quitX, quitY);
    s.MouseDown();
    s.Update(60);
    EXPECT_EQ(app->m_optionsOpen, 0);
    EXPECT_EQ(app->m_optionsSlide, 0);
    EXPECT_EQ(app->m_gameOver, 0);
    EXPECT_EQ(app->m_paused, 1);
    s.MouseUp();
    s.Update();
}

TEST(OverlayOptions, SoundOffSilencesEffects) {
    Scenario s;
    overlay::StartGame(s, kTemplateGame);
    c_MyApp* app = s.App();
    overlay::OpenOptions(s);

    int channel = app->m_sfxChannel;
    s.Press(GLFW_KEY_DOWN);  // effect 99
    EXPECT_NE(app->m_sfxChannel, channel);
    s.Press(GLFW_KEY_ENTER);  // sound off
    ASSERT_EQ(app->m_options[5], 0);

    channel = app->m_sfxChannel;
    s.Press(GLFW_KEY_DOWN);
    s.Press(GLFW_KEY_UP);
    s.Press(GLFW_KEY_UP);
    s.Press(GLFW_KEY_ESCAPE);  // closes the box
    s.Update(30);              // deaf while it slides out
    s.Press(GLFW_KEY_ESCAPE);  // resumes the game
    EXPECT_EQ(app->m_paused, 0);
    EXPECT_EQ(app->m_sfxChannel, channel);

    // A stored mode above 1 means nothing without music: shown and kept as off.
    overlay::OpenOptions(s);
    app->m_options[5] = 3;
    s.Update();
    EXPECT_EQ(app->m_options[5], 0);
    EXPECT_TRUE(s.HasText("Sound : Off"));
}

TEST(OverlayOptions, FullScreenRowSwitchesOncePerPressAndBack) {
    Scenario s;
    overlay::StartGame(s, kTemplateGame);
    c_MyApp* app = s.App();
    overlay::OpenOptions(s);
    for (int i = 0; i < 3; ++i) s.Press(GLFW_KEY_DOWN);
    ASSERT_EQ(app->m_optionCursor, 3);

    s.KeyDown(GLFW_KEY_ENTER);
    s.Update(10);
    EXPECT_EQ(app->m_fullscreen, 1);
    s.KeyUp(GLFW_KEY_ENTER);
    s.Update();
    EXPECT_TRUE(s.HasText("Windowed"));
    s.Press(GLFW_KEY_ENTER);
    EXPECT_EQ(app->m_fullscreen, 0);
    EXPECT_TRUE(s.HasText("Fullscreen"));
    int w = 0, h = 0;
    s.Host()->GetWindowSize(&w, &h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
}
