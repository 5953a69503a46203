// Rev Urezov: one bomb at a time, its fall speed limit, one block per bomb,
// landing into a faster level, the crash margins and the stop at the crash.
#include "support.h"

TEST(RevUrezov, BombsLandingCrashMarginsAndTheStop) {
    Scenario sc;
    c_MyApp* app = mg::Start(sc, 6);
    Array<float>& p = app->m_players;
    Array<float>& o = app->m_objects;
    const float x3 = 16 * 3 + bb_Game_jscrw / 2 - 124, y6 = 16 * 6 + bb_Game_jscrh - 128;  // block (3, 6)
    auto flatCity = [&] {
        for (int i = 0; i < 700; ++i) o[i] = 0;
    };
    sc.Press(GLFW_KEY_SPACE, 6);
    const float bombX = p[11];
    sc.Press(GLFW_KEY_SPACE);
    EXPECT_TRUE(p[10] == 1 && p[11] == bombX) << "a second press while a bomb falls does nothing";

    // A bomb left of the city falls ever faster, but not above 3 per update.
    p[11] = -100, p[12] = 0, p[13] = 0;
    float fastest = 0;
    for (int i = 0; i < 200 && p[10] == 1; ++i, fastest = std::max(fastest, p[13])) sc.Update();
    EXPECT_TRUE(p[10] == 0 && fastest > 2.9f && fastest < 3.11f) << fastest;

    // A bomb between two stacked blocks takes only the upper one.
    flatCity();
    o[503] = o[603] = 1;
    p[10] = 1, p[11] = x3, p[12] = y6 - 8, p[13] = 0;
    sc.Update();
    EXPECT_TRUE(o[503] == 2 && o[603] == 1 && p[10] == 0 && app->m_score == 1 && app->m_sfxPlays[3] == 2);

    // With the city flat the plane glides down (not while paused), lands and
    // a faster level starts over new towers.
    o[603] = 0;
    sc.Update(20);
    sc.Press(GLFW_KEY_ESCAPE);
    const float altitude = p[2];
    sc.Update(100);
    EXPECT_EQ(p[2], altitude);
    sc.Press(GLFW_KEY_ESCAPE);
    for (int i = 0; i < 400 && p[4] == 1; ++i) sc.Update();
    EXPECT_TRUE(p[4] == 1.5f && p[3] == 1.5f && p[2] == 10 && app->m_score == 1 && app->m_sfxPlays[1] == 1);
    EXPECT_EQ(p[9], static_cast<int>(bb_Game_jscrh - 160)) << "the next crash test starts from the top";
    for (int c = 0; c < 16; ++c) EXPECT_TRUE(o[500 + c] == 1 && o[600 + c] == 1) << "new towers";

    // The crash test takes the plane's last position: 24 pixels apart across
    // and 12 up or down miss, 20 and 10 crash; from that update on neither
    // the plane nor a falling bomb moves.
    flatCity();
    o[603] = o[10] = 1;
    for (float d : {24.0f, 20.0f}) {
        const float x = p[1];
        p[8] = x3 - d, p[9] = y6 + d / 2;
        p[10] = 1, p[11] = -100, p[12] = 0, p[13] = 1;
        sc.Update(d == 20 ? 5 : 1);
        EXPECT_EQ(app->m_gameOver, d == 20) << d;
        EXPECT_EQ(p[1] == x && p[12] == 0, d == 20) << d;
    }
    EXPECT_EQ(app->m_sfxPlays[2], 1);
}
