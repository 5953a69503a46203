// Every game played from its title card to its end: the
// score is recorded and the title card returns. A screenshot of play is kept
// in the build folder (minigame-<n>.png).
#include <string>

#include "support.h"

namespace {

// One update of a simple player: keys or gamepad controls held or tapped per game.
void Drive(Scenario& sc, int game, int t) {
    const int left = GLFW_KEY_LEFT, right = GLFW_KEY_RIGHT, space = GLFW_KEY_SPACE;
    switch (game) {
        case 1: sc.KeyDown(space), sc.KeyDown(right); break;  // hop along
        case 2: sc.KeyUp(t % 2 ? left : right), sc.KeyDown(t % 2 ? right : left); break;  // waggle
        case 5: sc.KeyDown(GLFW_KEY_UP); break;  // full throttle
        case 6: sc.SetGamepad(0, {}, {t % 40 < 2}); break;  // a bomb now and then, button A
        case 7: sc.SetGamepad(0, {t % 200 < 100 ? 0.9f : 0.0f, 0}, {}); break;  // the left stick
    }
    sc.Update();
}

class PlayToTheEnd : public ::testing::TestWithParam<int> {};

TEST_P(PlayToTheEnd, RecordsTheScoreAndReturnsToTheTitleCard) {
    const int game = GetParam();
    Scenario sc;
    sc.FinishLoading();
    c_MyApp* app = sc.App();
    app->m_game = game;
    app->m_mode = MODE_ENTER_TITLE;
    for (int i = 0; i < 120 && app->m_titleTimer < 100; ++i) sc.Step();
    sc.Step();
    ASSERT_TRUE(sc.HasText("Best Scores"));
    sc.Press(GLFW_KEY_SPACE);
    ASSERT_EQ(app->m_mode, MODE_PLAYING);

    int t = 0;
    for (; t < 12000 && app->m_gameOver == 0; ++t) {
        Drive(sc, game, t);
        if (t == 60) {
            EXPECT_TRUE(sc.HasText("0000")) << "the score bar shows";
            sc.Screenshot(std::string(KQ_BINARY_DIR) + "/minigame-" + std::to_string(game) + ".png");
        }
    }
    for (int key : {GLFW_KEY_SPACE, GLFW_KEY_RIGHT, GLFW_KEY_LEFT, GLFW_KEY_UP}) sc.KeyUp(key);
    sc.ClearJoystick(0);
    ASSERT_EQ(app->m_gameOver, 1) << "the game ends";
    EXPECT_TRUE(game != 7 || t == 3601) << "a match lasts 3601 updates";

    bool over = false, goals = false;
    for (int i = 0; i < 200 && app->m_mode == MODE_PLAYING; ++i, sc.Update()) {
        over |= sc.HasText("GAME") && sc.HasText("OVER");
        goals |= sc.HasText("Scores") && sc.HasText(std::string(String(app->m_players[7]).ToUtf8()));
    }
    EXPECT_TRUE(over);
    EXPECT_EQ(goals, game == 7) << "the goal counts show for the ball game only";
    ASSERT_EQ(app->m_mode, MODE_TITLE);
    sc.Update();
    EXPECT_TRUE(sc.HasText("Best Scores"));
    EXPECT_EQ(app->m_scoreTable[10 * (game - 1) + 70], app->m_score) << "the newest recent score";
    EXPECT_TRUE(app->m_score == 0 || app->m_scoreTable[10 * (game - 1)] == app->m_score) << "the best score";
    EXPECT_TRUE(sc.HaveStateFile());
}

INSTANTIATE_TEST_SUITE_P(AllGames, PlayToTheEnd, ::testing::Range(1, 8));

}  // namespace
