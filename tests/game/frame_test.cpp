// The mini-game frame through the running game: the title card's stripes,
// texts, best scores, jingle, start and back; the common set-up; camera
// easing; the score bar; the template game and the dispatch to it.
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
    // Opens the title card of game g the way the menu does.
    void EnterTitle(int g) {
        app->m_game = g;
        app->m_mode = MODE_ENTER_TITLE;
        s.Step();
        ASSERT_EQ(app->m_mode, MODE_TITLE);
        ASSERT_EQ(app->m_titleTimer, 0);
    }
    std::vector<Scenario::Record> Stripes() {
        std::vector<Scenario::Record> out;
        for (const Scenario::Record& r : s.Records())
            if (r.kind == KIND_RECT && r.r == 255 && r.g == 255 && r.b == 0) out.push_back(r);
        return out;
    }
    // From the title card into play of the chosen game.
    void StartGame() {
        s.Step(101);  // the jingle update still sets the latches
        s.Press(GLFW_KEY_ENTER);
        s.Step();
        ASSERT_EQ(app->m_mode, MODE_PLAYING);
    }
};

struct TitleTexts {
    int game;
    const char* words[2];
    const char* lines[4];
};
const TitleTexts kTitles[] = {
    {1, {"Watch", "Dog"}, {"Help Rared", "to leap his", "way over", "the watches."}},
    {2, {"Dead", "Rising"}, {"Waggle your joystick", "to build up speed.", "Avoid the dead,", "as they rise."}},
    {3, {"Trans", "formers"}, {"Set up the", "transformers", "to power", "the devices"}},
    {4, {"Kill", "Zone"}, {"Destroy all", "of the enemy", "snakes before", "they kill you."}},
    {5, {"Need for", "Speed"}, {"Do you have", "what it takes", "to get far", "in the race?"}},
    {6, {"Sky", "Lander"}, {"Use your bombs", "to flatten the", "building work to", "allow you to land."}},
    {7, {"Battle", "Field"}, {"How many goals", "can you score", "against the", "enemy team."}},
    {8, {"Game", "Name"}, {"This is the", "game's description", "over four lines", "of text"}},
};

}  // namespace

TEST_F(Frame, TitleCardFlickersThenStaysEmptyThenShowsItsTextsAndJingle) {
    EnterTitle(5);
    EXPECT_EQ(app->m_sfxPlays[97], 1);
    for (int t = 0; t < 110; ++t) {
        int jingles = app->m_sfxPlays[15];
        s.Step();
        std::vector<Scenario::Record> stripes = Stripes();
        if (t < 85) {
            ASSERT_EQ(stripes.size(), 65u) << "t " << t;
            EXPECT_EQ(stripes[0].x, -8);
            EXPECT_EQ(stripes[0].sx, 480 + 16);
            if (t < 60) {
                EXPECT_EQ(stripes[0].y, t % 8) << "t " << t;
                for (const Scenario::Record& r : stripes) EXPECT_EQ(r.sy, 4);
                EXPECT_GE(stripes[1].y - stripes[0].y, 7);
                EXPECT_LE(stripes[1].y - stripes[0].y, 9);
            } else {
                for (const Scenario::Record& r : stripes) {
                    EXPECT_GE(r.sy, 2);
                    EXPECT_LE(r.sy, 5);
                }
            }
        } else {
            EXPECT_TRUE(stripes.empty()) << "t " << t;
        }
        EXPECT_EQ(s.HasText("Speed"), t >= 95) << "t " << t;
        EXPECT_EQ(app->m_sfxPlays[15] - jingles, t == 99 ? 1 : 0) << "t " << t;
    }
    EXPECT_EQ(app->m_titleTimer, 100);
}

TEST_F(Frame, EveryGameShowsItsTitleDescriptionAndBestScores) {
    for (const TitleTexts& tt : kTitles) {
        if (tt.game <= 7)
            for (int i = 0; i < 10; ++i) app->m_scoreTable[10 * (tt.game - 1) + i] = tt.game * 100 - i;
        EnterTitle(tt.game);
        s.Step(100);
        const Scenario::TextRun* w1 = s.FindText(tt.words[0]);
        const Scenario::TextRun* w2 = s.FindText(tt.words[1]);
        ASSERT_TRUE(w1 && w2) << tt.game;
        int n1 = static_cast<int>(std::string(tt.words[0]).size());
        EXPECT_FLOAT_EQ(w1->size, 3);
        EXPECT_FLOAT_EQ(w1->x, 0.4f * 480 - n1 * 24 / 2);  // centred, first glyph's centre
        EXPECT_FLOAT_EQ(w1->y, 4 + 12);
        EXPECT_FLOAT_EQ(w2->y, 32 + 12);
        EXPECT_FLOAT_EQ(w1->g, 255);
        for (int i = 0; i < 4; ++i) {
            const Scenario::TextRun* l = s.FindText(tt.lines[i]);
            ASSERT_TRUE(l) << tt.lines[i];
            EXPECT_EQ(l->text, tt.lines[i]);
            EXPECT_FLOAT_EQ(l->x, 32);
            EXPECT_FLOAT_EQ(l->y, 103 + 8 * i + 4);
        }
        const Scenario::TextRun* best = s.FindText("Best Scores");
        ASSERT_TRUE(best);
        EXPECT_FLOAT_EQ(best->x, 176);
        EXPECT_FLOAT_EQ(best->y, 151 + 4);
        EXPECT_FLOAT_EQ(best->g, 128);
        // The five best, one per line; the template game has no table.
        std::vector<Scenario::TextRun> runs = s.TextRuns();
        for (int i = 0; i < 5; ++i) {
            std::string expect = tt.game <= 7 ? std::to_string(tt.game * 100 - i) : "0";
            bool found = false;
            for (const Scenario::TextRun& r : runs)
                if (r.text == expect && r.x == 176 && r.y == 159 + 8 * i + 4) found = true;
            EXPECT_TRUE(found) << "game " << tt.game << " rank " << i;
        }
        s.Press(GLFW_KEY_X);  // back to the menu
        s.Step();
        ASSERT_EQ(app->m_mode, MODE_MENU);
    }
}

