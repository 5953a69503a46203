// The game-selection menu and the credits box over it: the listing, the
// cursor by keys and pointer, starting a game and coming back, quitting; the
// credits box's opening and closing, its tiles, its scrolling lines and the
// sites they name.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "testing/scenario.h"

namespace {

// Menu on a 480 x 270 virtual screen.
struct Menu : public ::testing::Test {
    Scenario s{960, 540};
    c_MyApp* app = nullptr;
    void SetUp() override {
        s.ToMenu();
        app = s.App();
    }
};

}  // namespace

TEST_F(Menu, ListsTheSevenProgramsAndTheCursorMovesOneLinePerPressWithoutWrapping) {
    const char* names[7] = {"VurorIdi.BAS", "DaveDova.BAS", "VuvoRaro.BAS", "DeduDezu.BAS",
                            "VedeRizo.BAS", "Zevovev .BAS", "Battle  .BAS"};
    for (int i = 1; i <= 7; ++i) {  // tops at 178, 190, ... 250; ">" or a blank at x 8
        const Scenario::TextRun* t = s.FindText(names[i - 1]);
        EXPECT_TRUE(t && t->y == 12.0f * i + 270 - 100 && t->x == (i == 1 ? 8 : 16)) << i;
    }
    EXPECT_TRUE(s.HasText(">1 : VurorIdi.BAS < Vuror Idi") && s.HasText("7 : Battle  .BAS   Ridera Didud"));
    s.Press(GLFW_KEY_UP);  // already on line 1
    EXPECT_TRUE(app->m_menuCursor == 1 && app->m_sfxPlays[99] == 0);
    s.Press(GLFW_KEY_DOWN, 30);  // held: the latch waits for the release
    EXPECT_TRUE(app->m_menuCursor == 2 && app->m_sfxPlays[99] == 1);
    for (int key : {GLFW_KEY_S, GLFW_KEY_D, GLFW_KEY_RIGHT, GLFW_KEY_W, GLFW_KEY_A}) s.Press(key);  // both layouts
    EXPECT_EQ(app->m_menuCursor, 3);
    for (int i = 0; i < 10; ++i) s.Press(GLFW_KEY_DOWN);
    s.Step();
    EXPECT_TRUE(app->m_menuCursor == 7 && s.HasText(">7 : Battle  .BAS < Ridera Didud") &&
                s.HasText("1 : VurorIdi.BAS   Vuror Idi"));
}

TEST_F(Menu, ATapOnALineOnlyMovesTheHighlightADragIsNoTapAndTheStartIconStarts) {
    s.Click(100, 217);  // line 4's band: 212 < y < 223
    EXPECT_TRUE(app->m_menuCursor == 4 && app->m_mode == MODE_MENU);
    s.Click(100, 236);  // line 6's band starts above 236
    s.Click(8, 217);    // x must exceed 8
    EXPECT_EQ(app->m_menuCursor, 4);
    s.MoveToVirtual(20, 100);
    s.MouseDown();
    s.Step();
    s.MoveToVirtual(40, 100);
    s.Step();
    s.MoveToVirtual(100, 193);  // dragged sideways onto line 2
    s.Step();
    s.MouseUp();
    s.Step();
    EXPECT_EQ(app->m_menuCursor, 4);
    s.MoveToVirtual(450, 250);
    s.MouseDown();
    s.Step();
    EXPECT_TRUE(app->m_mode == MODE_ENTER_TITLE && app->m_game == 4);
    s.Step(150);  // still held: the title card's own start icon must not fire
    EXPECT_EQ(app->m_mode, MODE_TITLE);
}

// Back in the menu ends the program at once on the desktop; the console's
// quit dialog ends it on B.
TEST(MenuQuit, BackInTheMenuOrBInTheConsolesQuitDialogEndsTheProgramWithExitCodeZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (int console : {0, 1}) {
        EXPECT_EXIT(
            {
                Scenario s(960, 540);
                s.ToMenu();
                bb_Game_isOuya = console;
                if (console) {
                    s.App()->m_mode = MODE_QUIT_DIALOG;
                    s.Step();
                }
                s.KeyDown(console ? GLFW_KEY_X : GLFW_KEY_ESCAPE);
                s.Step();
                exit(3);
            },
            ::testing::ExitedWithCode(0), "")
            << console;
    }
}

