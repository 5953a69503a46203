// The credits box over the menu: opening from the right shoulder and the
// logo without closing on the opening press, back closing it inside the
// menu, the scroll speeds, and the credit lines themselves.
#include <regex>
#include <string>

#include "game/overlay_support.h"

TEST(OverlayCredits, OpensFromShoulderOrLogoAndClosesOnTheNextPressOrBack) {
    Scenario s;
    s.ToMenu();
    c_MyApp* app = s.App();

    s.KeyDown(GLFW_KEY_N);
    s.Update(10);
    EXPECT_EQ(app->m_creditsOpen, 1);
    s.KeyUp(GLFW_KEY_N);
    s.Update();
    s.Press(GLFW_KEY_N);
    EXPECT_EQ(app->m_creditsOpen, 0);
    s.Update(40);
    EXPECT_EQ(app->m_creditsSlide, 0);
    EXPECT_EQ(overlay::CountImages(s, 91, 0), 0);  // the test card is gone

    ASSERT_EQ(app->m_menuSlide, 0);
    s.MoveToVirtual(bb_Game_jscrw - 70, 32);
    s.MouseDown();
    s.Update(10);
    s.MouseUp();
    s.Update();
    EXPECT_EQ(app->m_creditsOpen, 1);
    // A tap on a listing line under the box only closes the box.
    const int cursor = app->m_menuCursor;
    s.Click(100, 12 * (cursor % 7 + 1) + bb_Game_jscrh - 100);
    EXPECT_EQ(app->m_creditsOpen, 0);
    EXPECT_EQ(app->m_menuCursor, cursor);

    s.Update(40);
    s.Press(GLFW_KEY_N);
    s.Press(GLFW_KEY_ESCAPE);  // would end the program if the menu saw it
    EXPECT_EQ(app->m_creditsOpen, 0);
    s.Update(5);
    EXPECT_EQ(app->m_mode, MODE_MENU);
}

TEST(OverlayCredits, ScrollsAtThreeTenthsOrOnePointEightAndSkipsTheEndMarker) {
    Scenario s;
    s.ToMenu();
    c_MyApp* app = s.App();
    s.Press(GLFW_KEY_N);
    s.Update(30);
    const int cursor = app->m_menuCursor;
    auto position = [app] { return app->m_creditScroll - 16.0f * app->m_creditLine; };

    float start = position();
    s.Update(100);
    EXPECT_NEAR(position() - start, -30.0f, 0.01f);
    for (int key : {GLFW_KEY_DOWN, GLFW_KEY_UP}) {
        s.KeyDown(key);
        s.Update();
        start = position();
        s.Update(50);
        EXPECT_NEAR(position() - start, -90.0f, 0.01f);
        s.KeyUp(key);
        s.Update();
    }
    EXPECT_EQ(app->m_menuCursor, cursor);  // the menu under the box did not move

    // The middle line is entry m_creditLine; the lines cycle through 0-46.
    app->m_creditLine = 1;
    s.Update();
    const Scenario::TextRun* run = s.FindText("A Game by");
    ASSERT_NE(run, nullptr);
    EXPECT_GT(run->alpha, 0.85f);
    app->m_creditLine = 40;
    bool wrapped = false;
    s.KeyDown(GLFW_KEY_DOWN);
    for (int i = 0; i < 600; ++i) {
        s.Update();
        ASSERT_FALSE(s.HasText("End")) << "update " << i;
        if (s.HasText("A Game by")) wrapped = true;
    }
    s.KeyUp(GLFW_KEY_DOWN);
    EXPECT_TRUE(wrapped);
}

TEST(OverlayCredits, CreditTextNamesOnlyReservedExampleSites) {
    Array<String> text = bb_Game_MakeCreditText();
    ASSERT_EQ(text.Length(), 48);
    EXPECT_EQ(text[8].ToUtf8(), "Zorbel");
    EXPECT_EQ(text[28].ToUtf8().rfind("using", 0), 0u);
    for (int i = 28; i <= 30; ++i) EXPECT_EQ(text[i].ToUtf8().back(), ',') << i;
    EXPECT_NE(text[31].ToUtf8().back(), ',');

    const std::regex host(R"(([A-Za-z0-9-]+\.)+[A-Za-z]{2,})");
    const std::regex reserved(R"((^|\.)example\.(com|org|net)$)");
    int sites = 0;
    for (int i = 0; i < text.Length(); ++i) {
        std::string line = text[i].ToUtf8();
        for (std::sregex_iterator it(line.begin(), line.end(), host), end; it != end; ++it, ++sites)
            EXPECT_TRUE(std::regex_search(it->str(), reserved)) << it->str();
    }
    EXPECT_EQ(sites, 3);  // the author's, the framework's and the community's
}
