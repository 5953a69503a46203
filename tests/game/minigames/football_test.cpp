// Ridera Didud: kicks, the enemy's pace and steering, walls, goals for each
// side, a score never below 0 and the ball's return to the centre.
#include "support.h"

TEST(RideraDidud, KicksTheEnemyWallsGoalsAndTheBallsReturn) {
    Scenario sc;
    c_MyApp* app = mg::Start(sc, 7);
    Array<float>& p = app->m_players;
    const float w = bb_Game_jscrw, h = bb_Game_jscrh;
    enum { PLAYER = 0, ENEMY = 10, BALL = 20 };
    auto put = [&](int body, float x, float y, float vx = 0, float vy = 0) {
        p[body + 1] = x, p[body + 2] = y, p[body + 3] = vx, p[body + 4] = vy;
    };
    p[31] = w - 40, p[32] = 60;  // the goal, out of the way
    put(PLAYER, 100, 150);
    put(ENEMY, w - 100, 150, 8, 0);
    put(BALL, 110, 150);
    sc.Update();
    EXPECT_TRUE(p[BALL + 3] == 5 - 0.2f && p[25] == 1) << "kicked at half the distance, less friction";
    EXPECT_EQ(p[ENEMY + 1], w - 96) << "the enemy covers half its velocity";

    // The enemy heads 3 pixels to the side of the ball away from the goal.
    for (float goalX : {w - 40, 40.0f}) {
        p[31] = goalX;
        put(ENEMY, 201, 240);
        put(BALL, 200, 200);
        sc.Update();
        EXPECT_EQ(p[ENEMY + 3], goalX > 201 ? 0.25f : -0.25f) << goalX;
    }

    // Each wall turns a body back with the speed it came in with.
    const float walls[4][4] = {{9, 150, -8, 0}, {w - 9, 150, 8, 0}, {150, 49, 0, -8}, {150, h - 9, 0, 8}};
    for (const auto& t : walls) {
        put(PLAYER, t[0], t[1], t[2], t[3]);
        sc.Update();
        EXPECT_NEAR(p[PLAYER + 3], -0.975f * t[2], 1e-4f) << t[0] << "," << t[1];
        EXPECT_NEAR(p[PLAYER + 4], -0.975f * t[3], 1e-4f) << t[0] << "," << t[1];
    }

    // Scoring moves the goal, not the ball, and counts for the last toucher.
    put(PLAYER, 8, h - 8);
    put(ENEMY, w - 8, 48);
    const float ballX = p[31] + 20;
    put(BALL, ballX, p[32]);
    p[25] = 1;
    sc.Update();
    EXPECT_TRUE(p[7] == 1 && app->m_sfxPlays[1] == 1 && p[BALL + 1] == ballX);
    p[25] = 2;
    for (int goals = 0; goals < 3; ++goals) {
        put(BALL, p[31], p[32]);
        sc.Update();
    }
    EXPECT_TRUE(p[17] == 3 && app->m_sfxPlays[2] == 3 && app->m_score == 0) << "never below 0";
    EXPECT_TRUE(sc.HasText("1.0 - 59 - 3.0"));

    // After 101 kicks the ball goes back to the centre, still and untouched.
    mg::Start(sc, 7);
    int updates = 0;
    for (; updates < 150 && (p[25] != 0 || updates == 0); ++updates) {
        put(BALL, p[PLAYER + 1] + 4, p[PLAYER + 2]);
        put(ENEMY, w - 8, 48);
        sc.Update();
    }
    EXPECT_TRUE(updates == 102 && p[BALL + 1] == w / 2 && p[26] == 100) << updates;
}
