// Screenshots of the overlays for a person to look at: the pause menu, the
// options box, the game-over screen and the credits box. Written to the
// folder named by KQ_OVERLAY_SHOTS; skipped when it is not set.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/app.h"
#include "game/overlay_support.h"
#include "graphics/gxtk_graphics.h"

namespace {

std::string ShotDir() {
    const char* dir = std::getenv("KQ_OVERLAY_SHOTS");
    if (!dir || !*dir) return std::string();
    std::filesystem::create_directories(dir);
    return std::string(dir) + "/";
}

// Renders one frame as the delegate does and reads the back buffer before
// the swap, so the picture does not depend on front-buffer read-back.
bool Shot(Scenario& s, const std::string& path) {
    gxtkGraphics* device = bb_app__delegate->m_graphics;
    device->BeginRender();
    bb_graphics_BeginRender();
    s.App()->p_OnRender();
    bb_graphics_renderDevice = nullptr;
    int w = device->Width(), h = device->Height();
    Array<int> pixels(w * h);
    device->ReadPixels(pixels, 0, 0, w, h, 0, w);
    device->EndRender();
    std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
    for (int i = 0; i < w * h; ++i) {
        unsigned int p = static_cast<unsigned int>(pixels[i]);
        rgb[3 * i] = static_cast<unsigned char>(p >> 16);
        rgb[3 * i + 1] = static_cast<unsigned char>(p >> 8);
        rgb[3 * i + 2] = static_cast<unsigned char>(p);
    }
    return stbi_write_png(path.c_str(), w, h, 3, rgb.data(), w * 3) != 0;
}

}  // namespace

TEST(OverlayScreens, PauseOptionsGameOverAndCredits) {
    std::string dir = ShotDir();
    if (dir.empty()) GTEST_SKIP() << "set KQ_OVERLAY_SHOTS to a folder to take the screenshots";
    Scenario s(960, 540);
    overlay::StartGame(s, 7);
    c_MyApp* app = s.App();
    s.Step(20);
    overlay::PauseWithBack(s);
    s.Press(GLFW_KEY_RIGHT);
    EXPECT_TRUE(Shot(s, dir + "pause.png"));
    s.Press(GLFW_KEY_ENTER);
    s.Step(31);
    s.Press(GLFW_KEY_DOWN);
    EXPECT_TRUE(Shot(s, dir + "options.png"));
    s.Press(GLFW_KEY_ESCAPE);
    s.Step(30);
    s.Press(GLFW_KEY_ESCAPE);
    s.Step(5);

    app->m_players[7] = 4;
    app->m_players[17] = 2;
    app->m_gameOver = 1;
    s.Step(40);
    EXPECT_TRUE(Shot(s, dir + "gameover.png"));
    s.Step(60);
    s.Press(GLFW_KEY_ESCAPE);
    s.Step(60);
    s.Press(GLFW_KEY_N);
    s.Step(12);
    EXPECT_TRUE(Shot(s, dir + "credits_opening.png"));
    s.Step(60);
    EXPECT_TRUE(Shot(s, dir + "credits.png"));
}
