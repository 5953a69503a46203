// The shell's frame loop through the real game: fitting the virtual screen
// and painting the draw list, the loader and a reload after a resize, the
// global keys, losing the focus, and recording scores that outlive a run.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "testing/gl_recorder.h"
#include "testing/scenario.h"

namespace {

using Rgb = std::vector<int>;

// The colour of window pixel (x, y) in the frame a render paints now.
Rgb PaintedAt(Scenario& s, int x, int y) {
    int w = 0, h = 0;
    s.Host()->GetWindowSize(&w, &h);
    unsigned char p[4] = {};
    s.RenderFrame([&] { glReadPixels(x, h - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p); });
    return {p[0], p[1], p[2]};
}

int Count(Scenario& s, float kind) {
    int n = 0;
    for (const Scenario::Record& r : s.Records()) n += r.kind == kind;
    return n;
}

// Best then recent scores of game 4.
std::vector<int> Lists(c_MyApp* app) {
    std::vector<int> out(app->m_scoreTable.Data() + 30, app->m_scoreTable.Data() + 40);
    out.insert(out.end(), app->m_scoreTable.Data() + 100, app->m_scoreTable.Data() + 110);
    return out;
}

void StartGame(Scenario& s, int game) {
    s.App()->m_game = game;
    s.App()->m_mode = MODE_LOADING_GAME;
    s.Step();
    ASSERT_EQ(s.App()->m_mode, MODE_PLAYING);
}

}  // namespace

TEST(Render, TheVirtualScreenCoversTheWindowAndEachRecordIsPaintedWhereAndHowItSays) {
    {
        Scenario tall(1280, 1024);  // the larger scale wins, so the sides show less than 480
        EXPECT_EQ((std::vector<float>{bb_Game_jscrw, bb_Game_jscrh}), (std::vector<float>{337.5f, 270}));
        EXPECT_FLOAT_EQ(tall.App()->m_scaleX * 270, 1024);
    }
    Scenario s(960, 540);  // 16:9, two window pixels per virtual pixel
    c_MyApp* app = s.App();
    app->p_CLS2D(0, 0, 128, 1);
    app->p_SetCol(255, 0, 0);
    app->p_Rect(10, 10, 40, 20);
    app->m_blend = 3;  // additive: blue on red is magenta
    app->p_SetCol(0, 0, 255);
    app->p_Rect(40, 10, 20, 20);
    app->m_blend = 2;  // any other value blends by alpha
    app->p_SetCol(0, 255, 0, 0.6f);
    app->p_Rect(10, 40, 20, 20);
    for (int i = 0; i < 2600; ++i) app->p_Oval(400, 200, 1, 1);
    EXPECT_EQ(app->m_drawCount, 2499 * 15) << "a full list drops what does not fit";
    EXPECT_EQ((std::vector<Rgb>{PaintedAt(s, 21, 21), PaintedAt(s, 19, 21), PaintedAt(s, 90, 50), PaintedAt(s, 110, 50),
                                PaintedAt(s, 30, 90)}),
              (std::vector<Rgb>{{255, 0, 0}, {0, 0, 128}, {255, 0, 255}, {0, 0, 255}, {0, 153, 51}}));
}

