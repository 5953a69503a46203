// The game-over overlay: the ranking text and where the score is recorded,
// no banner for Ridera Didud, and the timer's hand-back to the title card
// and its rest counted down over the menu.
#include <algorithm>

#include "game/overlay_support.h"

namespace {

// Puts the app into a just-ended game without running a mini-game step.
void EndGame(c_MyApp* app, int game, int score, std::initializer_list<int> best) {
    app->m_game = game;
    app->m_mode = MODE_PLAYING;
    app->m_gameOver = 1;
    app->m_gameOverTimer = 0;
    app->m_score = score;
    int base = 10 * (game - 1);
    for (int i = 0; i < 10; ++i) app->m_scoreTable[base + i] = 0;
    int i = 0;
    for (int v : best) app->m_scoreTable[base + i++] = v;
}

}  // namespace

TEST(OverlayGameOver, RankingIsToldBeforeAndAfterRecording) {
    Scenario s;
    s.ToMenu();
    c_MyApp* app = s.App();

    // 300 on 500, 300, 300, 100: "2nd", stored behind both 300s.
    EndGame(app, 2, 300, {500, 300, 300, 100});
    EXPECT_EQ(app->p_MyNth().ToUtf8(), "2nd");
    EXPECT_EQ(app->m_i, 2);
    app->p_GameOver();  // timer 0 -> 1, nothing drawn yet
    EXPECT_EQ(app->m_gameOverTimer, 1);
    for (int i = 1; i < 30; ++i) app->p_GameOver();
    EXPECT_TRUE(s.HasText("New Highscore"));
    EXPECT_TRUE(s.HasText("2nd"));
    EXPECT_EQ(app->m_scoreTable[13], 100);  // not yet recorded
    app->p_GameOver();                       // timer 30 records
    const int expected[10] = {500, 300, 300, 300, 100, 0, 0, 0, 0, 0};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(app->m_scoreTable[10 + i], expected[i]) << i;
    EXPECT_EQ(app->m_scoreTable[80], 300);  // newest recent score
    EXPECT_TRUE(s.HasText("2nd"));
    EXPECT_EQ(s.StateText().empty(), false);  // recording saved

    // 0 on a table of zeros is first; it ranks but displaces nothing.
    EndGame(app, 3, 0, {});
    EXPECT_EQ(app->p_MyNth().ToUtf8(), "1st!");
    for (int i = 0; i < 31; ++i) app->p_GameOver();
    EXPECT_TRUE(s.HasText("1st!"));

    // Equal to the tenth entry: "10th"; below all ten: no banner, but the
    // recent list still takes it.
    EndGame(app, 4, 10, {90, 80, 70, 60, 50, 40, 30, 20, 15, 10});
    EXPECT_EQ(app->p_MyNth().ToUtf8(), "10th");
    EXPECT_EQ(app->m_i, 10);
    EndGame(app, 4, 5, {90, 80, 70, 60, 50, 40, 30, 20, 15, 10});
    app->p_MyNth();
    EXPECT_EQ(app->m_i, 0);
    for (int i = 0; i < 31; ++i) app->p_GameOver();
    EXPECT_TRUE(s.HasText("GAME"));
    EXPECT_FALSE(s.HasText("New Highscore"));
    EXPECT_EQ(app->m_scoreTable[39], 10);
    EXPECT_EQ(app->m_scoreTable[100], 5);

    // A game number without a table never ranks.
    app->m_game = 8;
    app->p_MyNth();
    EXPECT_EQ(app->m_i, 0);
}

TEST(OverlayGameOver, RideraDidudShowsTeamScoresAndNoBanner) {
    Scenario s;
    s.ToMenu();
    c_MyApp* app = s.App();
    EndGame(app, 7, 0, {});
    app->m_players[7] = 3;
    app->m_players[17] = 1;
    for (int i = 0; i < 40; ++i) app->p_GameOver();
    EXPECT_TRUE(s.HasText("GAME"));
    EXPECT_TRUE(s.HasText("Scores"));
    EXPECT_TRUE(s.HasText("3.0"));
    EXPECT_TRUE(s.HasText("1.0"));
    EXPECT_FALSE(s.HasText("New Highscore"));
    EXPECT_FALSE(s.HasText("1st!"));
    EXPECT_EQ(app->m_scoreTable[60], 0);

    // Other games show no team scores.
    EndGame(app, 1, 0, {});
    for (int i = 0; i < 5; ++i) app->p_GameOver();
    EXPECT_FALSE(s.HasText("Scores"));
}

TEST(OverlayGameOver, TimerRestsOnTheTitleCardAndCountsDownOverTheMenu) {
    Scenario s;
    overlay::StartGame(s, 8);
    c_MyApp* app = s.App();
    app->m_gameOver = 1;  // as a game does when it ends
    s.Update(89);
    EXPECT_EQ(app->m_mode, MODE_PLAYING);
    EXPECT_EQ(app->m_gameOverTimer, 89);
    EXPECT_TRUE(s.HasText("OVER"));
    s.Update();
    EXPECT_EQ(app->m_mode, MODE_TITLE);
    EXPECT_EQ(app->m_gameOverTimer, 73);

    s.Update(30);
    EXPECT_EQ(app->m_gameOverTimer, 73);
    EXPECT_FALSE(s.HasText("OVER"));
    EXPECT_TRUE(s.HasText("Game"));  // the template's title card

    // Back to the menu: the rest of the overlay is drawn there, 37 updates.
    s.KeyDown(GLFW_KEY_ESCAPE);
    s.Update();
    ASSERT_EQ(app->m_mode, MODE_MENU);
    s.KeyUp(GLFW_KEY_ESCAPE);
    int shown = 0;
    for (int i = 0; i < 60; ++i) {
        int before = app->m_gameOverTimer;
        s.Update();
        if (s.HasText("OVER")) {
            ++shown;
            EXPECT_EQ(app->m_gameOverTimer, std::max(before - 2, 0));
        }
    }
    EXPECT_EQ(shown, 37);
    EXPECT_EQ(app->m_gameOverTimer, 0);
    EXPECT_EQ(app->m_mode, MODE_MENU);
}
