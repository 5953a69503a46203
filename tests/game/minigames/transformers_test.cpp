// Zizarevizovu: the voltage wrap, staggered arrivals, the speed ramp and the
// end on a mismatch.
#include "support.h"

namespace {

// Sets the transformer of row r to what its device needs.
void MatchRow(c_MyApp* app, int r) {
    app->m_players[10 * r] = app->m_objects[10 * r];
    app->m_players[10 * r + 1] = app->m_objects[10 * r + 1];
}

TEST(Zizarevizovu, WrapArrivalsRampAndMismatch) {
    Scenario sc;
    c_MyApp* app = mg::Start(sc, 3);
    Array<float>& p = app->m_players;
    Array<float>& o = app->m_objects;
    const float row0 = static_cast<float>(static_cast<int>(bb_Game_jscrh / 2 - 64));

    sc.Press(GLFW_KEY_LEFT, 5);
    EXPECT_EQ(p[0], 6) << "held left steps once, from 3v round to 12v";
    const Scenario::TextRun* label = sc.FindText("12v");
    ASSERT_TRUE(label && label->x == 32 && label->y == row0 + 4);
    sc.Press(GLFW_KEY_RIGHT);
    EXPECT_EQ(p[0], 1);

    // With every row matched, each device's first arrival comes after
    // (jscrw + 240 r - 33) / 0.7 updates and scores.
    mg::Start(sc, 3);
    std::vector<int> first(5, -1);
    int arrivals = 0;
    for (int t = 1; t <= 1900; ++t) {
        float before[5];
        for (int r = 0; r < 5; ++r) MatchRow(app, r), before[r] = o[10 * r + 2];
        sc.Update();
        for (int r = 0; r < 5; ++r) {
            if (o[10 * r + 2] <= before[r]) continue;
            ++arrivals;
            if (first[r] < 0) first[r] = t;
            EXPECT_TRUE(o[10 * r + 3] >= 0.6f && o[10 * r + 3] <= p[5]);
        }
    }
    for (int r = 0; r < 5; ++r) EXPECT_NEAR(first[r], (bb_Game_jscrw + 240 * r - 33) / 0.7f, 2) << "row " << r;
    EXPECT_EQ(app->m_score, arrivals);

    mg::Start(sc, 3);
    int capped = -1;
    for (int n = 1; n <= 70; ++n) {
        MatchRow(app, 0);
        o[2] = 33.2f;
        sc.Update();
        if (capped < 0 && p[5] == 2.0f) capped = n;
    }
    EXPECT_TRUE(capped == 65 || capped == 66) << capped;

    // Row 1 fails; row 2, set right and due in the same update, stands still.
    mg::Sfx sfx(app);
    MatchRow(app, 1);
    p[11] = 1 - p[11];
    o[12] = 33.5f;
    MatchRow(app, 2);
    o[22] = 33.5f;
    sc.Update();
    EXPECT_EQ(app->m_gameOver, 1);
    EXPECT_EQ(app->m_score, 70);
    EXPECT_EQ(o[22], 33.5f);
    std::vector<float> xs(&o[0], &o[50]);
    sc.Press(GLFW_KEY_DOWN);
    sc.Update(20);
    EXPECT_EQ(std::vector<float>(&o[0], &o[50]), xs) << "every device stands still";
    EXPECT_EQ(p[2], 0) << "the controls are ignored";
    EXPECT_EQ(sfx.Played(), std::vector<int>{2});
}

}  // namespace
