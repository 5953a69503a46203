// Duze zuz Izora: the same road every game, the straight start, off-road
// damage, the end with the HUD shown and the first row's missing kerbs.
#include "support.h"

namespace {

// Row centres laid in a fresh game at full throttle with the car on the road.
std::vector<float> DriveAndRecordRoad(Scenario& sc) {
    c_MyApp* app = mg::Start(sc, 5);
    std::vector<float> laid;
    sc.KeyDown(GLFW_KEY_UP);
    for (int i = 0, score = 0; i < 600; ++i, score = app->m_score) {
        app->m_players[1] = app->m_objects[22];
        sc.Update();
        if (app->m_score != score) laid.push_back(app->m_objects[0]);
    }
    sc.KeyUp(GLFW_KEY_UP);
    return laid;
}

TEST(DuzeZuzIzora, RoadDamageEndAndPlainFirstRow) {
    Scenario sc;
    c_MyApp* app = mg::Start(sc, 5);
    Array<float>& p = app->m_players;
    for (int j = 0; j <= 50; ++j) EXPECT_EQ(app->m_objects[j], bb_Game_jscrw / 2) << "straight, centred row " << j;
    std::vector<float> first = DriveAndRecordRoad(sc);
    ASSERT_GT(first.size(), 200u);
    EXPECT_EQ(first, DriveAndRecordRoad(sc));
    EXPECT_NE(*std::min_element(first.begin(), first.end()), *std::max_element(first.begin(), first.end()));

    mg::Start(sc, 5);
    mg::Sfx sfx(app);
    sc.Update();
    EXPECT_EQ(p[5], 100) << "on the road";
    p[1] = 10;
    sc.Update();
    EXPECT_TRUE(p[5] == 97 || p[5] == 98) << p[5];
    EXPECT_EQ(sfx.Count(3), static_cast<int>(100 - p[5]));
    p[5] = 0.5f;
    app->m_hideHud = 1;
    sc.Update(3);
    EXPECT_EQ(app->m_gameOver, 0) << "no end below 0 while the HUD is hidden";
    app->m_hideHud = 0;
    sc.Update();
    EXPECT_EQ(app->m_gameOver, 1);
    EXPECT_EQ(sfx.Count(2), 1);
    EXPECT_TRUE(sc.HasText("Health : 000%"));

    mg::Start(sc, 5);
    ASSERT_EQ(app->m_objects[150], 180);
    bb_Game_jscrh = 700;  // tall enough to show row 50
    sc.Update();
    int kerbs = 0, plain = 0;
    for (const Scenario::Record& r : sc.Records()) {
        if (r.kind == 1 && r.frame != 64) kerbs += r.frame == 68 || r.frame == 69 ? 1 : 1000;
        plain += r.kind == KIND_RECT && r.y == 12 * 50 - 30 && r.r == 128 && r.b == 128;
    }
    EXPECT_EQ(kerbs, 2 * 50) << "kerbs on every row but the first laid";
    EXPECT_EQ(plain, 1);
}

}  // namespace
