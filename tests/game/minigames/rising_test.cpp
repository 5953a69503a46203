// Zuzo Variru: waggle speed, its cap and decay, passing the dead and the
// narrow window in which a rising dead touches the runner.
#include "support.h"

TEST(ZuzoVariru, WaggleSpeedPassingAndTheRisingDead) {
    Scenario sc;
    c_MyApp* app = mg::Start(sc, 2);
    Array<float>& p = app->m_players;
    Array<float>& o = app->m_objects;
    sc.Press(GLFW_KEY_RIGHT, 6);
    EXPECT_NEAR(p[6], 3 - 7 * 0.3f, 1e-5f) << "holding one side gives one step";
    float top = 0;
    for (int i = 0; i < 16; ++i, top = std::max(top, p[6])) {  // a gamepad stick waggled side to side
        sc.SetJoystick(0, {i % 2 ? 0.9f : -0.9f, 0}, {});
        sc.Update();
    }
    sc.ClearJoystick(0);
    EXPECT_TRUE(top <= 16 && p[6] == 15.7f) << top << ", " << p[6];
    p[6] = 1;
    sc.Update(5);
    EXPECT_EQ(p[6], 0) << "speed decays by 0.3 to 0, never below";

    mg::Start(sc, 2);
    p[1] = 17;  // just past the first group at x 0; dead 0 never counts
    sc.Update();
    EXPECT_TRUE(app->m_score == 3 && app->m_sfxPlays[99] == 3);

    // Dead 8 to 11 stand at one x; dead 8 rises through the runner's height,
    // first 12 pixels to the side (no touch), then 4 (the end).
    const float runnerY = 0.75f * bb_Game_jscrh - 8;
    for (int dx : {12, 4}) {
        for (int i = 8; i < 12; ++i) o[10 * i + 2] = i == 8 ? runnerY + 2 : -20;
        p[1] = o[81] + dx, p[6] = 0;
        sc.Update();
        EXPECT_EQ(app->m_gameOver, dx == 4) << dx;
    }
    const float x = p[1];
    p[6] = 10;
    sc.Update(5);
    EXPECT_TRUE(p[1] == x && app->m_sfxPlays[2] == 1) << "the runner stops at the end, with one losing sound";
}
