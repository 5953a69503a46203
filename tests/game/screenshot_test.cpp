// Every screen of the game, visited by the driver's tour: a picture of each
// is written to <build>/screenshots for a person to look at, shows what the
// screen's design puts at a known place, and goes out in one draw call per
// texture. Also the player's F12 key: where its pictures go and what they hold.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "testing/gl_recorder.h"
#include "testing/scenario.h"

namespace {

using Rgb = std::vector<int>;

// The colour at window pixel (x, y) of a picture file.
Rgb PixelOf(const std::string& path, int x, int y) {
    int w = 0, h = 0, n = 0;
    unsigned char* px = stbi_load(path.c_str(), &w, &h, &n, 3);
    Rgb out;
    if (px && x < w && y < h) out = {px[3 * (y * w + x)], px[3 * (y * w + x) + 1], px[3 * (y * w + x) + 2]};
    stbi_image_free(px);
    return out;
}

}  // namespace

TEST(Screens, EachShowsItsDesignAtAKnownPlaceInOneDrawCallPerTexture) {
    // Virtual pixels (two window pixels each) and the colour there; every
    // other screen is a game showing its red score bar at the top.
    const std::map<std::string, Rgb> places = {
        {"loading", {450, 135, 187, 124, 66}},   // the orange band over the loading blue
        {"story", {240, 250, 0, 0, 0}},          // black paper
        {"menu", {240, 135, 0, 0, 128}},         // the machine's blue
        {"credits", {450, 135, 128, 128, 128}},  // the test card's grey
        {"title_card", {240, 135, 0, 0, 128}},  {"pause", {200, 100, 178, 119, 7}},  // the panel over the darkened game
        {"options", {350, 140, 77, 41, 81}},                                         // a row's bar
    };
    const std::string dir = std::string(KQ_BINARY_DIR) + "/screenshots";
    std::filesystem::create_directories(dir);
    Scenario s(960, 540);
    GLRecorder::Install();
    int screens = 0;
    s.Tour([&](const std::string& screen) {
        ++screens;
        const std::string path = dir + "/" + screen + ".png";
        GLRecorder::Clear();
        ASSERT_TRUE(s.Screenshot(path)) << path;
        const Rgb p = places.count(screen) ? places.at(screen) : Rgb{240, 5, 255, 0, 0};
        EXPECT_EQ(PixelOf(path, 2 * p[0], 2 * p[1]), Rgb(p.begin() + 2, p.end())) << screen;
        const int textures = GLRecorder::Textures();
        EXPECT_GE(textures, 1) << screen;
        EXPECT_EQ(static_cast<int>(GLRecorder::draws.size()), textures + Scenario::TexturesDrawnTwice(screen))
            << screen;
    });
    GLRecorder::Remove();
    EXPECT_EQ(screens, 16);
}

namespace {

// F12 down for one update, the render that takes the picture, F12 up;
// returns what the render printed on stdout and stderr.
std::string PressF12(Scenario& s) {
    s.KeyDown(GLFW_KEY_F12);
    s.Update();
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    s.Render();
    const std::string said = testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr();
    s.KeyUp(GLFW_KEY_F12);
    s.Update();
    return said;
}

// The pictures in a folder, by the name F12 gives them.
std::vector<std::string> Pictures(const std::string& dir) {
    std::vector<std::string> out;
    const std::regex name("kestrel-quillons-[0-9]{8}-[0-9]{6}(-[0-9]+)?\\.png");
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (std::regex_match(e.path().filename().string(), name)) out.push_back(e.path().string());
    return out;
}

}  // namespace

// At 480 x 270 a virtual pixel is a window pixel: the template game shows
// its red score band at the top, the cyan edge below and dark blue elsewhere.
TEST(ScreenshotKey, F12SavesTheShownFrameUnderAFreshNameWithANoteAndAFailureSaysWhy) {
    Scenario s(480, 270);
    s.FinishLoading();
    s.App()->m_game = 8;
    s.App()->m_mode = MODE_LOADING_GAME;
    s.Step();
    const std::string home = getenv("HOME") ? getenv("HOME") : "", work = s.WorkDir();
    std::filesystem::create_directories(work + "/pics");
    std::filesystem::create_directories(work + "/home/Pictures");
    setenv("XDG_PICTURES_DIR", (work + "/pics").c_str(), 1);

    const std::string said = PressF12(s);
    PressF12(s);  // within the same second it must not replace the first
    const std::vector<std::string> shots = Pictures(work + "/pics");
    ASSERT_EQ(shots.size(), 2u);
    EXPECT_TRUE(said == "Screenshot saved: " + shots[0] + "\n" || said == "Screenshot saved: " + shots[1] + "\n")
        << said;
    const std::string named = said.substr(18, said.size() - 19);
    EXPECT_EQ((std::vector<Rgb>{PixelOf(named, 240, 10), PixelOf(named, 240, 21), PixelOf(named, 470, 260)}),
              (std::vector<Rgb>{{255, 0, 0}, {0, 255, 255}, {0, 0, 128}}));
    EXPECT_TRUE(s.HasText("Screenshot saved"));
    s.Update(60);
    EXPECT_FALSE(s.HasText("Screenshot saved"));

    // No pictures folder: ~/Pictures when there, else beside the state file.
    setenv("XDG_PICTURES_DIR", (work + "/missing").c_str(), 1);
    setenv("HOME", (work + "/home").c_str(), 1);
    PressF12(s);
    EXPECT_EQ(Pictures(work + "/home/Pictures").size(), 1u);
    std::filesystem::remove_all(work + "/home/Pictures");
    PressF12(s);
    EXPECT_EQ(Pictures(work).size(), 1u);

    // A folder that takes no files: the reason on stderr, the game goes on.
    setenv("XDG_PICTURES_DIR", "/proc", 1);
    const std::string failed = PressF12(s);
    EXPECT_EQ(failed.rfind("Screenshot not saved: /proc/kestrel-quillons-", 0), 0u) << failed;
    EXPECT_TRUE(s.HasText("Screenshot failed"));
    s.Step(5);
    EXPECT_EQ(s.App()->m_mode, MODE_PLAYING);
    unsetenv("XDG_PICTURES_DIR");
    setenv("HOME", home.c_str(), 1);
}
