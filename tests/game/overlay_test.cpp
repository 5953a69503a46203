// The overlays over a game: pausing with back and the pause icon, the pause
// menu's cursor, resuming, quitting into the game-over overlay and its
// ranking, and the options box's rows and latches.
#include <cmath>

#include "game/overlay_support.h"

using overlay::Drawn;
using overlay::StartGame;

TEST(OverlayPause, BackPausesTheCursorMovesOncePerPressAndBackOrConfirmResumes) {
    Scenario s;
    c_MyApp* app = StartGame(s);
    const float cx = bb_Game_jscrw / 2, cy = std::trunc(bb_Game_jscrh / 2);
    s.KeyDown(GLFW_KEY_ESCAPE);
    s.Update();
    EXPECT_TRUE(app->m_paused == 1 && app->m_pauseY == cy && Drawn(s, 97, 3, cx, cy)) << "in within one update";
    s.Update(5);  // the held press does not also resume
    s.KeyUp(GLFW_KEY_ESCAPE), s.Update();
    s.Press(GLFW_KEY_LEFT);
    EXPECT_TRUE(app->m_paused == 1 && app->m_pauseCursor == -1 && Drawn(s, 97, 6, std::trunc(cx - 140), cy - 64));
    s.Press(GLFW_KEY_RIGHT, 6);  // a held key moves one place, not on through resume to options
    EXPECT_EQ(app->m_pauseCursor, 0);
    s.Press(GLFW_KEY_RIGHT);
    EXPECT_TRUE(app->m_pauseCursor == 1 && Drawn(s, 97, 6, std::trunc(cx + 140), cy - 64));
    s.Press(GLFW_KEY_DOWN);
    s.Press(GLFW_KEY_ESCAPE);
    EXPECT_TRUE(app->m_pauseCursor == 0 && app->m_paused == 0);
    s.Press(GLFW_KEY_ESCAPE);
    s.Press(GLFW_KEY_ENTER);
    s.Update();
    EXPECT_TRUE(app->m_paused == 0 && app->m_gameOver == 0 && app->m_optionsOpen == 0 && !Drawn(s, 97, 3, cx, cy));
}

TEST(OverlayPause, PauseIconActsOnAFreshPressAndNeverReachesTheQuitIcon) {
    Scenario s(480, 800);  // portrait: the quit icon's box reaches over the pause icon
    c_MyApp* app = StartGame(s);
    s.MoveToVirtual(16, 16);
    s.MouseDown();
    s.Update(10);
    EXPECT_TRUE(app->m_paused == 1 && app->m_gameOver == 0);
    EXPECT_TRUE(Drawn(s, 97, 1, std::trunc(bb_Game_jscrw / 2 - 96), app->m_pauseY - 96)) << "the quit icon";
    s.Press(GLFW_KEY_ENTER);  // resumed with the finger still down: no pause until a new press
    s.Update(5);
    EXPECT_EQ(app->m_paused, 0);
    s.MouseUp();
    s.Update();
    s.MouseDown();
    s.Update();
    EXPECT_EQ(app->m_paused, 1);
}

TEST(OverlayPause, QuitRunsGameOverThenTheTimerRestsOnTheTitleAndCountsDownOverTheMenu) {
    Scenario s;
    c_MyApp* app = StartGame(s);
    for (int key : {GLFW_KEY_ESCAPE, GLFW_KEY_LEFT, GLFW_KEY_ENTER}) s.Press(key);
    EXPECT_TRUE(app->m_gameOver == 1 && app->m_paused == 0 && app->m_gameOverTimer == 2);
    s.Press(GLFW_KEY_ESCAPE);  // an ended game cannot be paused, not even by losing the focus
    EXPECT_EQ(app->m_paused, 0);
    s.Suspend(), s.Resume();
    EXPECT_EQ(app->m_paused, 0);
    s.Update(85);
    EXPECT_TRUE(app->m_mode == MODE_PLAYING && app->m_paused == 0 && s.HasText("OVER") && !s.HasText("New Highscore"));
    s.Update();
    EXPECT_TRUE(app->m_mode == MODE_TITLE && app->m_paused == 0 && app->m_gameOverTimer == 73);
    s.Update(30);
    EXPECT_TRUE(app->m_gameOverTimer == 73 && !s.HasText("OVER"));
    for (int i = 0; i < 140; ++i) ASSERT_EQ(app->m_scoreTable[i], 0) << i;
    s.Press(GLFW_KEY_ESCAPE);  // back from the title card: the menu shows the rest for 37 updates
    int shown = 0;
    for (int i = 0; i < 60; ++i, s.Update()) shown += s.HasText("OVER");
    EXPECT_TRUE(shown == 37 && app->m_gameOverTimer == 0 && app->m_mode == MODE_MENU) << shown;
    app->m_mode = MODE_ENTER_TITLE;  // the title card's back icon leads there too
    s.Update(110);
    EXPECT_TRUE(Drawn(s, 97, 2, 16, 16));
    s.Click(16, 16);
    EXPECT_EQ(app->m_mode, MODE_MENU);
}

