// The game-over overlay's ranking: the ordinal told before and after the
// score is recorded at update 30, and Ridera Didud's team scores with no
// banner. (The hand-back to the title card is covered with the pause menu.)
#include "game/overlay_support.h"

namespace {

// Puts the app into a just-ended game without running a mini-game step.
void EndGame(c_MyApp* app, int game, int score, std::initializer_list<int> best) {
    app->m_game = game;
    app->m_mode = MODE_PLAYING;
    app->m_gameOver = 1;
    app->m_gameOverTimer = 0;
    app->m_score = score;
    app->m_scorePending = 1;  // as the game's set-up leaves it
    int base = 10 * (game - 1), i = 0;
    for (int k = 0; k < 10; ++k) app->m_scoreTable[base + k] = 0;
    for (int v : best) app->m_scoreTable[base + i++] = v;
}

}  // namespace

TEST(OverlayGameOver, RankingIsToldBeforeAndAfterRecording) {
    Scenario s;
    s.ToMenu();
    c_MyApp* app = s.App();

    // 300 on 500, 300, 300, 100: "2nd", stored behind both 300s.
    EndGame(app, 2, 300, {500, 300, 300, 100});
    for (int i = 0; i < 30; ++i) app->p_GameOver();
    EXPECT_TRUE(s.HasText("New Highscore"));
    EXPECT_TRUE(s.HasText("2nd"));
    EXPECT_EQ(app->m_scoreTable[13], 100);  // not yet recorded
    app->p_GameOver();
    const int expected[5] = {500, 300, 300, 300, 100};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(app->m_scoreTable[10 + i], expected[i]) << i;
    EXPECT_EQ(app->m_scoreTable[80], 300);  // newest recent score
    EXPECT_TRUE(s.HasText("2nd"));
    EXPECT_FALSE(s.StateText().empty());

    // 0 on zeros is first; equal to the tenth is tenth; below all ten is
    // not ranked (no banner) but still enters the recent list.
    EndGame(app, 3, 0, {});
    EXPECT_EQ(app->p_MyNth().ToUtf8(), "1st!");
    EndGame(app, 4, 10, {90, 80, 70, 60, 50, 40, 30, 20, 15, 10});
    EXPECT_EQ(app->p_MyNth().ToUtf8(), "10th");
    EXPECT_EQ(app->m_i, 10);
    EndGame(app, 4, 5, {90, 80, 70, 60, 50, 40, 30, 20, 15, 10});
    for (int i = 0; i < 31; ++i) app->p_GameOver();
    EXPECT_EQ(app->m_i, 0);
    EXPECT_TRUE(s.HasText("GAME"));
    EXPECT_FALSE(s.HasText("New Highscore"));
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
    EndGame(app, 7, 5, {});
    app->m_players[7] = 3;
    app->m_players[17] = 1;
    for (int i = 0; i < 40; ++i) app->p_GameOver();
    EXPECT_TRUE(s.HasText("Scores"));
    EXPECT_TRUE(s.HasText("3.0"));
    EXPECT_TRUE(s.HasText("1.0"));
    EXPECT_FALSE(s.HasText("New Highscore"));
    EXPECT_EQ(app->m_scoreTable[60], 5);  // recorded and ranked first,
    EXPECT_EQ(app->m_i, 1);               // but the banner is not shown
}
