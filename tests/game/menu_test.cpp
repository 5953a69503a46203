// The game-selection menu through the scenario driver: the listing's texts,
// positions and colours, the cursor by keys, stick and pointer, starting a
// game's title card and coming back, the credits key and quitting.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cmath>
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
        ASSERT_EQ(app->m_mode, MODE_MENU);
        ASSERT_FLOAT_EQ(bb_Game_jscrh, 270);
    }
    bool IsInk(const Scenario::TextRun* t) {
        const float inks[5][3] = {{255, 25.5f, 25.5f}, {255, 127.5f, 25.5f}, {255, 255, 25.5f},
                                  {25.5f, 255, 25.5f}, {25.5f, 255, 255}};
        for (auto& c : inks)
            if (t->r == c[0] && t->g == c[1] && t->b == c[2]) return true;
        return false;
    }
};

}  // namespace

TEST_F(Menu, ListsTheSevenProgramsWithTitleAndLineLayout) {
    const char* lines[7] = {">1 : VurorIdi.BAS < Vuror Idi",   "2 : DaveDova.BAS   Zuzo Variru",
                            "3 : VuvoRaro.BAS   Zizarevizovu",  "4 : DeduDezu.BAS   Dedu Dezu",
                            "5 : VedeRizo.BAS   Duze zuz Izora", "6 : Zevovev .BAS   Rev Urezov",
                            "7 : Battle  .BAS   Ridera Didud"};
    for (int i = 1; i <= 7; ++i) {
        const Scenario::TextRun* t = s.FindText(lines[i - 1]);
        ASSERT_TRUE(t) << lines[i - 1];
        EXPECT_EQ(t->text, lines[i - 1]);
        // Lines at y = 178, 190, ... 250 (tops); glyph centres 4 lower. The
        // cursor line starts with ">" at x 8, the others with a blank there.
        EXPECT_FLOAT_EQ(t->y, 12.0f * i + 270 - 104 + 4) << i;
        EXPECT_FLOAT_EQ(t->x, i == 1 ? 8 : 16) << i;
        EXPECT_FLOAT_EQ(t->size, 1);
        EXPECT_TRUE(IsInk(t)) << i << " colour " << t->r << "," << t->g << "," << t->b;
    }
    const Scenario::TextRun* k = s.FindText("Kestrel");
    ASSERT_TRUE(k);
    EXPECT_EQ(k->text, "Kestrel");
    EXPECT_FLOAT_EQ(k->size, 4);
    EXPECT_FLOAT_EQ(k->x, 16);
    EXPECT_FLOAT_EQ(k->y, 32);
    const Scenario::TextRun* q = s.FindText("Quillons");
    ASSERT_TRUE(q);
    EXPECT_FLOAT_EQ(q->x, 32);
    EXPECT_FLOAT_EQ(q->y, 64);
    const Scenario::TextRun* e = s.FindText("1986 Edition");
    ASSERT_TRUE(e);
    EXPECT_FLOAT_EQ(e->size, 2);
    EXPECT_FLOAT_EQ(e->x, 64);
    EXPECT_FLOAT_EQ(e->y, 92);
    EXPECT_FLOAT_EQ(app->m_clsBlue, 128);
}

TEST_F(Menu, ListingColoursHoldWithinHalfASecond) {
    // Align the clock to the start of a half second, then compare.
    while (static_cast<int>(std::lround(s.Time() * 1000)) % 500 > 400) s.Step();
    s.Step();
    std::vector<Scenario::TextRun> a = s.TextRuns();
    s.Step();
    std::vector<Scenario::TextRun> b = s.TextRuns();
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].r, b[i].r);
        EXPECT_EQ(a[i].g, b[i].g);
    }
}

TEST_F(Menu, CursorMovesOneLinePerPressWithoutWrapping) {
    int clicks = app->m_sfxPlays[99];
    s.Press(GLFW_KEY_UP);  // already on line 1
    EXPECT_EQ(app->m_menuCursor, 1);
    EXPECT_EQ(app->m_sfxPlays[99], clicks);

    // Holding down moves once: the latch waits for the release.
    s.KeyDown(GLFW_KEY_DOWN);
    s.Step(30);
    EXPECT_EQ(app->m_menuCursor, 2);
    EXPECT_EQ(app->m_sfxPlays[99], clicks + 1);
    s.KeyUp(GLFW_KEY_DOWN);
    s.Step();
    EXPECT_TRUE(s.HasText(">2 : DaveDova.BAS < Zuzo Variru"));
    EXPECT_TRUE(s.HasText("1 : VurorIdi.BAS   Vuror Idi"));

    // Both layouts and both axes: S and D move down, W and A up.
    s.Press(GLFW_KEY_S);
    s.Press(GLFW_KEY_D);
    s.Press(GLFW_KEY_RIGHT);
    EXPECT_EQ(app->m_menuCursor, 5);
    s.Press(GLFW_KEY_W);
    s.Press(GLFW_KEY_A);
    EXPECT_EQ(app->m_menuCursor, 3);
    for (int i = 0; i < 10; ++i) s.Press(GLFW_KEY_DOWN);
    EXPECT_EQ(app->m_menuCursor, 7);
    s.Step();
    EXPECT_TRUE(s.HasText(">7 : Battle  .BAS < Ridera Didud"));

    // A gamepad's left stick counts as the directions.
    s.SetGamepad(0, {0, -0.9f}, {});
    s.Step(2);
    s.SetGamepad(0, {0, 0}, {});
    s.Step(2);
    EXPECT_EQ(app->m_menuCursor, 6);
}

