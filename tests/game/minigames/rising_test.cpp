// Zuzo Variru: waggle speed, its cap and decay, passing and touching the dead.
#include "support.h"

namespace {

TEST(ZuzoVariru, WaggleSpeedPassingAndTheRisingDead) {
    Scenario sc;
    c_MyApp* app = mg::Start(sc, 2);
    Array<float>& p = app->m_players;
    Array<float>& o = app->m_objects;

    sc.KeyDown(GLFW_KEY_RIGHT);
    sc.Update(6);
    sc.KeyUp(GLFW_KEY_RIGHT);
    EXPECT_FLOAT_EQ(p[6], 3 - 6 * 0.3f) << "holding one side gives one step";
    float top = 0;
    for (int i = 0; i < 16; ++i) {  // a gamepad stick waggled side to side
        sc.SetJoystick(0, {i % 2 ? 0.9f : -0.9f, 0}, {});
        sc.Update();
        top = std::max(top, p[6]);
    }
    sc.ClearJoystick(0);
    EXPECT_LE(top, 16);
    EXPECT_FLOAT_EQ(p[6], 15.7f);
    p[6] = 1;
    sc.Update(5);
    EXPECT_EQ(p[6], 0) << "speed decays by 0.3 to 0, never below";

    mg::Start(sc, 2);
    mg::Sfx passing(app);
    p[1] = 17;  // just past the first group at x 0; dead 0 never counts
    sc.Update();
    EXPECT_EQ(app->m_score, 3);
    EXPECT_EQ(passing.Played(), (std::vector<int>{99, 99, 99}));

    mg::Start(sc, 2);
    mg::Sfx touch(app);
    p[1] = o[81] + 4;  // beside dead 8, which rises into the runner
    o[82] = 0.75f * bb_Game_jscrh - 8 + 2;
    p[6] = 10;
    sc.Update();
    EXPECT_EQ(app->m_gameOver, 1);
    EXPECT_EQ(touch.Count(2), 1);
    const float x = p[1];
    sc.Update(5);
    EXPECT_EQ(p[1], x) << "the runner stops once the game is over";
}

}  // namespace
