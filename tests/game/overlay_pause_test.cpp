// The in-game overlay, the pause menu and the options box: pausing with
// back and the pause icon, the cursor, resuming, quitting into game over,
// the options rows and their latches, and the console variant.
#include "game/overlay_support.h"

using overlay::CountImages;

namespace {

const int kTemplateGame = 8;  // never ends on its own

}  // namespace

TEST(OverlayPause, BackPausesTheCursorMovesOncePerPressAndBackOrConfirmResumes) {
    Scenario s;
    overlay::StartGame(s, kTemplateGame);
    c_MyApp* app = s.App();
    const float cx = bb_Game_jscrw / 2;

    s.KeyDown(GLFW_KEY_ESCAPE);
    s.Update();
    EXPECT_EQ(app->m_paused, 1);
    EXPECT_EQ(app->m_pauseY, static_cast<int>(bb_Game_jscrh / 2));  // in within one update
    EXPECT_EQ(CountImages(s, 97, 3, cx, app->m_pauseY), 1);          // resume icon
    s.Update(5);  // the held press does not also resume
    s.KeyUp(GLFW_KEY_ESCAPE);
    s.Update();
    EXPECT_EQ(app->m_paused, 1);

    const float iconY = app->m_pauseY - 64;
    s.Press(GLFW_KEY_LEFT);
    EXPECT_EQ(app->m_pauseCursor, -1);
    EXPECT_EQ(CountImages(s, 97, 6, std::trunc(cx - 140), iconY), 1);  // highlight on quit
    // A held key moves one place, not on through resume to options.
    s.KeyDown(GLFW_KEY_RIGHT);
    s.Update(6);
    s.KeyUp(GLFW_KEY_RIGHT);
    s.Update();
    EXPECT_EQ(app->m_pauseCursor, 0);
    s.Press(GLFW_KEY_RIGHT);
    EXPECT_EQ(app->m_pauseCursor, 1);
    s.Press(GLFW_KEY_DOWN);
    EXPECT_EQ(app->m_pauseCursor, 0);

    s.Press(GLFW_KEY_ESCAPE);
    EXPECT_EQ(app->m_paused, 0);
    overlay::PauseWithBack(s);
    s.Press(GLFW_KEY_ENTER);
    s.Update();
    EXPECT_EQ(app->m_paused, 0);
    EXPECT_EQ(CountImages(s, 97, 3), 0);
    EXPECT_EQ(app->m_gameOver, 0);
    EXPECT_EQ(app->m_optionsOpen, 0);
}

TEST(OverlayPause, PauseIconActsOnAFreshPressAndNeverReachesTheQuitIcon) {
    // On a portrait screen the quit icon's box reaches over the pause icon.
    Scenario s(480, 800);
    overlay::StartGame(s, kTemplateGame);
    c_MyApp* app = s.App();
    ASSERT_EQ(app->m_landscape, 0);
    s.MoveToVirtual(16, 16);
    s.MouseDown();
    s.Update(10);
    EXPECT_EQ(app->m_paused, 1);
    EXPECT_EQ(app->m_gameOver, 0);
    EXPECT_EQ(CountImages(s, 97, 1, std::trunc(bb_Game_jscrw / 2 - 96), app->m_pauseY - 96), 1);

    // Resumed by key with the finger still down: no pause until a new press.
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
}