TEST_F(Menu, EnterOpensTheTitleCardOfTheHighlightedGameAndBackReturns) {
    s.Press(GLFW_KEY_DOWN);
    s.Press(GLFW_KEY_DOWN);
    ASSERT_EQ(app->m_menuCursor, 3);
    int starts = app->m_sfxPlays[98];
    s.KeyDown(GLFW_KEY_KP_ENTER);  // the keypad's Enter is Enter too
    s.Step();
    EXPECT_EQ(app->m_mode, MODE_ENTER_TITLE);
    EXPECT_EQ(app->m_game, 3);
    EXPECT_EQ(app->m_sfxPlays[98], starts + 1);
    s.Step();
    EXPECT_EQ(app->m_mode, MODE_TITLE);
    EXPECT_EQ(app->m_titleTimer, 0);
    EXPECT_EQ(app->m_sfxPlays[97], 1);
    s.KeyUp(GLFW_KEY_KP_ENTER);
    s.Step(100);
    EXPECT_EQ(app->m_mode, MODE_TITLE);
    EXPECT_TRUE(s.HasText("Trans"));

    // B (X key) leaves through the return-to-menu screen.
    s.KeyDown(GLFW_KEY_X);
    s.Step();
    EXPECT_EQ(app->m_mode, MODE_RETURN_TO_MENU);
    s.Step();
    EXPECT_EQ(app->m_mode, MODE_MENU);
    EXPECT_EQ(app->m_sfxPlays[96], 2);  // the jingle, then the return
    s.KeyUp(GLFW_KEY_X);
    s.Step();
    EXPECT_EQ(app->m_menuCursor, 3);
    EXPECT_TRUE(s.HasText(">3 : VuvoRaro.BAS < Zizarevizovu"));
}

TEST_F(Menu, ATapOnALineOnlyMovesTheHighlightAndTheStartIconStarts) {
    // Line 4's band: 4 * 12 + 270 - 106 = 212 < y < 223.
    s.Click(100, 217);
    EXPECT_EQ(app->m_menuCursor, 4);
    EXPECT_EQ(app->m_mode, MODE_MENU);
    // Just outside the band's strict edges nothing happens.
    s.Click(100, 236);  // line 6's band starts above 236 only at 237
    EXPECT_EQ(app->m_menuCursor, 4);
    s.Click(8, 217);    // x must exceed 8
    EXPECT_EQ(app->m_menuCursor, 4);

    s.MoveToVirtual(450, 250);
    s.MouseDown();
    s.Step();
    EXPECT_EQ(app->m_mode, MODE_ENTER_TITLE);
    EXPECT_EQ(app->m_game, 4);
    s.Step(30);
    EXPECT_EQ(app->m_mode, MODE_TITLE);
    // Still held: the title card's own start icon must not fire.
    s.Step(120);
    EXPECT_EQ(app->m_mode, MODE_TITLE);
    s.MouseUp();
    s.Step();
    s.MouseDown();
    s.Step();
    EXPECT_EQ(app->m_mode, MODE_LOADING_GAME);
    s.MouseUp();
}

TEST_F(Menu, ASidewaysDragDoesNotCountAsATap) {
    s.MoveToVirtual(20, 100);
    s.MouseDown();
    s.Step();
    s.MoveToVirtual(40, 100);
    s.Step();
    EXPECT_EQ(app->m_touchLatch, 2);
    s.MoveToVirtual(100, 217);  // dragged onto line 4
    s.Step();
    EXPECT_EQ(app->m_menuCursor, 1);
    s.MouseUp();
    s.Step();
    EXPECT_EQ(app->m_touchLatch, 0);
}

TEST_F(Menu, RightShoulderOpensTheCreditsAndEscapeClosesThemWithoutQuitting) {
    s.Press(GLFW_KEY_N);
    EXPECT_EQ(app->m_creditsOpen, 1);
    s.Press(GLFW_KEY_ESCAPE);  // would end the program if the menu saw it
    EXPECT_EQ(app->m_creditsOpen, 0);
    EXPECT_EQ(app->m_mode, MODE_MENU);
}

TEST_F(Menu, TheLogoSlidesInAndATapOnItOpensTheCredits) {
    s.Step(40);
    EXPECT_EQ(app->m_menuSlide, 0);
    int clicks = app->m_sfxPlays[99];
    s.Click(410, 32);
    EXPECT_EQ(app->m_creditsOpen, 1);
    EXPECT_EQ(app->m_sfxPlays[99], clicks + 1);
    EXPECT_EQ(app->m_mode, MODE_MENU);
}

TEST(MenuQuit, EscapeInTheMenuEndsTheProgramWithExitCodeZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Scenario s(960, 540);
            s.ToMenu();
            s.KeyDown(GLFW_KEY_ESCAPE);
            s.Step();
            fprintf(stderr, "still running\n");
            exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}
