// The mini-game frame through the running game: the title card's stripes,
// texts, best scores, jingle, start and back; the dispatch to each game; the
// common set-up; the template game and its score bar.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/scenario.h"

namespace {

struct Frame : public ::testing::Test {
    Scenario s{960, 540};  // a 480 x 270 virtual screen
    c_MyApp* app = nullptr;
    void SetUp() override {
        s.ToMenu();
        app = s.App();
    }
    void EnterTitle(int g) {  // as the menu does
        app->m_game = g;
        app->m_mode = MODE_ENTER_TITLE;
        s.Step();
    }
    std::vector<Scenario::Record> Rects(float r, float g, float b) {
        std::vector<Scenario::Record> out;
        for (const Scenario::Record& rec : s.Records())
            if (rec.kind == KIND_RECT && rec.r == r && rec.g == g && rec.b == b) out.push_back(rec);
        return out;
    }
};

}  // namespace

TEST_F(Frame, TitleCardFlickersThenStaysEmptyThenShowsItsTextsScoresAndJingle) {
    for (int i = 0; i < 10; ++i) app->m_scoreTable[40 + i] = 500 - i;
    EnterTitle(5);
    EXPECT_EQ(app->m_sfxPlays[97], 1);
    for (int t = 0; t < 100; ++t) {  // stripes until 85, then an empty card, text from 96, the jingle at 100
        s.Step();
        std::vector<Scenario::Record> stripes = Rects(255, 255, 0);
        EXPECT_EQ(stripes.size(), t < 85 ? 65u : 0u) << "t " << t;
        EXPECT_EQ(s.HasText("Speed"), t >= 95) << "t " << t;
        EXPECT_EQ(app->m_sfxPlays[15], t == 99 ? 1 : 0) << "t " << t;
    }
    const Scenario::TextRun* word = s.FindText("Need for");
    EXPECT_TRUE(word && word->size == 3 && word->x == 0.4f * 480 - 8 * 12 && word->y == 4 + 12)
        << "centred at 0.4 jscrw";
    const Scenario::TextRun* line = s.FindText("in the race?");  // the description's last line
    EXPECT_TRUE(line && line->x == 32 && line->y == 103 + 24 + 4);
    std::vector<std::string> column;  // "Best Scores", then the five best one per line
    for (const Scenario::TextRun& r : s.TextRuns())
        if (r.x == 176 && r.y >= 155) column.push_back(r.text);
    EXPECT_EQ(column, (std::vector<std::string>{"Best Scores", "500", "499", "498", "497", "496"}));
}

TEST_F(Frame, EachGameNumberRunsItsOwnCardAndGameAndAnyOtherTheTemplate) {
    const char* words[10] = {"Game", "Watch", "Dead", "Trans", "Kill", "Need for", "Sky", "Battle", "Game", "Game"};
    for (int game = 0; game <= 9; ++game) {
        EnterTitle(game);
        s.Step(101);
        EXPECT_TRUE(s.HasText(words[game])) << game;
        s.Press(GLFW_KEY_ENTER);
        s.Step();
        ASSERT_EQ(app->m_mode, MODE_PLAYING) << game;
        EXPECT_EQ(s.HasText("Ready"), game < 1 || game > 7) << game;
    }
}

TEST_F(Frame, StartNeedsAFreshPressOrTheCornerAndBackWorksFromTheFirstTextUpdate) {
    s.KeyDown(GLFW_KEY_ENTER);  // held from the menu all through the card: nothing happens
    s.Step(150);
    EXPECT_EQ(app->m_mode, MODE_TITLE);
    s.KeyUp(GLFW_KEY_ENTER);
    s.Step();
    s.Click(400, 200);  // outside the bottom-right corner
    EXPECT_EQ(app->m_mode, MODE_TITLE);
    s.MoveToVirtual(470, 260);
    s.MouseDown();
    s.Step();
    EXPECT_TRUE(app->m_mode == MODE_LOADING_GAME && app->m_sfxPlays[98] == 2) << "the menu's start and this one";
    s.MouseUp();

    EnterTitle(3);
    s.KeyDown(GLFW_KEY_V);  // back (Y) held from the start of the card acts at timer 96
    for (int t = 1; t < 96; ++t, s.Step()) ASSERT_EQ(app->m_mode, MODE_TITLE) << t;
    s.Step();
    EXPECT_EQ(app->m_mode, MODE_RETURN_TO_MENU);
    s.KeyUp(GLFW_KEY_V);
}

TEST_F(Frame, SetUpResetsTheSharedStateAndTheTemplateShowsItsBannerAndTheScoreBar) {
    app->m_score = 7, app->m_camX = app->m_players[3] = 7;
    for (int r : {10, 250, 251}) app->m_particles[10 * r] = 1;
    EnterTitle(8);
    s.Step(101);
    s.Press(GLFW_KEY_ENTER);
    EXPECT_TRUE(app->m_titleTimer == 99 && app->m_score == 0 && app->m_camX == 0 && app->m_players[3] == 0);
    EXPECT_TRUE(app->m_particleCount == 250 && app->m_particles[100] == 0 && app->m_particles[2500] == 0 &&
                app->m_particles[2510] == 1)
        << "particles 0 to 250 are free";

    s.Step();  // the banner on the 8-pixel text grid, then the score bar's eight digits
    const Scenario::TextRun* banner = s.FindText("Amstrad 128K Microcomputer  (v3)");
    const Scenario::TextRun* ready = s.FindText("Ready");
    EXPECT_TRUE(banner && banner->x == 8 && banner->y == 36 && ready && ready->x == 0 && ready->y == 92);
    const Scenario::TextRun* score = s.FindText("00000000");
    EXPECT_TRUE(score && score->x == 472 - 64 && score->y == 12) << "right-aligned at jscrw - 8";
    // The shown score eases a sixth of the way and snaps when within 6; the
    // camera eases an eighth of the way.
    app->m_score = 1000, app->m_camTargetX = 80, app->m_camY = 16;
    app->p_EaseShownScore(), app->p_CameraEase();
    EXPECT_TRUE(app->m_shownScore == 166 && app->m_camX == 10 && app->m_camY == 14);
    app->m_shownScore = 994, app->p_EaseShownScore();
    EXPECT_EQ(app->m_shownScore, 1000);
    app->m_score = 123456789;
    s.Step(150);
    EXPECT_TRUE(s.HasText("23456789"));  // the last eight digits
    app->m_hideHud = 1;
    s.Step();
    EXPECT_TRUE(app->m_mode == MODE_PLAYING && !s.HasText("23456789"));

    app->m_mode = MODE_TITLE;  // set-up left the timer at 99: no stripes, the jingle at once
    s.Step();
    EXPECT_TRUE(app->m_sfxPlays[18] == 2 && Rects(255, 255, 0).empty() && s.HasText("Game"));
}