TEST(OverlayPause, QuitRunsGameOverThenTheTimerRestsOnTheTitleAndCountsDownOverTheMenu) {
    Scenario s;
    overlay::StartGame(s, kTemplateGame);
    c_MyApp* app = s.App();
    overlay::PauseWithBack(s);
    s.Press(GLFW_KEY_LEFT);
    s.KeyDown(GLFW_KEY_ENTER);
    s.Update();
    EXPECT_EQ(app->m_gameOver, 1);
    EXPECT_EQ(app->m_paused, 0);
    EXPECT_EQ(app->m_gameOverTimer, 1);
    s.KeyUp(GLFW_KEY_ENTER);
    s.Update();
    s.Press(GLFW_KEY_ESCAPE);  // an ended game cannot be paused
    EXPECT_EQ(app->m_paused, 0);
    s.Suspend();
    s.Resume();  // nor by losing the focus
    EXPECT_EQ(app->m_paused, 0);
    s.Update(85);
    EXPECT_EQ(app->m_mode, MODE_PLAYING);
    EXPECT_TRUE(s.HasText("GAME"));
    EXPECT_TRUE(s.HasText("OVER"));
    EXPECT_FALSE(s.HasText("New Highscore"));  // the template game has no table
    s.Update();
    EXPECT_EQ(app->m_mode, MODE_TITLE);
    EXPECT_EQ(app->m_paused, 0);
    EXPECT_EQ(app->m_gameOverTimer, 73);
    s.Update(30);
    EXPECT_EQ(app->m_gameOverTimer, 73);
    EXPECT_FALSE(s.HasText("OVER"));
    for (int i = 0; i < 140; ++i) ASSERT_EQ(app->m_scoreTable[i], 0) << i;

    // Back from the title card goes straight to the menu, which shows the
    // rest of the overlay for 37 updates.
    s.KeyDown(GLFW_KEY_ESCAPE);
    s.Update();
    ASSERT_EQ(app->m_mode, MODE_MENU);
    s.KeyUp(GLFW_KEY_ESCAPE);
    int shown = 0;
    for (int i = 0; i < 60; ++i) {
        s.Update();
        if (s.HasText("OVER")) ++shown;
    }
    EXPECT_EQ(shown, 37);
    EXPECT_EQ(app->m_gameOverTimer, 0);
    EXPECT_EQ(app->m_mode, MODE_MENU);

    // The title card's back icon does the same.
    app->m_mode = MODE_ENTER_TITLE;
    s.Update(110);
    EXPECT_EQ(CountImages(s, 97, 2, 16, 16), 1);
    s.Click(16, 16);
    EXPECT_EQ(app->m_mode, MODE_MENU);
}

TEST(OverlayOptions, OpensOnlyFromThePauseMenuIsDeafWhileSlidingAndBackClosesAndSaves) {
    Scenario s;
    overlay::StartGame(s, kTemplateGame);
    c_MyApp* app = s.App();
    const float gearX = std::trunc(bb_Game_jscrw / 2 + 140);
    for (int key : {GLFW_KEY_ENTER, GLFW_KEY_RIGHT, GLFW_KEY_N}) s.Press(key);
    s.Click(gearX, bb_Game_jscrh / 2 - 64);  // where the gear is when paused
    EXPECT_EQ(app->m_optionsOpen, 0);

    overlay::PauseWithBack(s);
    s.Click(gearX, app->m_pauseY - 64);
    ASSERT_EQ(app->m_optionsOpen, 1);
    ASSERT_LT(app->m_optionsSlide, 10);
    s.Press(GLFW_KEY_ESCAPE);
    s.Press(GLFW_KEY_DOWN);
    EXPECT_EQ(app->m_optionsOpen, 1);
    EXPECT_EQ(app->m_optionCursor, 0);
    EXPECT_EQ(app->m_paused, 1);  // the pause menu below saw nothing either

    for (int i = 0; i < 40 && app->m_optionsSlide < 30; ++i) s.Update();
    s.Update();
    s.Press(GLFW_KEY_DOWN);
    s.Press(GLFW_KEY_ENTER);
    ASSERT_EQ(app->m_options[5], 0);
    EXPECT_NE(s.StateText().rfind("0|0|0|0|0|0|", 0), 0u);  // saved only on closing
    s.Press(GLFW_KEY_ESCAPE);
    EXPECT_EQ(app->m_optionsOpen, 0);
    EXPECT_EQ(s.StateText().rfind("0|0|0|0|0|0|", 0), 0u);  // option 5 stored as 0
    s.Update(30);
    EXPECT_EQ(app->m_optionsSlide, 0);
    EXPECT_EQ(app->m_paused, 1);
}

