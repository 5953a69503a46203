// The shell's frame loop and drawing helpers through the real game: fitting
// the virtual screen, resolution levels, reloading after a resize (and what
// it keeps and gives back), text placement, inks, the star field and
// recording a score.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "testing/scenario.h"
#include "graphics/gl_dispatch.h"

namespace {

std::vector<Scenario::Record> RecordsFrom(c_MyApp* app, int first) {
    std::vector<Scenario::Record> out;
    for (int i = first * 15; i + 14 < app->m_drawCount; i += 15) {
        const float* r = app->m_drawList.Data() + i;
        out.push_back({r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7], r[10], r[11], r[12], r[13]});
    }
    return out;
}

// Names of the textures deleted while a test records them.
std::vector<GLuint> g_deletedTextures;
void RecordingDeleteTextures(GLsizei n, const GLuint* names) {
    g_deletedTextures.insert(g_deletedTextures.end(), names, names + n);
    gxtkGLSystem().DeleteTextures(n, names);
}

}  // namespace

TEST(Fit, WidthOrHeightDecidesTheScale) {
    {
        Scenario s(960, 540);  // exactly 16:9
        EXPECT_EQ(s.App()->m_fitAxis, 1);
        EXPECT_FLOAT_EQ(s.App()->m_scaleX, 2.0f);
        EXPECT_FLOAT_EQ(bb_Game_jscrw, 480.0f);
        EXPECT_FLOAT_EQ(bb_Game_jscrh, 270.0f);
        EXPECT_EQ(s.App()->m_landscape, 1);
    }
    {
        Scenario s(1280, 1024);
        EXPECT_EQ(s.App()->m_fitAxis, 2);
        EXPECT_NEAR(s.App()->m_scaleX, 3.7926, 1e-3);
        EXPECT_EQ(s.App()->m_scaleX, s.App()->m_scaleY);
        EXPECT_NEAR(bb_Game_jscrw, 337.5, 1e-3);
        EXPECT_NEAR(bb_Game_jscrh, 270, 1e-3);
    }
    {
        Scenario s(1280, 540);  // wider than 16:9: the width decides
        EXPECT_EQ(s.App()->m_fitAxis, 1);
        EXPECT_NEAR(s.App()->m_scaleX, 2.6667, 1e-3);
        EXPECT_NEAR(bb_Game_jscrw, 480, 1e-3);
        EXPECT_NEAR(bb_Game_jscrh, 202.5, 1e-3);
    }
}

TEST(Fit, OverscanEntersTheScaleAndOffsetsThePointer) {
    Scenario s(1280, 720);
    bb_Game_overscan = 64;
    s.Render();
    EXPECT_NEAR(s.App()->m_scaleX, 2.4, 1e-4);
    EXPECT_NEAR(bb_Game_jscrw, 480, 1e-3);
    s.MouseMove(64 + 24, 36 + 48);
    s.Update();
    EXPECT_EQ(s.App()->m_mouseX, 10);
    EXPECT_EQ(s.App()->m_mouseY, 20);
    bb_Game_overscan = 0;
}

TEST(Loader, ResolutionLevelFollowsTheWindowSize) {
    {
        Scenario s(1280, 720);
        EXPECT_EQ(s.App()->m_hdLevel, 4);
        EXPECT_FLOAT_EQ(s.App()->m_hdScale, 0.25f);
    }
    {
        Scenario s(630, 630);
        EXPECT_EQ(s.App()->m_hdLevel, 1);
    }
    {
        Scenario s(800, 600);
        s.FinishLoading();
        c_MyApp* app = s.App();
        EXPECT_EQ(app->m_hdLevel, 2);
        EXPECT_EQ(app->m_imageInfo[3 * 97], 64);
        EXPECT_EQ(app->m_imageInfo[3 * 97 + 1], 64);
        EXPECT_EQ(app->m_imageInfo[3 * 97 + 2], 16);
        // The font's entries are the glyph advance at every level.
        EXPECT_EQ(app->m_imageInfo[3 * 90], 8);
        EXPECT_EQ(app->m_imageInfo[3 * 90 + 1], 8);
        EXPECT_EQ(app->m_imageInfo[3 * 90 + 2], 128);
        ASSERT_NE(app->m_images[97], nullptr) << "icons-hd.png loads";
        EXPECT_EQ(app->m_images[97]->m_width, 64);
        for (int slot : {1, 80, 90, 91, 93, 94, 95, 96, 97, 98, 99})
            EXPECT_NE(app->m_images[slot], nullptr) << "image slot " << slot;
        for (int slot : {1, 2, 3, 11, 12, 13, 14, 15, 16, 17, 18, 19, 95, 96, 97, 98, 99})
            EXPECT_NE(app->m_sounds[slot], nullptr) << "sound slot " << slot;
    }
}

