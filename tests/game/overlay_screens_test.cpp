// Screenshots of the overlays for a person to look at, written to
// <build>/screenshots: the pause menu, the options box, the game-over screen
// and the credits box; each must show more than a flat colour.
#include <stb/stb_image.h>

#include <filesystem>
#include <set>
#include <string>

#include "game/overlay_support.h"

namespace {

void Shoot(Scenario& s, const std::string& name) {
    std::string dir = std::string(KQ_BINARY_DIR) + "/screenshots";
    std::filesystem::create_directories(dir);
    std::string path = dir + "/overlay_" + name + ".png";
    ASSERT_TRUE(s.Screenshot(path)) << path;
    int w = 0, h = 0, n = 0;
    unsigned char* px = stbi_load(path.c_str(), &w, &h, &n, 3);
    ASSERT_NE(px, nullptr) << path;
    std::set<int> colours;
    for (int i = 0; i < w * h && colours.size() < 16; ++i)
        colours.insert(px[3 * i] << 16 | px[3 * i + 1] << 8 | px[3 * i + 2]);
    stbi_image_free(px);
    EXPECT_GT(colours.size(), 2u) << path;
}

}  // namespace

TEST(OverlayScreens, PauseOptionsGameOverAndCredits) {
    Scenario s(960, 540);
    overlay::StartGame(s, 7);
    c_MyApp* app = s.App();
    s.Step(20);
    overlay::PauseWithBack(s);
    s.Press(GLFW_KEY_RIGHT);
    Shoot(s, "pause");
    s.Press(GLFW_KEY_ENTER);
    s.Step(31);
    s.Press(GLFW_KEY_DOWN);
    Shoot(s, "options");
    s.Press(GLFW_KEY_ESCAPE);
    s.Step(30);
    s.Press(GLFW_KEY_ESCAPE);
    s.Step(5);

    app->m_players[7] = 4;
    app->m_players[17] = 2;
    app->m_gameOver = 1;
    s.Step(40);
    Shoot(s, "gameover");
    s.Step(60);
    s.Press(GLFW_KEY_ESCAPE);
    s.Step(60);
    s.Press(GLFW_KEY_N);
    s.Step(12);
    Shoot(s, "credits_opening");
    s.Step(60);
    Shoot(s, "credits");
}