TEST_F(Frame, HeldStartDoesNotStartAndBackWorksFromTheFirstTextUpdate) {
    // Start held from the menu all through the card: nothing happens.
    s.KeyDown(GLFW_KEY_ENTER);
    s.Step(150);
    EXPECT_EQ(app->m_mode, MODE_TITLE);
    s.KeyUp(GLFW_KEY_ENTER);
    s.Step();
    s.KeyDown(GLFW_KEY_L);  // X starts too
    s.Step();
    EXPECT_EQ(app->m_mode, MODE_LOADING_GAME);
    EXPECT_EQ(app->m_sfxPlays[98], 2);  // the menu's start and this one
    s.Step();
    EXPECT_EQ(app->m_mode, MODE_PLAYING);
    s.KeyUp(GLFW_KEY_L);

    // Back held from the start of a card acts at timer 96, before the jingle.
    s.App()->m_mode = MODE_ENTER_TITLE;
    s.Step();
    s.KeyDown(GLFW_KEY_V);  // Y
    for (int t = 0; t < 95; ++t) {
        s.Step();
        ASSERT_EQ(app->m_mode, MODE_TITLE) << t;
    }
    s.Step();
    EXPECT_EQ(app->m_titleTimer, 96);
    EXPECT_EQ(app->m_mode, MODE_RETURN_TO_MENU);
    s.KeyUp(GLFW_KEY_V);
}

TEST_F(Frame, ThePointerStartsFromTheBottomRightCorner) {
    EnterTitle(2);
    s.Step(100);
    s.Click(400, 200);  // outside the corner
    EXPECT_EQ(app->m_mode, MODE_TITLE);
    s.MoveToVirtual(470, 260);
    s.MouseDown();
    s.Step();
    EXPECT_EQ(app->m_mode, MODE_LOADING_GAME);
    s.MouseUp();
}

TEST_F(Frame, CommonSetUpResetsTheSharedStateAndTheTemplateClearsItsObjects) {
    app->m_objects[100000] = 5;
    app->m_objects[100001] = 7;
    app->m_players[3] = 9;
    app->m_score = 77;
    app->m_camX = 12;
    app->m_particles[10] = 1;
    EnterTitle(8);
    StartGame();
    EXPECT_EQ(app->m_titleTimer, 99);
    EXPECT_EQ(app->m_score, 0);
    EXPECT_EQ(app->m_gameOver, 0);
    EXPECT_EQ(app->m_starCount, 100);
    EXPECT_EQ(app->m_particleCount, 250);
    EXPECT_FLOAT_EQ(app->m_particles[10], 0);
    EXPECT_FLOAT_EQ(app->m_camX, 0);
    EXPECT_FLOAT_EQ(app->m_players[3], 0);
    for (int k = 1; k <= 4; ++k) {
        EXPECT_FLOAT_EQ(app->m_players[100 * k], 1);
        EXPECT_FLOAT_EQ(app->m_players[100 * k + 1], 128);
        EXPECT_FLOAT_EQ(app->m_players[100 * k + 2], k * 54.0f);
    }
    EXPECT_FLOAT_EQ(app->m_objects[100000], 0);
    EXPECT_FLOAT_EQ(app->m_objects[100001], 7);  // beyond the cleared range
    app->p_CommonSetup(0);
    EXPECT_EQ(app->m_i, 500);  // the shared loop index is left after the players
    EXPECT_FLOAT_EQ(app->m_players[100], 0);  // records 1 to 4 stay cleared

    // The title card after a game skips its stripes and plays the jingle.
    int jingles = app->m_sfxPlays[18];
    app->m_mode = MODE_TITLE;
    s.Step();
    EXPECT_EQ(app->m_titleTimer, 100);
    EXPECT_EQ(app->m_sfxPlays[18], jingles + 1);
    EXPECT_TRUE(Stripes().empty());
    EXPECT_TRUE(s.HasText("Game"));
}

