// Every game played from its title card to its end (the score is recorded
// and the title card returns), and every game under the pause: a press on the
// pause icon pauses and is not also a game input, and a paused game stands
// still whatever the player presses.
#include <string>
#include <vector>

#include "support.h"

namespace {

// One update of a simple player: keys or gamepad controls held or tapped per game.
void Drive(Scenario& sc, int game, int t) {
    const int left = GLFW_KEY_LEFT, right = GLFW_KEY_RIGHT, space = GLFW_KEY_SPACE;
    switch (game) {
        case 1: sc.KeyDown(space), sc.KeyDown(right); break;                              // hop along
        case 2: sc.KeyUp(t % 2 ? left : right), sc.KeyDown(t % 2 ? right : left); break;  // waggle
        case 5: sc.KeyDown(GLFW_KEY_UP); break;                                           // full throttle
        case 6: sc.SetGamepad(0, {}, {t % 40 < 2}); break;                      // a bomb now and then, button A
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
    for (; t < 12000 && app->m_gameOver == 0; ++t) Drive(sc, game, t);
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

// The game's whole state: both record arrays, then score, end flag and camera.
std::vector<float> Snap(c_MyApp* app) {
    std::vector<float> s(app->m_players.Data(), app->m_players.Data() + app->m_players.Length());
    s.insert(s.end(), app->m_objects.Data(), app->m_objects.Data() + app->m_objects.Length());
    s.insert(s.end(),
             {static_cast<float>(app->m_score), static_cast<float>(app->m_gameOver), app->m_camX, app->m_camY});
    return s;
}

enum Press { NOTHING, MOUSE, FINGER };

// Plays `game` a little (a key that sets it in motion, then nothing), then
// runs one update in which the pointer goes down on the pause icon, or not.
std::vector<float> PlayThenPress(Scenario& sc, int game, Press press) {
    c_MyApp* app = mg::Start(sc, game);
    const int key = game == 5 ? GLFW_KEY_UP : (game == 2 || game == 3 || game == 7) ? GLFW_KEY_RIGHT : 0;
    if (key) sc.KeyDown(key);
    sc.Update(60);
    if (key) sc.KeyUp(key);
    sc.Update(30);
    if (press == MOUSE) sc.MoveToVirtual(16, 16), sc.MouseDown();
    if (press == FINGER) sc.TouchDown(0, 16 * app->m_scaleX, 16 * app->m_scaleY);
    sc.Update();
    return Snap(app);
}

class UnderThePause : public ::testing::TestWithParam<int> {};

TEST_P(UnderThePause, ThePauseIconOnlyPausesAndThePausedGameStandsStill) {
    const int game = GetParam();
    std::vector<float> unpressed;
    {
        Scenario sc;
        unpressed = PlayThenPress(sc, game, NOTHING);
        ASSERT_EQ(sc.App()->m_gameOver, 0);
    }
    {
        Scenario sc;
        EXPECT_TRUE(PlayThenPress(sc, game, FINGER) == unpressed && sc.App()->m_paused == 1)
            << "a finger on the icon played";
    }
    Scenario sc;
    const std::vector<float> paused = PlayThenPress(sc, game, MOUSE);
    EXPECT_TRUE(paused == unpressed) << "a click on the icon played";
    ASSERT_EQ(sc.App()->m_paused, 1);

    // Controls every game reads, none of which leaves the pause menu, then a
    // drag on the free right half of the screen, then a long wait.
    sc.MouseUp();
    sc.Update(5);
    sc.Press(GLFW_KEY_X, 10);
    sc.Press(GLFW_KEY_RIGHT, 30);
    sc.MoveToVirtual(0.8f * bb_Game_jscrw, 0.9f * bb_Game_jscrh);
    sc.MouseDown();
    sc.Update(10);
    sc.MoveToVirtual(0.9f * bb_Game_jscrw, 0.9f * bb_Game_jscrh);
    sc.Update(10);
    sc.MouseUp();
    sc.Update(250);
    ASSERT_EQ(sc.App()->m_paused, 1);
    EXPECT_TRUE(Snap(sc.App()) == paused) << "the paused game moved";
}

INSTANTIATE_TEST_SUITE_P(AllGames, UnderThePause, ::testing::Range(1, 8));

}  // namespace