TEST(OverlayOptions, EachRowActsOncePerPressAndSoundOffSilencesEffects) {
    Scenario s;
    overlay::StartGame(s, kTemplateGame);
    c_MyApp* app = s.App();
    overlay::OpenOptions(s);
    for (int i = 0; i < 5; ++i) s.Press(GLFW_KEY_DOWN);
    EXPECT_EQ(app->m_optionCursor, 4);  // sound, iCade, full screen, music
    s.Press(GLFW_KEY_UP);
    s.Press(GLFW_KEY_UP);
    s.Press(GLFW_KEY_UP);

    s.KeyDown(GLFW_KEY_ENTER);
    s.Update(10);
    s.KeyUp(GLFW_KEY_ENTER);
    s.Update();
    EXPECT_EQ(app->m_options[5], 0);
    EXPECT_TRUE(s.HasText("Sound : Off"));
    int channel = app->m_sfxChannel;
    s.Press(GLFW_KEY_DOWN);
    s.Press(GLFW_KEY_UP);
    EXPECT_EQ(app->m_sfxChannel, channel);  // no effect advanced a channel
    s.Press(GLFW_KEY_X);                    // any button acts on the cursor row
    EXPECT_EQ(app->m_options[5], 1);
    s.Press(GLFW_KEY_DOWN);
    EXPECT_NE(app->m_sfxChannel, channel);

    s.KeyDown(GLFW_KEY_ENTER);
    s.Update(10);
    s.KeyUp(GLFW_KEY_ENTER);
    s.Update();
    EXPECT_EQ(bb_Game_iCadeControls, 1);
    EXPECT_TRUE(s.HasText("iCade : On"));
    s.Press(GLFW_KEY_ENTER);  // arrows and Enter still reach the box
    EXPECT_EQ(bb_Game_iCadeControls, 0);

    s.Press(GLFW_KEY_DOWN);
    s.Press(GLFW_KEY_ENTER);
    EXPECT_EQ(app->m_fullscreen, 1);
    EXPECT_TRUE(s.HasText("Windowed"));
    s.Press(GLFW_KEY_ENTER);
    EXPECT_EQ(app->m_fullscreen, 0);

    // A held finger on a row's bar acts once and takes the cursor there.
    s.MoveToVirtual(120, 136);
    s.MouseDown();
    s.Update(10);
    s.MouseUp();
    s.Update();
    EXPECT_EQ(app->m_options[5], 0);
    EXPECT_EQ(app->m_optionCursor, 1);

    // The back gear lies over the pause menu's quit icon: a finger held on
    // it after the box has slid out must not end the game.
    s.Press(GLFW_KEY_UP);
    const float quitX = std::trunc(bb_Game_jscrw / 2 - 140), quitY = app->m_pauseY - 64.0f;
    ASSERT_LT(std::fabs(quitX - 100), 64);  // inside the gear's box at size 2
    s.MoveToVirtual(quitX, quitY);
    s.MouseDown();
    s.Update(60);
    EXPECT_EQ(app->m_optionsOpen, 0);
    EXPECT_EQ(app->m_gameOver, 0);
    EXPECT_EQ(app->m_paused, 1);
    s.MouseUp();
    s.Update();
}

TEST(OverlayConsole, QuitDialogAndOverscanSliders) {
    Scenario s;
    overlay::StartGame(s, kTemplateGame);
    c_MyApp* app = s.App();
    bb_Game_isOuya = 1;
    app->m_options[14] = 64;
    bb_Game_overscan = 64;

    s.Press(GLFW_KEY_V);  // Y pauses on the console
    ASSERT_EQ(app->m_paused, 1);
    s.Press(GLFW_KEY_N);
    EXPECT_EQ(bb_Game_overscan, 80);
    s.Press(GLFW_KEY_N);
    s.Press(GLFW_KEY_N);
    EXPECT_EQ(app->m_options[14], 96);  // held at the top end

    s.Press(GLFW_KEY_RIGHT);
    s.Press(GLFW_KEY_ENTER);
    for (int i = 0; i < 40 && app->m_optionsSlide < 30; ++i) s.Update();
    s.Update();
    EXPECT_FALSE(s.HasText("iCade"));
    EXPECT_EQ(app->m_optionRow, 3);  // sound, full screen, music
    s.Press(GLFW_KEY_B);
    EXPECT_EQ(bb_Game_overscan, 80);
    s.Press(GLFW_KEY_ENTER);  // confirm on the gear closes the box
    EXPECT_EQ(app->m_optionsOpen, 0);
    s.Update(30);

    app->m_mode = MODE_QUIT_DIALOG;
    s.Update();
    EXPECT_TRUE(s.HasText("to QUIT!"));
    EXPECT_TRUE(s.HasText("or (O) to return to the fun!"));
    s.Press(GLFW_KEY_ENTER);
    EXPECT_EQ(app->m_mode, MODE_MENU);
}

TEST(OverlayConsole, QuitDialogEndsTheProgramWithB) {
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            Scenario s;
            s.ToMenu();
            bb_Game_isOuya = 1;
            s.App()->m_mode = MODE_QUIT_DIALOG;
            s.Update();
            s.KeyDown(GLFW_KEY_X);
            s.Update();
            exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}