TEST(Loader, EveryAssetLoadsOnePerUpdateAtTheWindowsLevelAndAgainAfterAResize) {
    {
        Scenario small(630, 630);
        EXPECT_EQ(small.App()->m_hdLevel, 1);
    }
    Scenario s(800, 600);
    c_MyApp* app = s.App();
    int updates = 0;
    for (; app->m_loadStep > 0 && updates < 100; ++updates) {
        s.Step();
        ASSERT_EQ(app->m_sfxPlays[96], updates >= 3 ? 1 : 0) << "the jingle plays at the fourth update";
    }
    EXPECT_EQ(updates, 28);
    // The display: two rings of eleven dots, the disc, the band, the logo.
    EXPECT_EQ((std::vector<int>{Count(s, KIND_OVAL), Count(s, KIND_RECT), Count(s, 93)}), (std::vector<int>{23, 1, 1}));
    // Level 2: image sizes in file pixels, the font's in glyph advances.
    const int* info = app->m_imageInfo.Data();
    EXPECT_EQ((std::vector<int>{info[3 * 97], info[3 * 97 + 2], info[3 * 90], info[3 * 90 + 2]}),
              (std::vector<int>{64, 16, 8, 128}));
    for (int slot : {1, 80, 90, 91, 93, 94, 95, 96, 98, 99}) EXPECT_NE(app->m_images[slot], nullptr) << slot;
    for (int slot : {1, 2, 3, 11, 12, 13, 14, 15, 16, 17, 18, 19, 95, 96, 97, 98, 99})
        EXPECT_NE(app->m_sounds[slot], nullptr) << "sound " << slot;

    // A resize in the story: level 4 for 1280 pixels, the old icons' texture
    // given back at once, no second jingle, and the story where it was.
    s.Step(40);
    const float scroll = app->m_scrollY;
    const GLuint oldIcons = app->m_images[97]->m_surface->m_texture;
    GLRecorder::Install();
    s.Resize(1280, 720);
    s.Render();
    s.Update();
    EXPECT_EQ(GLRecorder::deletedTextures, std::vector<GLuint>{oldIcons});
    GLRecorder::Remove();
    s.FinishLoading();
    EXPECT_EQ((std::vector<int>{app->m_hdLevel, app->m_sfxPlays[96]}), (std::vector<int>{4, 1}));
    s.Step();
    ASSERT_TRUE(s.FindText("In the year 2014"));
    EXPECT_FLOAT_EQ(s.FindText("In the year 2014")->y, static_cast<float>(static_cast<int>(scroll - 0.15f)));
}

// F1 shows the render rate and the scale, F2 hides the corner icons, F4
// quits, F11 or Alt+Enter switch full screen and the choice is kept.
TEST(GlobalKeys, F1ShowsRateAndScaleF2HidesTheCornerIconsF4QuitsAndF11OrAltEnterSwitchFullScreenForGood) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::string saved;
    {
        Scenario s(960, 540);
        s.FinishLoading();
        StartGame(s, 8);
        c_MyApp* app = s.App();
        s.Press(GLFW_KEY_F1);
        const Scenario::TextRun* line = s.FindText(":2.0,2.0");
        ASSERT_TRUE(line);
        EXPECT_EQ(line->text, std::to_string(app->m_renderFps) + ":2.0,2.0");
        EXPECT_EQ((std::vector<float>{line->x, line->y}), (std::vector<float>{16, 270 - 16 + 4}));
        s.Press(GLFW_KEY_F1);
        EXPECT_FALSE(s.HasText(":2.0,2.0"));
        EXPECT_EQ(Count(s, 97), 1);  // the pause icon
        s.Press(GLFW_KEY_F2);
        EXPECT_EQ(Count(s, 97), 0);
        EXPECT_EXIT((s.KeyDown(GLFW_KEY_F4), s.Update(), exit(3)), ::testing::ExitedWithCode(0), "");

        BBGlfwVideoMode* desktop = s.Host()->GetGlfwDesktopMode();
        std::vector<int> size(2), full = {desktop->width, desktop->height};
        s.Press(GLFW_KEY_F11);
        s.Host()->GetWindowSize(&size[0], &size[1]);
        EXPECT_EQ(size, full);
        EXPECT_EQ(s.StateText(), app->p_SaveText().ToUtf8()) << "kept at once";
        EXPECT_EQ(app->m_options[OPTION_FULLSCREEN], 1);
        s.Render();
        EXPECT_EQ(app->m_loadStep, 1) << "reloads for the new size";
        // Alt+Enter (of either Enter) switches back and is not also a press of Enter.
        s.Host()->OnKey(GLFW_KEY_KP_ENTER, GLFW_PRESS, GLFW_MOD_ALT);
        s.Update();
        EXPECT_EQ(app->p_PlayKeyAll(CTRL_A, 0), 0);
        s.KeyUp(GLFW_KEY_KP_ENTER);
        s.Update();
        s.Host()->GetWindowSize(&size[0], &size[1]);
        EXPECT_EQ((std::vector<int>{size[0], size[1], app->m_options[OPTION_FULLSCREEN]}),
                  (std::vector<int>{640, 480, 0}));
        s.Press(GLFW_KEY_F11);
        saved = s.StateText();
    }
    Scenario s(640, 480, saved, true);
    EXPECT_NE(glfwGetWindowMonitor(s.Host()->Window()), nullptr) << "starts full screen";
}