TEST(OverlayGameOver, RankingIsToldBeforeAndAfterRecordingAndRideraDidudShowsTeamScores) {
    Scenario s;
    s.ToMenu();
    c_MyApp* app = s.App();
    auto endGame = [app](int game, int score, std::vector<int> best, int updates) {
        app->m_game = game, app->m_mode = MODE_PLAYING, app->m_gameOver = 1, app->m_gameOverTimer = 0;
        app->m_score = score, app->m_scorePending = 1;  // as the game's set-up leaves it
        best.resize(10);
        for (int k = 0; k < 10; ++k) app->m_scoreTable[10 * (game - 1) + k] = best[k];
        for (int i = 0; i < updates; ++i) app->p_GameOver();
    };
    endGame(2, 300, {500, 300, 300, 100}, 30);  // "2nd", stored behind both 300s
    EXPECT_TRUE(s.HasText("New Highscore") && s.HasText("2nd") && app->m_scoreTable[13] == 100);
    app->p_GameOver();
    EXPECT_EQ(std::vector<int>(&app->m_scoreTable[10], &app->m_scoreTable[15]),
              (std::vector<int>{500, 300, 300, 300, 100}));
    EXPECT_TRUE(app->m_scoreTable[80] == 300 && s.HasText("2nd") && !s.StateText().empty())
        << "newest recent score, saved";
    endGame(4, 5, {90, 80, 70, 60, 50, 40, 30, 20, 15, 10}, 31);  // not ranked: no banner, still recent
    EXPECT_TRUE(app->m_i == 0 && s.HasText("GAME") && !s.HasText("New Highscore") && app->m_scoreTable[100] == 5);
    app->m_players[7] = 3, app->m_players[17] = 1;
    endGame(7, 5, {}, 40);
    EXPECT_TRUE(s.HasText("Scores") && s.HasText("3.0") && s.HasText("1.0") && !s.HasText("New Highscore"));
    EXPECT_TRUE(app->m_scoreTable[60] == 5 && app->m_i == 1) << "recorded and ranked first, without the banner";
}

TEST(OverlayOptions, OpensOnlyFromThePauseMenuIsDeafWhileSlidingAndBackClosesAndSaves) {
    Scenario s;
    c_MyApp* app = StartGame(s);
    const float gearX = std::trunc(bb_Game_jscrw / 2 + 140), gearY = std::trunc(bb_Game_jscrh / 2) - 64;
    for (int key : {GLFW_KEY_ENTER, GLFW_KEY_RIGHT, GLFW_KEY_N}) s.Press(key);
    s.Click(gearX, gearY);  // where the gear is when paused
    EXPECT_EQ(app->m_optionsOpen, 0);
    s.Press(GLFW_KEY_ESCAPE);
    s.Click(gearX, gearY);
    ASSERT_EQ(app->m_optionsOpen, 1);
    s.Update(10);  // a third of the way in
    s.Press(GLFW_KEY_ESCAPE);
    s.Press(GLFW_KEY_DOWN);
    EXPECT_TRUE(app->m_optionsOpen == 1 && app->m_optionCursor == 0 && app->m_paused == 1) << "nobody saw the keys";
    s.Update(20);
    s.Press(GLFW_KEY_DOWN);
    s.Press(GLFW_KEY_ENTER);
    EXPECT_TRUE(app->m_options[5] == 0 && s.StateText().rfind("0|0|0|0|0|0|", 0) != 0) << "saved only on closing";
    s.Press(GLFW_KEY_ESCAPE);
    EXPECT_TRUE(app->m_optionsOpen == 0 && s.StateText().rfind("0|0|0|0|0|0|", 0) == 0) << "sound stored as off";
    s.Update(30);
    EXPECT_TRUE(app->m_optionsSlide == 0 && app->m_paused == 1);
}

