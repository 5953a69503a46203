// Every game under the pause: a press on the pause icon pauses and is not
// also a game input (mouse or finger), and while paused nothing of the game
// moves, whatever the player presses.
#include <sstream>
#include <string>

#include "support.h"

namespace {

struct GameState {
    std::vector<float> players, objects;
    int score, gameOver;
    float camX, camY;
};

GameState Snap(c_MyApp* app) {
    const Array<float>& p = app->m_players;
    const Array<float>& o = app->m_objects;
    return {std::vector<float>(p.Data(), p.Data() + p.Length()), std::vector<float>(o.Data(), o.Data() + o.Length()),
            app->m_score, app->m_gameOver, app->m_camX, app->m_camY};
}

// The first difference between two states, or "" when they are equal.
std::string Diff(const GameState& a, const GameState& b) {
    std::ostringstream out;
    for (size_t i = 0; i < a.players.size(); ++i)
        if (a.players[i] != b.players[i]) out << "players[" << i << "] " << a.players[i] << " -> " << b.players[i] << " ";
    for (size_t i = 0; i < a.objects.size() && out.tellp() < 200; ++i)
        if (a.objects[i] != b.objects[i]) out << "objects[" << i << "] " << a.objects[i] << " -> " << b.objects[i] << " ";
    if (a.score != b.score) out << "score " << a.score << " -> " << b.score << " ";
    if (a.gameOver != b.gameOver) out << "game over " << a.gameOver << " -> " << b.gameOver << " ";
    if (a.camX != b.camX || a.camY != b.camY) out << "camera moved";
    return out.str();
}

enum Press { NOTHING, MOUSE, FINGER };

// Plays `game` a little (a key that sets it in motion, then nothing), then
// runs one update in which the pointer goes down on the pause icon, or not.
GameState PlayThenPress(Scenario& sc, int game, Press press) {
    c_MyApp* app = mg::Start(sc, game);
    const int key = game == 5 ? GLFW_KEY_UP : (game == 2 || game == 3 || game == 7) ? GLFW_KEY_RIGHT : 0;
    if (key) sc.KeyDown(key);
    sc.Update(60);
    if (key) sc.KeyUp(key);
    sc.Update(30);
    if (press == MOUSE) {
        sc.MoveToVirtual(16, 16);
        sc.MouseDown();
    } else if (press == FINGER) {
        sc.TouchDown(0, 16 * app->m_scaleX, 16 * app->m_scaleY);
    }
    sc.Update();
    return Snap(app);
}

class UnderThePause : public ::testing::TestWithParam<int> {};

TEST_P(UnderThePause, ThePauseIconOnlyPausesAndThePausedGameStandsStill) {
    const int game = GetParam();
    GameState unpressed;
    {
        Scenario sc;
        unpressed = PlayThenPress(sc, game, NOTHING);
        ASSERT_EQ(sc.App()->m_gameOver, 0);
    }
    {
        Scenario sc;
        EXPECT_EQ(Diff(unpressed, PlayThenPress(sc, game, FINGER)), "") << "a finger on the icon played";
        EXPECT_EQ(sc.App()->m_paused, 1);
    }
    Scenario sc;
    const GameState paused = PlayThenPress(sc, game, MOUSE);
    EXPECT_EQ(Diff(unpressed, paused), "") << "a click on the icon played";
    c_MyApp* app = sc.App();
    ASSERT_EQ(app->m_paused, 1);

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
    ASSERT_EQ(app->m_paused, 1);
    EXPECT_EQ(Diff(paused, Snap(app)), "");
}

INSTANTIATE_TEST_SUITE_P(AllGames, UnderThePause, ::testing::Range(1, 8));

}  // namespace