TEST(Loader, TwentyEightStepsThenTheScreenRuns) {
    Scenario s;
    int updates = 0;
    while (s.App()->m_loadStep > 0 && updates < 100) {
        s.Step();
        ++updates;
    }
    EXPECT_EQ(updates, 28);
    EXPECT_EQ(s.App()->m_logoSoundPlayed, 1);
    EXPECT_EQ(s.App()->m_mode, MODE_STORY);
}

TEST(Loader, AResizeReloadsAndReturnsToTheSameScreen) {
    Scenario s;
    s.ToMenu();
    s.App()->m_menuCursor = 4;
    s.Resize(800, 600);
    s.Render();
    EXPECT_EQ(s.App()->m_loadStep, 1);
    s.FinishLoading();
    EXPECT_EQ(s.App()->m_hdLevel, 2);
    EXPECT_EQ(s.App()->m_mode, MODE_MENU);
    EXPECT_EQ(s.App()->m_menuCursor, 4);
    EXPECT_EQ(s.App()->m_logoSoundPlayed, 1);
    s.Step();
    EXPECT_TRUE(s.HasText("DeduDezu.BAS < Dedu Dezu"));
}

TEST(Loader, AResizeDuringTheStoryKeepsItsPlaceAndGivesOldImagesBackAtOnce) {
    Scenario s(960, 540);
    s.FinishLoading();
    s.Step(40);
    c_MyApp* app = s.App();
    float scroll = app->m_scrollY;
    ASSERT_NEAR(scroll, 270 - 40 * 0.15f, 1e-3);

    // The first loading step replaces the icons, whose old texture is
    // deleted there and then rather than whenever the collector gets to it.
    GLuint oldIcons = app->m_images[97]->m_surface->m_texture;
    g_deletedTextures.clear();
    gxtkGL.DeleteTextures = RecordingDeleteTextures;
    s.Resize(800, 600);
    s.Render();
    s.Update();
    gxtkGLReset();
    EXPECT_EQ(g_deletedTextures, std::vector<GLuint>{oldIcons});

    // Loading at the new resolution, then the story goes on from where it was.
    s.FinishLoading();
    EXPECT_EQ(app->m_hdLevel, 2);
    EXPECT_EQ(app->m_mode, MODE_STORY);
    EXPECT_FLOAT_EQ(app->m_scrollY, scroll);
    s.Step();
    const Scenario::TextRun* first = s.FindText("In the year 2014");
    ASSERT_TRUE(first);
    EXPECT_FLOAT_EQ(first->y, static_cast<float>(static_cast<int>(scroll - 0.15f)));
}

TEST(DrawHelpers, TextPlacementAndLineBreaks) {
    Scenario s;
    s.FinishLoading();
    c_MyApp* app = s.App();
    app->p_CLS2D(0, 0, 0, 1);
    app->p_Text(100, 50, String("AB"), 1, 1);
    auto recs = RecordsFrom(app, 0);
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(recs[0].kind, 90);
    EXPECT_EQ(recs[0].frame, 'A' - 32);
    EXPECT_FLOAT_EQ(recs[0].x, 92);
    EXPECT_FLOAT_EQ(recs[0].y, 50);
    EXPECT_FLOAT_EQ(recs[1].x, 100);

    app->p_CLS2D(NOVALUE, 0, 0, 0);
    app->p_Text(100, 50, String("AB"), 0, 0);
    recs = RecordsFrom(app, 0);
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_FLOAT_EQ(recs[0].x, 100);
    EXPECT_FLOAT_EQ(recs[0].y, 54);  // alignY 0: the line's top is y
    EXPECT_FLOAT_EQ(recs[1].x, 108);

    // A, backslash, n, B: B starts the next line; all four count in the width.
    app->p_CLS2D(NOVALUE, 0, 0, 0);
    app->p_Text(100, 50, String("A\\nB"), 1, 1);
    recs = RecordsFrom(app, 0);
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_FLOAT_EQ(recs[0].x, 84);
    EXPECT_FLOAT_EQ(recs[1].x, 84);
    EXPECT_FLOAT_EQ(recs[1].y, 58);

    // Spaces advance without a record; a lone backslash draws glyph 60.
    app->p_CLS2D(NOVALUE, 0, 0, 0);
    app->p_SetSize(2);
    app->p_Text(0, 0, String("a \\x"), 0, 1);
    recs = RecordsFrom(app, 0);
    ASSERT_EQ(recs.size(), 3u);
    EXPECT_FLOAT_EQ(recs[1].x, 32);
    EXPECT_EQ(recs[1].frame, 60);
    EXPECT_FLOAT_EQ(recs[1].sx, 2);
    EXPECT_FLOAT_EQ(recs[1].sy, 2);
}

