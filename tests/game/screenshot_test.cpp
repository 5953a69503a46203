// Screenshots of the loading display, the story, the menu, a title card and
// the template game, written to <build>/screenshots for a person to look at;
// the test checks that each picture has content and is not one flat colour.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <filesystem>
#include <set>
#include <string>

#include "driver/scenario.h"

namespace {

std::string ShotPath(const std::string& name) {
    std::string dir = std::string(KQ_BINARY_DIR) + "/screenshots";
    std::filesystem::create_directories(dir);
    return dir + "/" + name + ".png";
}

// Number of distinct colours in the picture (capped).
int Colours(const std::string& path) {
    int w = 0, h = 0, n = 0;
    unsigned char* px = stbi_load(path.c_str(), &w, &h, &n, 3);
    if (!px) return 0;
    std::set<int> seen;
    for (int i = 0; i < w * h && seen.size() < 64; ++i)
        seen.insert(px[3 * i] << 16 | px[3 * i + 1] << 8 | px[3 * i + 2]);
    stbi_image_free(px);
    return static_cast<int>(seen.size());
}

void Shoot(Scenario& s, const std::string& name) {
    std::string path = ShotPath(name);
    ASSERT_TRUE(s.Screenshot(path)) << path;
    EXPECT_GE(Colours(path), 2) << path;
}

}  // namespace

TEST(Screenshots, LoadingStoryMenuTitleCardAndTemplateGame) {
    Scenario s(960, 540);
    s.Step(3);
    Shoot(s, "loading");
    s.FinishLoading();
    s.Step(300);
    Shoot(s, "story");
    s.ToMenu();
    s.Step(40);  // the logo has slid in
    Shoot(s, "menu");

    s.Press(GLFW_KEY_ENTER);
    s.Step(30);
    Shoot(s, "title_stripes");
    s.Step(100);
    Shoot(s, "title_card");

    // The template game: no menu line leads to it, so choose it directly.
    s.App()->m_game = 8;
    s.App()->m_mode = MODE_ENTER_TITLE;
    s.Step(110);
    s.Press(GLFW_KEY_ENTER);
    s.Step(5);
    ASSERT_EQ(s.App()->m_mode, MODE_PLAYING);
    Shoot(s, "template_game");
}
