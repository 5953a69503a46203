// The in-game overlay and the pause menu: pausing with back and with the
// pause icon, the cursor over the three icons, resuming, quitting into the
// game-over sequence, and back on the title card.
#include "game/overlay_support.h"

using overlay::CountImages;

namespace {

const int kTemplateGame = 8;  // never ends on its own

}  // namespace

TEST(OverlayPause, BackPausesAndBackOrConfirmResumes) {
    Scenario s;
    overlay::StartGame(s, kTemplateGame);
    c_MyApp* app = s.App();
    const float cx = bb_Game_jscrw / 2;

    s.KeyDown(GLFW_KEY_ESCAPE);
    s.Update();
    EXPECT_EQ(app->m_paused, 1);
    EXPECT_EQ(app->m_pauseCursor, 0);
    EXPECT_EQ(app->m_pauseY, static_cast<int>(bb_Game_jscrh / 2));  // in within one update
    EXPECT_EQ(CountImages(s, 97, 3, cx, app->m_pauseY), 1);          // resume icon
    EXPECT_EQ(CountImages(s, 97, 6, cx, app->m_pauseY), 1);          // its highlight
    s.Update(5);  // back still held: the same press does not resume
    EXPECT_EQ(app->m_paused, 1);
    s.KeyUp(GLFW_KEY_ESCAPE);
    s.Update();

    s.Press(GLFW_KEY_ESCAPE);
    EXPECT_EQ(app->m_paused, 0);
    EXPECT_EQ(app->m_mode, MODE_PLAYING);
    EXPECT_EQ(app->m_gameOver, 0);

    overlay::PauseWithBack(s);
    s.Press(GLFW_KEY_ENTER);  // confirm on the resume icon
    EXPECT_EQ(app->m_paused, 0);
    EXPECT_EQ(app->m_gameOver, 0);
    s.Update();
    EXPECT_EQ(CountImages(s, 97, 3), 0);
}

TEST(OverlayPause, PauseIconActsOnAFreshPressOnly) {
    Scenario s;
    overlay::StartGame(s, kTemplateGame);
    c_MyApp* app = s.App();
    EXPECT_EQ(CountImages(s, 97, 0, 16, 16), 1);

    s.MoveToVirtual(16, 16);
    s.MouseDown();
    s.Update();
    EXPECT_EQ(app->m_paused, 1);
    EXPECT_EQ(app->m_touchLatch, 1);
    s.Update(5);
    EXPECT_EQ(app->m_paused, 1);
    EXPECT_EQ(app->m_gameOver, 0);

    // Resumed from the keyboard while the finger is still on the icon: no
    // second pause until it is lifted and pressed again.
    s.Press(GLFW_KEY_ENTER);
    s.Update(5);
    EXPECT_EQ(app->m_paused, 0);
    s.MouseUp();
    s.Update();
    s.MouseDown();
    s.Update();
    EXPECT_EQ(app->m_paused, 1);
    s.MouseUp();
    s.Update();

    // F2 hides the icon, and with it the way to pause by pointer.
    s.Press(GLFW_KEY_ESCAPE);
    ASSERT_EQ(app->m_paused, 0);
    s.Press(GLFW_KEY_F2);
    EXPECT_EQ(CountImages(s, 97, 0, 16, 16), 0);
    s.Click(16, 16);
    EXPECT_EQ(app->m_paused, 0);
}

TEST(OverlayPause, TapOnThePauseIconDoesNotReachTheQuitIconOnAPortraitScreen) {
    // On a narrow screen the quit icon's box reaches over the pause icon.
    Scenario s(480, 800);
    overlay::StartGame(s, kTemplateGame);
    c_MyApp* app = s.App();
    ASSERT_EQ(app->m_landscape, 0);
    s.MoveToVirtual(16, 16);
    s.MouseDown();
    s.Update(10);
    EXPECT_EQ(app->m_paused, 1);
    EXPECT_EQ(app->m_gameOver, 0);
    EXPECT_EQ(app->m_optionsOpen, 0);
    // Portrait places quit and options 96 to either side, 96 above centre.
    const float cx = bb_Game_jscrw / 2;
    EXPECT_EQ(CountImages(s, 97, 1, std::trunc(cx - 96), app->m_pauseY - 96), 1);
    EXPECT_EQ(CountImages(s, 95, 10, std::trunc(cx + 96), app->m_pauseY - 96), 1);
    s.MouseUp();
    s.Update();
}