TEST(DrawHelpers, StateInksAndAFullList) {
    Scenario s;
    c_MyApp* app = s.App();
    app->p_SetSize(2, NOVALUE);
    EXPECT_EQ(app->m_sizeY, 2);
    app->p_SetSize(2, 3);
    EXPECT_EQ(app->m_sizeY, 3);
    app->p_Alpha(0.25f);
    app->p_SetCol(10, 20, 30, NOVALUE);
    EXPECT_EQ(app->m_alpha, 0.25f);
    app->p_SetRot(30);
    EXPECT_EQ(app->m_rotation, -30);

    app->p_Ink(3, 1);
    EXPECT_FLOAT_EQ(app->m_red, 255);
    EXPECT_FLOAT_EQ(app->m_green, 255);
    EXPECT_FLOAT_EQ(app->m_blue, 25.5f);
    app->p_Ink(0, 1);
    EXPECT_FLOAT_EQ(app->m_red, 76.5f);
    app->p_Ink(10, 1);
    EXPECT_FLOAT_EQ(app->m_blue, 76.5f);
    app->p_Ink(1, 2);
    EXPECT_FLOAT_EQ(app->m_green, 51);
    app->p_Ink(9, 0);
    EXPECT_FLOAT_EQ(app->m_red, 0);

    app->p_CLS2D(1, 2, 3, 0.5f);
    EXPECT_EQ(app->m_clsGreen, 2);
    app->p_Rect(0, 0, 1, 1);
    app->p_CLS2D(NOVALUE, 0, 0, 0);
    EXPECT_EQ(app->m_clsGreen, 2) << "the background is kept";
    EXPECT_EQ(app->m_drawCount, 0) << "but the list is cleared";
    for (int i = 0; i < 2600; ++i) app->p_Oval(1, 2, 3, 4);
    EXPECT_EQ(app->m_drawCount, 37485);
}

TEST(DrawHelpers, StarsWrapAndRandomHelpers) {
    Scenario s;
    c_MyApp* app = s.App();
    app->p_ResetStars(10);
    EXPECT_EQ(app->m_starCount, 10);
    app->p_ResetStars(0);
    EXPECT_EQ(app->m_starCount, 10);
    float* star = app->m_stars.Data();
    star[1] = -20;
    star[2] = 100;
    star[3] = 0.5f;
    app->p_CLS2D(0, 0, 0, 1);
    app->p_DoStars(0, 0);
    // On a 640 x 480 window the visible virtual width is 360.
    EXPECT_FLOAT_EQ(star[1], -20 + bb_Game_jscrw + 32);
    EXPECT_GE(star[3], 0.2f);
    EXPECT_LT(star[3], 0.8f);
    auto recs = RecordsFrom(app, 0);
    ASSERT_EQ(recs.size(), 11u);
    EXPECT_EQ(recs[0].kind, 96);
    EXPECT_FLOAT_EQ(recs[0].x, 8 * std::trunc(star[1] / 8));  // snapped to the 8-pixel grid
    EXPECT_FLOAT_EQ(recs[0].alpha, star[3]);

    EXPECT_EQ(app->p_rstr(42, 5, String("0")).ToUtf8(), "00042");
    EXPECT_EQ(app->p_rstr(123456, 4, String("0")).ToUtf8(), "3456");
    EXPECT_EQ(app->p_rstr(7, 0, String("0")).ToUtf8(), "7");
    int seen[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4000; ++i) {
        int v = app->p_Rand(2, 5);
        ASSERT_GE(v, 2);
        ASSERT_LE(v, 5);
        ++seen[v - 2];
    }
    for (int n : seen) EXPECT_GT(n, 800);
}

TEST(Scores, RecordingPlacesEqualScoresBehindAndKeepsTheRecentList) {
    Scenario s;
    c_MyApp* app = s.App();
    app->m_game = 1;
    int best[10] = {500, 300, 300, 100, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 10; ++i) app->m_scoreTable[i] = best[i];
    app->m_score = 300;
    app->m_scorePending = 1;
    app->p_LoadMenu();
    int expected[10] = {500, 300, 300, 300, 100, 0, 0, 0, 0, 0};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(app->m_scoreTable[i], expected[i]) << i;
    EXPECT_EQ(app->m_scoreTable[70], 300);
    app->m_score = 5;
    app->m_scorePending = 1;
    app->p_LoadMenu();
    EXPECT_EQ(app->m_scoreTable[70], 5);
    EXPECT_EQ(app->m_scoreTable[71], 300);
    EXPECT_NE(s.StateText().find("|"), std::string::npos) << "recording saves";

    // The template game has no score lists: nothing else is overwritten.
    app->m_game = 8;
    app->m_score = 999;
    app->m_scorePending = 1;
    app->p_LoadMenu();
    for (int i = 0; i < 350; ++i) EXPECT_NE(app->m_scoreTable[i], 999) << i;
}

