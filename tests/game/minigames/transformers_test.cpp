// Zizarevizovu: the controls (rows, voltage wrap, the switch on A and B),
// staggered first devices, the speed ramp and the end on a mismatch.
#include "support.h"

TEST(Zizarevizovu, ControlsArrivalsRampAndMismatch) {
    Scenario sc;
    c_MyApp* app = mg::Start(sc, 3);
    Array<float>& p = app->m_players;
    Array<float>& o = app->m_objects;
    auto matchRow = [&](int r) { p[10 * r] = o[10 * r], p[10 * r + 1] = o[10 * r + 1]; };
    for (int r = 0; r < 5; ++r) EXPECT_EQ(o[10 * r + 2], bb_Game_jscrw + 240 * r) << "staggered row " << r;
    sc.Press(GLFW_KEY_LEFT, 5);
    const Scenario::TextRun* label = sc.FindText("12v");
    const float row0 = static_cast<float>(static_cast<int>(bb_Game_jscrh / 2 - 64));
    EXPECT_TRUE(p[0] == 6 && label && label->x == 32 && label->y == row0 + 4)
        << "held left steps once, 3v round to 12v";
    sc.Press(GLFW_KEY_RIGHT);
    EXPECT_EQ(p[0], 1);
    sc.Press(GLFW_KEY_X);  // B
    EXPECT_EQ(p[1], 1);
    sc.Press(GLFW_KEY_Z);  // A
    EXPECT_EQ(p[1], 0);
    sc.Press(GLFW_KEY_DOWN);
    sc.Press(GLFW_KEY_X);
    EXPECT_TRUE(p[2] == 1 && p[11] == 1) << "the switch of the selected row";

    // Matched devices score; new ones come faster, up to 2.0 after 65 or 66.
    int capped = -1;
    for (int n = 1; n <= 70; ++n) {
        matchRow(0);
        o[2] = 33.2f;
        sc.Update();
        EXPECT_TRUE(o[3] >= 0.6f && o[3] <= p[5]);
        if (capped < 0 && p[5] == 2.0f) capped = n;
    }
    EXPECT_TRUE((capped == 65 || capped == 66) && app->m_score == 70) << capped;

    // Row 1 fails; row 2, set right and due in the same update, stands still.
    matchRow(1), matchRow(2);
    p[11] = 1 - p[11];
    o[12] = o[22] = 33.5f;
    sc.Update();
    EXPECT_TRUE(app->m_gameOver == 1 && o[22] == 33.5f);
    std::vector<float> devices(&o[0], &o[50]);
    sc.Press(GLFW_KEY_DOWN);
    sc.Update(20);
    EXPECT_EQ(std::vector<float>(&o[0], &o[50]), devices) << "every device stands still";
    EXPECT_TRUE(p[2] == 1 && app->m_score == 70) << "the controls are ignored";
    EXPECT_TRUE(app->m_sfxPlays[1] == 70 && app->m_sfxPlays[2] == 1);
}
