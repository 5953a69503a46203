// Duze zuz Izora: the same road every game, the straight start, off-road
// damage at the road's edge, the end with the HUD shown, the steering limit
// and the first row's missing kerbs.
#include "support.h"

TEST(DuzeZuzIzora, RoadDamageEndSteeringAndPlainFirstRow) {
    Scenario sc;
    c_MyApp* app = mg::Start(sc, 5);
    Array<float>& p = app->m_players;
    Array<float>& o = app->m_objects;
    for (int j = 0; j <= 50; ++j) EXPECT_EQ(o[j], bb_Game_jscrw / 2) << "straight, centred row " << j;
    auto road = [&] {  // the centres of 300 rows laid in a fresh game
        std::vector<float> centres;
        for (mg::Start(sc, 5); centres.size() < 300; centres.push_back(o[0])) app->p_ZUR_Lay();
        return centres;
    };
    const std::vector<float> first = road();
    EXPECT_TRUE(first == road() &&
                *std::min_element(first.begin(), first.end()) != *std::max_element(first.begin(), first.end()))
        << "the same winding road";

    mg::Start(sc, 5);
    sc.Update();
    EXPECT_EQ(p[5], 100) << "on the road";
    const int scrapes = app->m_sfxPlays[3];
    p[1] = bb_Game_jscrw / 2 - 60;  // 8 pixels left of the road
    sc.Update();
    EXPECT_TRUE((p[5] == 97 || p[5] == 98) && app->m_sfxPlays[3] - scrapes == 100 - p[5]) << p[5];
    p[5] = 0.5f;
    app->m_hideHud = 1;
    sc.Update(3);
    EXPECT_EQ(app->m_gameOver, 0) << "no end below 0 while the HUD is hidden";
    app->m_hideHud = 0;
    sc.Update();
    EXPECT_TRUE(app->m_gameOver == 1 && app->m_sfxPlays[2] == 1 && sc.HasText("Health : 000%"));

    mg::Start(sc, 5);
    sc.KeyDown(GLFW_KEY_RIGHT);
    float fastest = 0;
    for (int i = 0; i < 60; ++i, fastest = std::max(fastest, p[3])) p[1] = bb_Game_jscrw / 2, sc.Update();
    sc.KeyUp(GLFW_KEY_RIGHT);
    EXPECT_EQ(fastest, 12) << "steering builds up to 12 pixels per update";

    ASSERT_EQ(o[150], 180);
    bb_Game_jscrh = 700;  // tall enough to show row 50
    sc.Update();
    int kerbs = 0, plain = 0;
    for (const Scenario::Record& r : sc.Records()) {
        if (r.kind == 1 && r.frame != 64) kerbs += r.frame == 68 || r.frame == 69 ? 1 : 1000;
        plain += r.kind == KIND_RECT && r.y == 12 * 50 - 30 && r.r == 128 && r.b == 128;
    }
    EXPECT_TRUE(kerbs == 2 * 50 && plain == 1) << "kerbs on every row but the first laid: " << kerbs << ", " << plain;
}