TEST(GameNames, LongAndShortNames) {
    Scenario s;
    c_MyApp* app = s.App();
    EXPECT_EQ(app->p_GameName(1, 1).ToUtf8(), "Vuror Idi");
    EXPECT_EQ(app->p_GameName(6, 2).ToUtf8(), "Zevovev ");
    EXPECT_EQ(app->p_GameName(7, 2).ToUtf8(), "Battle  ");
    EXPECT_EQ(app->p_GameName(0, 1).ToUtf8(), "Name of the Game");
    EXPECT_EQ(app->p_GameName(9, 2).ToUtf8(), "GameName");
    EXPECT_EQ(app->p_GameName(2, 3).Length(), 0);
    for (int g = 0; g <= 8; ++g) EXPECT_EQ(app->p_GameName(g, 2).Length(), 8);
}

namespace {
int g_drawCalls = 0;
void CountingDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices) {
    ++g_drawCalls;
    gxtkGLSystem().DrawElements(mode, count, type, indices);
}
void CountingDrawArrays(GLenum mode, GLint first, GLsizei count) {
    ++g_drawCalls;
    gxtkGLSystem().DrawArrays(mode, first, count);
}
}  // namespace

TEST(Render, ReplayingTheDrawListKeepsSpritesOfOneSheetInOneBatch) {
    Scenario s;
    s.ToMenu();
    s.Step();
    c_MyApp* app = s.App();
    app->p_CLS2D(0, 0, 0, 1);
    for (int i = 0; i < 200; ++i) {
        app->p_Ink(1 + i % 9, 1);  // colour changes do not split a batch
        app->p_DrawImg(90, static_cast<float>(i), 20, 33);
    }
    gxtkGL.DrawElements = CountingDrawElements;
    gxtkGL.DrawArrays = CountingDrawArrays;
    g_drawCalls = 0;
    s.Render();
    gxtkGLReset();
    // The background fill, then the 200 glyphs in one call.
    EXPECT_LE(g_drawCalls, 3);
}

TEST(Scores, APlayedGameIsRecordedOnceEvenWhenTheTitleCardIsLeftWithB) {
    Scenario s;
    s.ToMenu();
    c_MyApp* app = s.App();
    app->m_game = 2;
    app->m_mode = MODE_LOADING_GAME;
    s.Step();
    ASSERT_EQ(app->m_mode, MODE_PLAYING);
    app->m_players[10] = 7;  // Zuzo Variru's score: the furthest dead passed
    app->m_gameOver = 1;
    for (int i = 0; i < 120 && app->m_mode != MODE_TITLE; ++i) s.Step();
    ASSERT_EQ(app->m_mode, MODE_TITLE);
    EXPECT_EQ(app->m_scoreTable[10], 7);
    EXPECT_EQ(app->m_scoreTable[80], 7);
    s.Step(10);
    s.Press(GLFW_KEY_X);  // B: back to the menu through the return screen
    s.Step(2);
    ASSERT_EQ(app->m_mode, MODE_MENU);
    EXPECT_EQ(app->m_scoreTable[11], 0) << "not entered into the best list twice";
    EXPECT_EQ(app->m_scoreTable[81], 0) << "not entered into the recent list twice";

    // Opening a title card and backing out without playing records nothing.
    app->m_game = 3;
    app->m_mode = MODE_ENTER_TITLE;
    s.Step(100);
    s.Press(GLFW_KEY_X);
    s.Step(2);
    EXPECT_EQ(app->m_scoreTable[90], 0);
}

TEST(Quit, F4AndTheCloseKeyEndTheProgramFromAnyScreen) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Scenario s(960, 540);
            s.ToMenu();
            s.App()->m_game = 5;
            s.App()->m_mode = MODE_LOADING_GAME;
            s.Step(3);  // in a game
            s.KeyDown(GLFW_KEY_F4);
            s.Step();
            exit(3);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(
        {
            Scenario s(960, 540);
            s.FinishLoading();  // the story screen
            s.Host()->OnWindowClose();
            exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(Restart, SettingsAndScoresSurviveARestart) {
    std::string saved;
    {
        Scenario s;
        s.ToMenu();
        c_MyApp* app = s.App();
        app->m_game = 4;
        app->m_mode = MODE_LOADING_GAME;
        s.Step();
        app->m_score = 42;
        app->m_gameOver = 1;
        for (int i = 0; i < 120 && app->m_mode != MODE_TITLE; ++i) s.Step();
        app->m_options[5] = 0;  // sound off, saved when the app is suspended
        s.Suspend();
        saved = s.StateText();
    }
    Scenario again(640, 480, saved, true);
    c_MyApp* app = again.App();
    EXPECT_EQ(app->m_scoreTable[30], 42);
    EXPECT_EQ(app->m_scoreTable[100], 42);
    EXPECT_EQ(app->m_options[5], 0);
}
