// Ridera Didud: kicks, goals for each side, the ball's return to the centre
// and a score that never goes below 0.
#include "support.h"

namespace {

enum { PLAYER = 0, ENEMY = 10, BALL = 20 };

void Put(c_MyApp* app, int body, float x, float y) {
    float* b = &app->m_players[body];
    b[1] = x;
    b[2] = y;
    b[3] = b[4] = 0;
}

TEST(RideraDidud, KicksGoalsAndTheBallsReturn) {
    Scenario sc;
    c_MyApp* app = mg::Start(sc, 7);
    Array<float>& p = app->m_players;
    const float w = bb_Game_jscrw, h = bb_Game_jscrh;
    Put(app, PLAYER, 100, 150);
    Put(app, ENEMY, w - 8, 48);
    Put(app, BALL, 110, 150);
    sc.Update();
    EXPECT_FLOAT_EQ(p[BALL + 3], 5 - 0.2f) << "kicked at half the distance, less friction";
    EXPECT_EQ(p[25], 1);

    // Scoring moves the goal, not the ball.
    Put(app, PLAYER, 8, h - 8);
    Put(app, BALL, p[31] + 10, p[32]);
    float gx = p[31];
    mg::Sfx own(app);
    sc.Update();
    EXPECT_EQ(p[7], 1);
    EXPECT_EQ(own.Played(), std::vector<int>{1});
    EXPECT_EQ(p[BALL + 1], gx + 10);
    p[25] = 2;
    for (int goals = 0; goals < 3; ++goals) {
        Put(app, BALL, p[31], p[32]);
        sc.Update();
    }
    EXPECT_EQ(p[17], 3);
    EXPECT_EQ(app->m_score, 0) << "never below 0";
    EXPECT_TRUE(sc.HasText("1.0 - 59 - 3.0"));

    // After 101 kicks the ball goes back to the centre, still and untouched.
    mg::Start(sc, 7);
    int updates = 0;
    for (; updates < 150 && (p[25] != 0 || updates == 0); ++updates) {
        Put(app, BALL, p[PLAYER + 1] + 4, p[PLAYER + 2]);
        Put(app, ENEMY, w - 8, 48);
        sc.Update();
    }
    EXPECT_EQ(updates, 102);
    EXPECT_EQ(p[BALL + 1], w / 2);
    EXPECT_EQ(p[26], 100);
}

}  // namespace