TEST(OverlayPause, CursorMovesOnePlacePerPress) {
    Scenario s;
    overlay::StartGame(s, kTemplateGame);
    c_MyApp* app = s.App();
    overlay::PauseWithBack(s);
    const float cx = bb_Game_jscrw / 2;
    const float iconY = app->m_pauseY - 64;

    s.Press(GLFW_KEY_LEFT);
    EXPECT_EQ(app->m_pauseCursor, -1);
    EXPECT_EQ(CountImages(s, 97, 6, std::trunc(cx - 140), iconY), 1);
    s.Press(GLFW_KEY_LEFT);  // nothing further left
    EXPECT_EQ(app->m_pauseCursor, -1);

    // A held key moves one place, not on through resume to options.
    s.KeyDown(GLFW_KEY_RIGHT);
    s.Update(6);
    EXPECT_EQ(app->m_pauseCursor, 0);
    s.KeyUp(GLFW_KEY_RIGHT);
    s.Update();

    s.Press(GLFW_KEY_RIGHT);
    EXPECT_EQ(app->m_pauseCursor, 1);
    EXPECT_EQ(CountImages(s, 97, 6, std::trunc(cx + 140), iconY), 1);
    s.Press(GLFW_KEY_RIGHT);
    EXPECT_EQ(app->m_pauseCursor, 1);
    s.KeyDown(GLFW_KEY_DOWN);
    s.Update(6);
    EXPECT_EQ(app->m_pauseCursor, 0);
    s.KeyUp(GLFW_KEY_DOWN);
    s.Update();
    s.Press(GLFW_KEY_UP);
    EXPECT_EQ(app->m_pauseCursor, -1);
    s.Press(GLFW_KEY_DOWN);
    EXPECT_EQ(app->m_pauseCursor, 0);
    EXPECT_EQ(app->m_paused, 1);
    EXPECT_EQ(app->m_optionsOpen, 0);
    EXPECT_EQ(app->m_gameOver, 0);
}

TEST(OverlayPause, QuitStartsTheGameOverSequenceAndReturnsToTheTitleCard) {
    Scenario s;
    overlay::StartGame(s, kTemplateGame);
    c_MyApp* app = s.App();
    overlay::PauseWithBack(s);
    s.Press(GLFW_KEY_LEFT);
    s.KeyDown(GLFW_KEY_ENTER);
    s.Update();
    EXPECT_EQ(app->m_gameOver, 1);
    EXPECT_EQ(app->m_paused, 0);
    EXPECT_EQ(app->m_pauseY, -64);
    EXPECT_EQ(app->m_mode, MODE_PLAYING);
    EXPECT_EQ(app->m_gameOverTimer, 1);  // counted, not yet drawn
    s.KeyUp(GLFW_KEY_ENTER);
    s.Update();
    EXPECT_TRUE(s.HasText("GAME"));
    EXPECT_TRUE(s.HasText("OVER"));
    EXPECT_FALSE(s.HasText("New Highscore"));  // the template game has no table

    for (int i = 0; i < 200 && app->m_mode == MODE_PLAYING; ++i) s.Update();
    EXPECT_EQ(app->m_mode, MODE_TITLE);
    EXPECT_EQ(app->m_gameOverTimer, 73);
    // The template's quit must not have written into any game's lists.
    for (int i = 0; i < 140; ++i) ASSERT_EQ(app->m_scoreTable[i], 0) << i;
}

TEST(OverlayPause, QuitIconTappedEndsTheGame) {
    Scenario s;
    overlay::StartGame(s, kTemplateGame);
    c_MyApp* app = s.App();
    overlay::PauseWithBack(s);
    s.Click(std::trunc(bb_Game_jscrw / 2 - 140), app->m_pauseY - 64);
    EXPECT_EQ(app->m_gameOver, 1);
    EXPECT_EQ(app->m_paused, 0);
}

TEST(OverlayPause, BackOnTheTitleCardGoesStraightToTheMenu) {
    Scenario s;
    s.ToMenu();
    c_MyApp* app = s.App();
    app->m_game = 3;
    app->m_mode = MODE_ENTER_TITLE;
    for (int i = 0; i < 120 && app->m_titleTimer < 100; ++i) s.Update();
    s.Update();
    int channel = app->m_sfxChannel;
    s.Press(GLFW_KEY_ESCAPE);
    EXPECT_EQ(app->m_mode, MODE_MENU);
    EXPECT_EQ(app->m_paused, 0);
    EXPECT_NE(app->m_sfxChannel, channel);  // effect 98 played

    // And by the back icon in the corner.
    app->m_mode = MODE_ENTER_TITLE;
    s.Update();
    for (int i = 0; i < 120 && app->m_titleTimer < 100; ++i) s.Update();
    s.Update();
    EXPECT_EQ(CountImages(s, 97, 2, 16, 16), 1);
    s.Click(16, 16);
    EXPECT_EQ(app->m_mode, MODE_MENU);
}