TEST_F(Menu, CreditsOpenByShoulderOrLogoAndCloseByPressTapOrBackLeavingTheMenuAsItWas) {
    s.Press(GLFW_KEY_N, 10);  // held: the opening press does not close it
    EXPECT_TRUE(app->m_creditsOpen == 1 && app->m_sfxPlays[99] == 1);
    s.Press(GLFW_KEY_N);
    EXPECT_EQ(app->m_creditsOpen, 0);
    s.Step(40);
    s.Click(410, 32, 10);  // the logo, slid in
    EXPECT_EQ(app->m_creditsOpen, 1);
    s.Click(100, 12 * 3 + 270 - 100);  // a tap on listing line 3 under the box only closes it
    EXPECT_TRUE(app->m_creditsOpen == 0 && app->m_menuCursor == 1);
    for (int key : {GLFW_KEY_ENTER, GLFW_KEY_ESCAPE}) {  // would start a game, or quit, if the menu saw it
        s.Step(40);
        s.Press(GLFW_KEY_N);
        s.Press(key);
        EXPECT_EQ(app->m_creditsOpen, 0);
    }
    s.Step(40);
    EXPECT_TRUE(app->m_mode == MODE_MENU && app->m_creditsSlide == 0);
}

TEST_F(Menu, CreditTilesFlyInAndTheLinesScrollAtTheirSpeedsNeverShowingTheEndMarker) {
    s.Press(GLFW_KEY_N);
    // Halfway in (slide 20) the 40-pixel tiles stand off their grid places by
    // 10 a |a| and 10 b |b|: inner tile (1, 1) (a = -6, b = -3) up and left,
    // (11, 5) (a = 5, b = 2) down and right.
    app->m_creditsSlide = 20;
    app->m_drawCount = 0;
    app->p_CreditBox();
    std::vector<Scenario::Record> tiles;
    for (const Scenario::Record& r : s.Records())
        if (r.kind == KIND_RECT && r.r == 255 && r.g == 255 && r.b == 255 && r.sx == 41) tiles.push_back(r);
    ASSERT_EQ(tiles.size(), 11u * 5u);
    EXPECT_TRUE(tiles[0].x == 40 - 20 - 360 && tiles[0].y == 40 + 15 - 20 - 90) << tiles[0].x << "," << tiles[0].y;
    EXPECT_TRUE(tiles[54].x == 440 - 20 + 250 && tiles[54].y == 200 + 15 - 20 + 40)
        << tiles[54].x << "," << tiles[54].y;

    s.Step(30);
    auto position = [this] { return app->m_creditScroll - 16.0f * app->m_creditLine; };
    float start = position();
    s.Update(100);
    EXPECT_NEAR(position() - start, -30.0f, 0.01f);
    s.KeyDown(GLFW_KEY_UP);  // up or down held: 1.8 per update
    s.Update();
    start = position();
    s.Update(50);
    EXPECT_NEAR(position() - start, -90.0f, 0.01f);
    s.KeyUp(GLFW_KEY_UP);
    app->m_creditLine = 40;  // on through entry 46 and round to the start
    bool wrapped = false;
    s.KeyDown(GLFW_KEY_DOWN);
    for (int i = 0; i < 600; ++i, s.Update()) {
        ASSERT_FALSE(s.HasText("End")) << "update " << i;
        const Scenario::TextRun* first = s.FindText("A Game by");
        wrapped |= first && first->alpha > 0.85f && app->m_creditLine > 40;
    }
    EXPECT_TRUE(wrapped && app->m_menuCursor == 1) << "the menu under the box did not move";
}

TEST(Credits, TextNamesOnlyReservedExampleSites) {
    Array<String> text = bb_Game_MakeCreditText();
    ASSERT_EQ(text.Length(), 48);
    const std::regex host(R"(([A-Za-z0-9-]+\.)+[A-Za-z]{2,})"), reserved(R"((^|\.)example\.(com|org|net)$)");
    int sites = 0;
    for (int i = 0; i < text.Length(); ++i) {
        std::string line = text[i].ToUtf8();
        for (std::sregex_iterator it(line.begin(), line.end(), host), end; it != end; ++it, ++sites)
            EXPECT_TRUE(std::regex_search(it->str(), reserved)) << it->str();
    }
    EXPECT_EQ(sites, 3);  // the author's, the framework's and the community's
}
