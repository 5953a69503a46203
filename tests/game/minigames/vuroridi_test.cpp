// Vuror Idi: gravity, landing (never on the way up), scoring only further
// watches, a held button jumping at each landing, and falling off the end.
#include <algorithm>
#include <cmath>

#include "support.h"

TEST(VurorIdi, GravityLandingScoringJumpsAndFallingOff) {
    Scenario sc;
    c_MyApp* app = mg::Start(sc, 1);
    Array<float>& p = app->m_players;
    Array<float>& o = app->m_objects;
    // Puts Rared over watch i at the height the watch reaches in the next update.
    auto placeOver = [&](int i, float speed) {
        p[1] = o[10 * i + 1] + 20, p[4] = speed;
        p[2] = std::sin((o[10 * i + 5] + o[10 * i + 6]) * D2R) * 64 + bb_Game_jscrh / 2;
        sc.Update();
    };
    sc.Update(60);
    EXPECT_TRUE(p[5] == 0 && app->m_score == 0 && app->m_sfxPlays[99] == 0)
        << "Rared falls onto watch 0, scoring nothing";
    std::vector<Scenario::Record> list = sc.Records();
    auto watch0 =
        std::find_if(list.begin(), list.end(), [](const Scenario::Record& r) { return r.kind == 1 && r.frame == 0; });
    EXPECT_TRUE(watch0 != list.end() && watch0->r == 255 && watch0->b == 255) << "the starting watch is white";
    p[2] = -50, p[4] = 0;  // high above the watches
    sc.Update(2);
    EXPECT_TRUE(p[2] == -49.6f && p[4] == 0.8f) << "falling 0.4 faster each update: " << p[2] << ", " << p[4];

    placeOver(1, -7);
    EXPECT_EQ(p[5], -1) << "a jump passes up through a watch";
    placeOver(3, 0);
    EXPECT_TRUE(app->m_score == 3 && app->m_sfxPlays[99] == 1);
    placeOver(2, 0);
    EXPECT_TRUE(p[5] == 2 && app->m_score == 3 && app->m_sfxPlays[99] == 1) << "a nearer watch scores nothing";
    EXPECT_FLOAT_EQ(app->m_camTargetX, o[21] - 0.2f * bb_Game_jscrw) << "the camera follows";

    sc.KeyDown(GLFW_KEY_SPACE);
    int jumps = 0;
    for (int i = 0; i < 200; ++i, sc.Update()) jumps += p[4] == -7.0f;
    sc.KeyUp(GLFW_KEY_SPACE);
    EXPECT_GE(jumps, 4) << "a held button jumps again at each landing";
    for (const Scenario::Record& r : sc.Records())  // stars the camera passed came round again
        if (r.kind == 96) {
            EXPECT_TRUE(r.x >= -16 && r.x <= bb_Game_jscrw + 16) << r.x;
        }
    sc.KeyDown(GLFW_KEY_LEFT);
    for (int i = 0; i < 400 && app->m_gameOver == 0; ++i) sc.Update();
    sc.Update(5);
    EXPECT_TRUE(app->m_gameOver == 1 && app->m_sfxPlays[2] == 1) << "off the screen: the end, with one losing sound";
}
