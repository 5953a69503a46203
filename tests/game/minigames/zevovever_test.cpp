// Rev Urezov: one bomb at a time, one block per bomb, landing into a faster
// level and the crash into a block.
#include "support.h"

namespace {

float& Block(c_MyApp* app, int c, int r) { return app->m_objects[100 * r + c]; }

TEST(RevUrezov, BombsLandingAndCrash) {
    Scenario sc;
    c_MyApp* app = mg::Start(sc, 6);
    Array<float>& p = app->m_players;
    sc.KeyDown(GLFW_KEY_SPACE);
    sc.Update(6);
    sc.KeyUp(GLFW_KEY_SPACE);
    ASSERT_EQ(p[10], 1);
    float bombX = p[11];
    sc.Update();
    sc.Press(GLFW_KEY_SPACE);
    EXPECT_EQ(p[11], bombX) << "a second press while a bomb falls does nothing";

    // A bomb between two stacked blocks takes only the upper one.
    for (int i = 0; i < 700; ++i) app->m_objects[i] = 0;
    Block(app, 3, 5) = Block(app, 3, 6) = 1;
    p[11] = 16 * 3 + bb_Game_jscrw / 2 - 124;
    p[12] = 16 * 5 + bb_Game_jscrh - 128 + 8;
    mg::Sfx hit(app);
    sc.Update();
    EXPECT_EQ(Block(app, 3, 5), 2);
    EXPECT_EQ(Block(app, 3, 6), 1);
    EXPECT_EQ(p[10], 0);
    EXPECT_EQ(app->m_score, 1);
    EXPECT_EQ(hit.Played(), std::vector<int>{3});

    // With the city flat the plane glides down (not while paused), lands and
    // a faster level starts.
    Block(app, 3, 6) = 0;
    sc.Update(20);
    sc.Press(GLFW_KEY_ESCAPE);
    const float altitude = p[2];
    sc.Update(100);
    EXPECT_EQ(p[2], altitude);
    sc.Press(GLFW_KEY_ESCAPE);
    ASSERT_EQ(app->m_paused, 0);
    mg::Sfx land(app);
    for (int i = 0; i < 400 && p[4] == 1; ++i) sc.Update();
    ASSERT_EQ(p[4], 1.5f);
    EXPECT_EQ(p[3], 1.5f);
    EXPECT_EQ(p[2], 10);
    EXPECT_EQ(p[9], static_cast<int>(bb_Game_jscrh - 160)) << "the next crash test starts from the top";
    EXPECT_EQ(app->m_score, 1) << "the score carries over";
    EXPECT_EQ(land.Played(), std::vector<int>{1});
    for (int c = 0; c < 16; ++c) EXPECT_TRUE(Block(app, c, 5) == 1 && Block(app, c, 6) == 1) << "new towers";

    // Bombing nothing, the plane sinks pass by pass into a tower; in the
    // update of the crash neither the plane nor the falling bomb moves on.
    mg::Sfx crash(app);
    float x = 0;
    for (int i = 0; i < 8000 && app->m_gameOver == 0; ++i) {
        x = p[1];
        p[10] = 1, p[11] = -100, p[12] = 0, p[13] = 1;  // a bomb falling left of the city
        sc.Update();
    }
    ASSERT_EQ(app->m_gameOver, 1);
    EXPECT_EQ(crash.Played(), std::vector<int>{2});
    EXPECT_EQ(p[1], x) << "the plane stops";
    EXPECT_EQ(p[12], 0) << "the bomb stops";
    sc.Update(10);
    EXPECT_EQ(p[1], x);
}

}  // namespace
