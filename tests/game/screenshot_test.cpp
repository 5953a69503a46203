// Every screen of the game, visited by the driver's tour: a screenshot of
// each is written to <build>/screenshots for a person to look at, each
// picture has content, and each frame goes out in one draw call per
// texture it uses. Also the player's F12 key: where its pictures go and
// what they hold.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "testing/gl_recorder.h"
#include "testing/scenario.h"

namespace {

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

}  // namespace

TEST(Screens, EachHasAPictureAndOneDrawCallPerTexture) {
    std::string dir = std::string(KQ_BINARY_DIR) + "/screenshots";
    std::filesystem::create_directories(dir);
    Scenario s(960, 540);
    GLRecorder::Install();
    int screens = 0;
    s.Tour([&](const std::string& screen) {
        ++screens;
        std::string path = dir + "/" + screen + ".png";
        GLRecorder::Clear();
        ASSERT_TRUE(s.Screenshot(path)) << path;
        EXPECT_GE(Colours(path), 2) << path;
        int textures = GLRecorder::Textures();
        EXPECT_GE(textures, 1) << screen;
        EXPECT_EQ(static_cast<int>(GLRecorder::draws.size()), textures + Scenario::TexturesDrawnTwice(screen))
            << screen;
    });
    GLRecorder::Remove();
    EXPECT_EQ(screens, 16);
}

namespace {

struct Printed {
    std::string out, err;
};

// F12 down for one update, the render that takes the picture, F12 up.
Printed PressF12(Scenario& s) {
    s.KeyDown(GLFW_KEY_F12);
    s.Update();
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    s.Render();
    Printed p{testing::internal::GetCapturedStdout(), testing::internal::GetCapturedStderr()};
    s.KeyUp(GLFW_KEY_F12);
    s.Update();
    return p;
}

std::vector<std::string> Pictures(const std::string& dir) {
    std::vector<std::string> out;
    const std::regex name("kestrel-quillons-[0-9]{8}-[0-9]{6}(-[0-9]+)?\\.png");
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (std::regex_match(e.path().filename().string(), name)) out.push_back(e.path().string());
    return out;
}

std::vector<unsigned char> Rgb(const std::string& path, int* w, int* h) {
    int n = 0;
    unsigned char* px = stbi_load(path.c_str(), w, h, &n, 3);
    std::vector<unsigned char> out;
    if (px) out.assign(px, px + 3 * *w * *h);
    stbi_image_free(px);
    return out;
}

}  // namespace

// At 480 x 270 a virtual pixel is a window pixel: the template game shows the
// red score band at the top, its cyan edge below and dark blue elsewhere.
TEST(ScreenshotKey, F12SavesTheShownFrameNamesItAndShowsANoteAndAFailureSaysWhy) {
    Scenario s(480, 270);
    s.FinishLoading();
    c_MyApp* app = s.App();
    app->m_game = 8;
    app->m_mode = MODE_LOADING_GAME;
    s.Step();
    const std::string home = getenv("HOME") ? getenv("HOME") : "";
    const std::string pics = s.WorkDir() + "/pics";
    std::filesystem::create_directory(pics);
    setenv("XDG_PICTURES_DIR", pics.c_str(), 1);

    Printed first = PressF12(s);
    PressF12(s);  // within the same second it must not replace the first
    std::vector<std::string> shots = Pictures(pics);
    ASSERT_EQ(shots.size(), 2u);
    const std::string said = "Screenshot saved: ";  // then the path and a line end
    ASSERT_TRUE(first.out.rfind(said, 0) == 0 && first.out.back() == '\n') << first.out;
    const std::string named = first.out.substr(said.size(), first.out.size() - said.size() - 1);
    EXPECT_NE(std::find(shots.begin(), shots.end(), named), shots.end()) << first.out;
    EXPECT_TRUE(s.HasText("Screenshot saved"));
    s.Update(60);
    EXPECT_FALSE(s.HasText("Screenshot saved"));

    // The same pixels as a render of the same frame read back by the driver.
    const std::string again = s.WorkDir() + "/again.png";
    ASSERT_TRUE(s.Screenshot(again));
    int w = 0, h = 0, w2 = 0, h2 = 0;
    std::vector<unsigned char> shot = Rgb(named, &w, &h), driver = Rgb(again, &w2, &h2);
    ASSERT_EQ(w, 480);
    ASSERT_EQ(h, 270);
    auto pixel = [&](int x, int y) {
        const unsigned char* p = &shot[3 * (y * w + x)];
        return std::vector<int>{p[0], p[1], p[2]};
    };
    EXPECT_EQ(pixel(240, 10), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(pixel(240, 21), (std::vector<int>{0, 255, 255}));
    EXPECT_EQ(pixel(470, 260), (std::vector<int>{0, 0, 128}));
    EXPECT_TRUE(shot == driver);

    // No pictures folder: ~/Pictures when there, else beside the state file.
    setenv("XDG_PICTURES_DIR", (s.WorkDir() + "/missing").c_str(), 1);
    std::filesystem::create_directories(s.WorkDir() + "/home/Pictures");
    setenv("HOME", (s.WorkDir() + "/home").c_str(), 1);
    PressF12(s);
    EXPECT_EQ(Pictures(s.WorkDir() + "/home/Pictures").size(), 1u);
    unsetenv("XDG_PICTURES_DIR");
    std::filesystem::remove_all(s.WorkDir() + "/home/Pictures");
    PressF12(s);
    EXPECT_EQ(Pictures(s.WorkDir()).size(), 1u);

    // A folder that takes no files: the reason on stderr, the game goes on.
    setenv("XDG_PICTURES_DIR", "/proc", 1);
    Printed failed = PressF12(s);
    EXPECT_EQ(failed.out, "");
    EXPECT_NE(failed.err.find("Screenshot not saved: /proc/kestrel-quillons-"), std::string::npos) << failed.err;
    EXPECT_TRUE(s.HasText("Screenshot failed"));
    s.Step(5);
    EXPECT_EQ(app->m_mode, MODE_PLAYING);

    unsetenv("XDG_PICTURES_DIR");
    setenv("HOME", home.c_str(), 1);
}