TEST_F(Frame, TemplateGameShowsTheBootBannerAndTheScoreBar) {
    EnterTitle(8);
    StartGame();
    s.Step();
    const char* lines[] = {"Amstrad 128K Microcomputer  (v3)", "Basic 1.1", "Ready"};
    const float ys[] = {32 + 4, 32 + 40 + 4, 32 + 56 + 4};
    for (int i = 0; i < 3; ++i) {
        const Scenario::TextRun* t = s.FindText(lines[i]);
        ASSERT_TRUE(t) << lines[i];
        EXPECT_EQ(t->text, lines[i]);
        EXPECT_FLOAT_EQ(t->y, ys[i]);
        EXPECT_FLOAT_EQ(t->r, 255);
        EXPECT_FLOAT_EQ(t->b, 255);
    }
    EXPECT_FLOAT_EQ(s.FindText("Ready")->x, 0);
    EXPECT_FLOAT_EQ(s.FindText("Basic 1.1")->x, 8);  // after the leading blank
    // Two banner lines of our own between the first line and Basic.
    std::vector<Scenario::TextRun> runs = s.TextRuns();
    int between = 0;
    for (const Scenario::TextRun& r : runs)
        if (r.y == 52 || r.y == 60) ++between;
    EXPECT_EQ(between, 2);

    // The score bar: cyan band, red band 4 pixels shorter, eight digits.
    std::vector<Scenario::Record> rects;
    for (const Scenario::Record& r : s.Records())
        if (r.kind == KIND_RECT) rects.push_back(r);
    ASSERT_GE(rects.size(), 2u);
    EXPECT_EQ(rects[0].g, 255);
    EXPECT_EQ(rects[0].x, -64);
    EXPECT_EQ(rects[0].y, -16);
    EXPECT_EQ(rects[0].sx, 480 + 128);
    EXPECT_EQ(rects[0].sy, 40);
    EXPECT_EQ(rects[1].r, 255);
    EXPECT_EQ(rects[1].g, 0);
    EXPECT_EQ(rects[1].sy, 36);
    const Scenario::TextRun* score = s.FindText("00000000");
    ASSERT_TRUE(score);
    EXPECT_FLOAT_EQ(score->x, 472 - 64);  // right-aligned at jscrw - 8
    EXPECT_FLOAT_EQ(score->y, 12);

    app->m_score = 123456789;
    s.Step(150);
    EXPECT_TRUE(s.HasText("23456789"));  // the last eight digits
    app->m_hideHud = 1;
    s.Step();
    EXPECT_FALSE(s.HasText("23456789"));
    EXPECT_EQ(app->m_mode, MODE_PLAYING);  // the template never ends by itself
}

TEST_F(Frame, ShownScoreEasesTowardTheScoreAndSnapsWhenClose) {
    app->m_score = 1000;
    app->m_shownScore = 0;
    std::vector<int> seen;
    for (int i = 0; i < 40 && app->m_shownScore != 1000; ++i) {
        app->p_EaseShownScore();
        seen.push_back(app->m_shownScore);
    }
    ASSERT_GE(seen.size(), 6u);
    EXPECT_EQ(std::vector<int>(seen.begin(), seen.begin() + 4), (std::vector<int>{166, 305, 420, 516}));
    EXPECT_EQ(seen[seen.size() - 3], 993);
    EXPECT_EQ(seen[seen.size() - 2], 994);
    EXPECT_EQ(seen.back(), 1000);

    app->m_score = 5;
    app->m_shownScore = 0;
    app->p_EaseShownScore();
    EXPECT_EQ(app->m_shownScore, 5);
    app->m_score = 0;
    app->m_shownScore = 600;
    app->p_EaseShownScore();
    EXPECT_EQ(app->m_shownScore, 500);
    // Extreme values do not overflow.
    app->m_score = 2147483647;
    app->m_shownScore = -2147483647 - 1;
    app->p_EaseShownScore();
    EXPECT_GT(app->m_shownScore, -2147483647 - 1);
}

TEST_F(Frame, CameraEasesAnEighthOfTheWayEachUpdate) {
    app->m_camX = 0;
    app->m_camTargetX = 80;
    app->m_camY = 16;
    app->m_camTargetY = 0;
    app->p_CameraEase();
    EXPECT_FLOAT_EQ(app->m_camDX, -10);
    EXPECT_FLOAT_EQ(app->m_camX, 10);
    EXPECT_FLOAT_EQ(app->m_camDY, 2);
    EXPECT_FLOAT_EQ(app->m_camY, 14);
}

TEST_F(Frame, GameNumbersOutsideOneToSevenRunTheTemplate) {
    for (int g : {0, 9, -4}) {
        EnterTitle(g);
        s.Step(100);
        EXPECT_TRUE(s.HasText("game's description")) << g;
        s.Step();
        s.Press(GLFW_KEY_ENTER);
        s.Step();
        ASSERT_EQ(app->m_mode, MODE_PLAYING) << g;
        EXPECT_TRUE(s.HasText("Ready")) << g;
    }
}
