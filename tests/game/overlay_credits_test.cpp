// The credits box over the menu: opening from the right shoulder and the
// logo, not closing on the opening press, scroll speeds, back closing it
// without leaving the menu, and the credit lines themselves.
#include <cctype>
#include <regex>
#include <string>

#include "game/overlay_support.h"

namespace {

// Scroll position in pixels, counting whole lines.
float CreditPosition(c_MyApp* app) { return app->m_creditScroll - 16.0f * app->m_creditLine; }

}  // namespace

TEST(OverlayCredits, RightShoulderOpensAndANewPressCloses) {
    Scenario s;
    s.ToMenu();
    c_MyApp* app = s.App();

    s.KeyDown(GLFW_KEY_N);
    s.Update(5);
    EXPECT_EQ(app->m_creditsOpen, 1);
    EXPECT_EQ(app->m_creditsSlide, 5);
    s.KeyUp(GLFW_KEY_N);
    s.Update(30);
    EXPECT_EQ(app->m_creditsSlide, 30);
    EXPECT_EQ(app->m_mode, MODE_MENU);

    s.Press(GLFW_KEY_N);
    EXPECT_EQ(app->m_creditsOpen, 0);
    s.Update(40);
    EXPECT_EQ(app->m_creditsSlide, 0);
    EXPECT_EQ(overlay::CountImages(s, 91, 0), 0);  // the test card is gone

    // A or B close it as well.
    s.Press(GLFW_KEY_N);
    ASSERT_EQ(app->m_creditsOpen, 1);
    s.Press(GLFW_KEY_X);
    EXPECT_EQ(app->m_creditsOpen, 0);
    EXPECT_EQ(app->m_mode, MODE_MENU);
}

TEST(OverlayCredits, LogoTapOpensAndOnlyTheNextTapCloses) {
    Scenario s;
    s.ToMenu();
    c_MyApp* app = s.App();
    for (int i = 0; i < 40 && app->m_menuSlide < 0; ++i) s.Update();
    ASSERT_EQ(app->m_menuSlide, 0);

    s.MoveToVirtual(bb_Game_jscrw - 70, 32);
    s.MouseDown();
    s.Update(10);
    EXPECT_EQ(app->m_creditsOpen, 1);
    s.MouseUp();
    s.Update();
    EXPECT_EQ(app->m_creditsOpen, 1);

    s.Click(bb_Game_jscrw / 2, bb_Game_jscrh / 2);
    EXPECT_EQ(app->m_creditsOpen, 0);
    EXPECT_EQ(app->m_mode, MODE_MENU);
}

TEST(OverlayCredits, ScrollsAPointThreeAndOnePointEightWithUpOrDown) {
    Scenario s;
    s.ToMenu();
    c_MyApp* app = s.App();
    s.Press(GLFW_KEY_N);
    s.Update(30);
    const int cursor = app->m_menuCursor;

    float start = CreditPosition(app);
    s.Update(100);
    EXPECT_NEAR(CreditPosition(app) - start, -30.0f, 0.01f);
    EXPECT_GE(app->m_creditScroll, -16.0f);
    EXPECT_LE(app->m_creditScroll, 0.0f);

    for (int key : {GLFW_KEY_DOWN, GLFW_KEY_UP}) {
        s.KeyDown(key);
        s.Update();
        start = CreditPosition(app);
        s.Update(50);
        EXPECT_NEAR(CreditPosition(app) - start, -90.0f, 0.01f);
        s.KeyUp(key);
        s.Update();
    }
    EXPECT_EQ(app->m_menuCursor, cursor);  // the menu under the box did not move
    EXPECT_EQ(app->m_creditsOpen, 1);
}

TEST(OverlayCredits, BackClosesTheBoxWithoutLeavingTheMenu) {
    Scenario s;
    s.ToMenu();
    c_MyApp* app = s.App();
    s.Press(GLFW_KEY_N);
    s.Update(10);
    s.Press(GLFW_KEY_ESCAPE);  // would end the program if the menu saw it
    EXPECT_EQ(app->m_creditsOpen, 0);
    EXPECT_EQ(app->m_mode, MODE_MENU);
    s.Update(5);
    EXPECT_EQ(app->m_mode, MODE_MENU);
}

TEST(OverlayCredits, LinesCycleWithoutTheEndMarker) {
    Scenario s;
    s.ToMenu();
    c_MyApp* app = s.App();
    ASSERT_EQ(bb_Game_CreditText.Length(), 48);
    s.Press(GLFW_KEY_N);
    s.Update(30);

    // The line in the middle of the window is the one m_creditLine names.
    app->m_creditLine = 1;
    s.Update();
    EXPECT_TRUE(s.HasText("A Game by"));
    const Scenario::TextRun* run = s.FindText("A Game by");
    ASSERT_NE(run, nullptr);
    EXPECT_GT(run->alpha, 0.85f);

    app->m_creditLine = 40;
    bool sawFirst = false;
    s.KeyDown(GLFW_KEY_DOWN);
    for (int i = 0; i < 600; ++i) {
        s.Update();
        ASSERT_FALSE(s.HasText("End")) << "update " << i;
        if (s.HasText("A Game by")) sawFirst = true;
    }
    s.KeyUp(GLFW_KEY_DOWN);
    EXPECT_TRUE(sawFirst);  // wrapped round past the last shown entry
}

TEST(OverlayCredits, CreditTextNamesOnlyReservedExampleSites) {
    Array<String> text = bb_Game_MakeCreditText();
    ASSERT_EQ(text.Length(), 48);
    EXPECT_EQ(text[8].ToUtf8(), "Zorbel");
    EXPECT_EQ(text[47].ToUtf8(), "End");
    EXPECT_EQ(text[28].ToUtf8().rfind("using", 0), 0u);
    for (int i = 28; i <= 30; ++i) EXPECT_EQ(text[i].ToUtf8().back(), ',') << i;
    EXPECT_NE(text[31].ToUtf8().back(), ',');
    EXPECT_EQ(text[44].ToUtf8().rfind("at ", 0), 0u);

    const std::regex host(R"(([A-Za-z0-9-]+\.)+[A-Za-z]{2,})");
    int sites = 0;
    for (int i = 0; i < text.Length(); ++i) {
        std::string line = text[i].ToUtf8();
        for (std::sregex_iterator it(line.begin(), line.end(), host), end; it != end; ++it) {
            std::string name = it->str();
            ++sites;
            EXPECT_TRUE(std::regex_search(name, std::regex(R"((^|\.)example\.(com|org|net)$)"))) << name;
        }
    }
    EXPECT_EQ(sites, 3);  // the author's, the framework's and the community's
}