TEST(OverlayOptions, FourRowsEachActingOncePerPressOrTapAndSoundOffSilencesEffects) {
    Scenario s;
    c_MyApp* app = StartGame(s);
    overlay::OpenOptions(s);
    // Labels 36 apart from y 130; a tap on a row's bar acts on that row alone.
    const char* labels[4] = {"Sound : On", "iCade : Off", "Fullscreen", "Music : Off"};
    for (int r = 0; r < 4; ++r) {
        const Scenario::TextRun* t = s.FindText(labels[r]);
        EXPECT_TRUE(t && t->x == 100 && t->y == 130 + 36 * r + 8) << labels[r];
    }
    for (int r = 0; r < 4; ++r) s.Click(120, 140 + 36 * r, 10);  // each held: it acts once
    EXPECT_TRUE(app->m_options[5] == 0 && bb_Game_iCadeControls == 1 && app->m_fullscreen == 1 &&
                app->m_options[OPTION_MUSIC] == 1 && app->m_optionCursor == 4);
    EXPECT_TRUE(s.HasText("Sound : Off") && s.HasText("iCade : On") && s.HasText("Windowed") &&
                s.HasText("Music : On"));
    const int channel = app->m_sfxChannel;
    for (int i = 0; i < 5; ++i) s.Press(GLFW_KEY_UP);
    EXPECT_EQ(app->m_sfxChannel, channel) << "no effect played";
    s.Press(GLFW_KEY_DOWN);
    s.Press(GLFW_KEY_ENTER, 10);  // a held key acts once on the cursor row
    EXPECT_EQ(app->m_options[5], 1);
    for (int key : {GLFW_KEY_DOWN, GLFW_KEY_ENTER, GLFW_KEY_DOWN, GLFW_KEY_ENTER, GLFW_KEY_DOWN, GLFW_KEY_ENTER})
        s.Press(key);
    EXPECT_TRUE(bb_Game_iCadeControls == 0 && app->m_fullscreen == 0 && app->m_options[OPTION_MUSIC] == 0)
        << "arrows and Enter still reach the box, and switch each row back";

    // The back gear lies over the pause menu's quit icon: a finger held on
    // it after the box has slid out must not end the game.
    for (int i = 0; i < 4; ++i) s.Press(GLFW_KEY_UP);
    s.MoveToVirtual(std::trunc(bb_Game_jscrw / 2 - 140), app->m_pauseY - 64.0f);
    s.MouseDown();
    s.Update(60);
    EXPECT_TRUE(app->m_optionsOpen == 0 && app->m_gameOver == 0 && app->m_paused == 1);
    s.MouseUp();
}

// The console variant: Y pauses, the shoulders step both overscan sliders by
// 16 within 1 to 96, the options box has no iCade row, and back asks first.
TEST(OverlayConsole, OverscanSlidersOptionRowsAndTheQuitDialog) {
    Scenario s;
    c_MyApp* app = StartGame(s);
    bb_Game_isOuya = 1;
    bb_Game_overscan = app->m_options[14] = 64;
    s.Press(GLFW_KEY_V);
    s.Press(GLFW_KEY_N);
    EXPECT_TRUE(app->m_paused == 1 && bb_Game_overscan == 80);
    s.Press(GLFW_KEY_N), s.Press(GLFW_KEY_N);
    EXPECT_EQ(app->m_options[14], 96);
    s.Press(GLFW_KEY_RIGHT), s.Press(GLFW_KEY_ENTER), s.Update(31);
    EXPECT_TRUE(app->m_optionsSlide == 30 && !s.HasText("iCade") && app->m_optionRow == 3);
    s.Press(GLFW_KEY_B);
    EXPECT_EQ(bb_Game_overscan, 80);
    s.Press(GLFW_KEY_ENTER), s.Update(30);  // confirm on the back gear closes the box
    app->m_mode = MODE_QUIT_DIALOG;
    s.Update();
    EXPECT_TRUE(s.HasText("to QUIT!") && s.HasText("or (O) to return to the fun!"));
    s.Press(GLFW_KEY_ENTER);
    EXPECT_EQ(app->m_mode, MODE_MENU);
}