// Losing the focus pauses a game, not the menu or a finished game, slows
// the loop and saves. A played game is recorded once in its best and recent
// lists; the template game has none.
TEST(Focus, LosingTheFocusPausesARunningGameAndSavesAndAPlayedGameIsRecordedOnce) {
    Scenario s(960, 540);
    s.ToMenu();
    c_MyApp* app = s.App();
    s.Suspend();
    EXPECT_EQ((std::vector<int>{app->m_paused, bb_app_UpdateRate()}), (std::vector<int>{0, 5}));
    s.Resume();
    EXPECT_EQ(bb_app_UpdateRate(), 60);

    const int best[] = {500, 300, 100};
    std::copy(best, best + 3, app->m_scoreTable.Data() + 30);
    app->m_scoreTable[100] = 11;  // Dedu Dezu's latest score
    StartGame(s, 4);
    s.Suspend();
    EXPECT_EQ((std::vector<int>{app->m_paused, app->m_pauseY}), (std::vector<int>{1, 135}));
    EXPECT_EQ(s.StateText(), app->p_SaveText().ToUtf8());
    s.Resume();
    s.Step(5);
    EXPECT_EQ(app->m_paused, 1) << "the game waits for the player";

    app->m_paused = 0;
    app->m_score = 400;
    app->m_gameOver = 1;
    s.Suspend();
    s.Resume();
    EXPECT_EQ(app->m_paused, 0) << "a game that has ended runs its game-over sequence on";
    for (int i = 0; i < 120 && app->m_mode != MODE_TITLE; ++i) s.Step();
    ASSERT_EQ(app->m_mode, MODE_TITLE);
    const std::vector<int> lists = Lists(app);
    EXPECT_EQ(lists, (std::vector<int>{500, 400, 300, 100, 0, 0, 0, 0, 0, 0, 400, 11, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(s.StateText(), app->p_SaveText().ToUtf8()) << "saved at once";
    s.Step(10);
    s.Press(GLFW_KEY_X);  // B leaves the title card through the recording screen
    s.Step(2);
    ASSERT_EQ(app->m_mode, MODE_MENU);
    EXPECT_EQ(Lists(app), lists) << "recorded once";
    app->m_game = 8;  // the template game has no lists: its score lands nowhere
    app->m_score = 999;
    app->m_scorePending = 1;
    app->p_LoadMenu();
    EXPECT_EQ(std::count(app->m_scoreTable.Data(), app->m_scoreTable.Data() + 350, 999), 0);
}

TEST(DrawHelpers, TextSitsOnItsGlyphCellsInksStayInTheTableStarsWrapAndNumbersArePadded) {
    Scenario s;
    s.FinishLoading();
    c_MyApp* app = s.App();
    app->p_CLS2D(NOVALUE, 0, 0, 0);
    app->p_Text(100, 50, String("AB"), 1, 1);     // centred on both axes
    app->p_Text(100, 50, String("A\\nB"), 0, 0);  // from the left, the line's top at y, two lines
    app->p_SetSize(2);
    app->p_Text(0, 0, String("a \\x"), 0, 1);  // a space draws nothing, a lone backslash glyph 60
    std::vector<std::vector<float>> glyphs;
    for (const Scenario::Record& r : s.Records()) glyphs.push_back({r.x, r.y, r.frame, r.sx});
    EXPECT_EQ(glyphs, (std::vector<std::vector<float>>{{92, 50, 33, 1},
                                                       {100, 50, 34, 1},
                                                       {100, 54, 33, 1},
                                                       {100, 62, 34, 1},
                                                       {0, 0, 65, 2},
                                                       {32, 0, 60, 2},
                                                       {48, 0, 88, 2}}));
    app->p_Ink(10, 1);  // an ink beyond the nine is ink 0, the machine's grey
    EXPECT_EQ((std::vector<float>{app->m_red, app->m_green, app->m_blue}), (std::vector<float>{76.5f, 76.5f, 76.5f}));

    app->p_ResetStars(10);  // a star leaving on the left comes back on the right
    float* star = app->m_stars.Data();
    star[1] = -20;
    app->p_CLS2D(0, 0, 0, 1);
    app->p_DoStars(0, 0);
    EXPECT_FLOAT_EQ(star[1], -20 + bb_Game_jscrw + 32);
    EXPECT_FLOAT_EQ(s.Records()[0].x, 8 * std::trunc(star[1] / 8));
    EXPECT_EQ(app->p_rstr(42, 5, String("0")).ToUtf8() + app->p_rstr(123456, 4, String("0")).ToUtf8(), "000423456");
}
