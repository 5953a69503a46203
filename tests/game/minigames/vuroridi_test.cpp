// Vuror Idi: landing, jumping through watches, scoring and the end.
#include <cmath>

#include "support.h"

namespace {

// Puts Rared over watch i at the height the watch reaches in the next update.
void PlaceOver(c_MyApp* app, int i, float speed) {
    Array<float>& o = app->m_objects;
    app->m_players[1] = o[10 * i + 1] + 20;
    app->m_players[2] = std::sin((o[10 * i + 5] + o[10 * i + 6]) * D2R) * 64 + bb_Game_jscrh / 2;
    app->m_players[4] = speed;
}

TEST(VurorIdi, LandingJumpingScoringAndFallingOff) {
    Scenario sc;
    c_MyApp* app = mg::Start(sc, 1);
    Array<float>& p = app->m_players;
    mg::Sfx start(app);
    for (int i = 0; i < 120 && p[5] != 0; ++i) sc.Update();
    EXPECT_EQ(p[5], 0) << "Rared falls onto watch 0";
    EXPECT_EQ(app->m_score, 0);
    EXPECT_EQ(start.Count(99), 0);

    PlaceOver(app, 1, -7);
    sc.Update();
    EXPECT_EQ(p[5], -1) << "a jump passes up through a watch";
    PlaceOver(app, 3, 0);
    mg::Sfx further(app);
    sc.Update();
    EXPECT_EQ(app->m_score, 3);
    EXPECT_EQ(further.Played(), std::vector<int>{99});
    PlaceOver(app, 2, 0);
    mg::Sfx nearer(app);
    sc.Update();
    EXPECT_EQ(p[5], 2);
    EXPECT_EQ(app->m_score, 3);
    EXPECT_TRUE(nearer.Played().empty());
    EXPECT_FLOAT_EQ(app->m_camTargetX, app->m_objects[21] - 0.2f * bb_Game_jscrw) << "the camera follows";

    sc.KeyDown(GLFW_KEY_SPACE);
    int jumps = 0;
    for (int i = 0; i < 200; ++i, sc.Update()) jumps += p[4] == -7.0f;
    sc.KeyUp(GLFW_KEY_SPACE);
    EXPECT_GE(jumps, 4) << "a held button jumps again at each landing";

    mg::Sfx fall(app);
    sc.KeyDown(GLFW_KEY_LEFT);
    for (int i = 0; i < 400 && app->m_gameOver == 0; ++i) sc.Update();
    EXPECT_EQ(app->m_gameOver, 1);
    EXPECT_EQ(fall.Count(2), 1) << "the losing sound plays once";
}

}  // namespace
