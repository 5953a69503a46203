// The screen tour: one walk through every screen of the game, the same
// each time, for checks and measurements that want each screen once.
#include <GLFW/glfw3.h>

#include <cctype>

#include "testing/scenario.h"

namespace {

const int kGames[] = {8, 1, 2, 3, 4, 5, 6, 7};  // the template game first, the ball game last

// A name fit for a file: lower case, blanks as underscores.
std::string ScreenName(std::string name) {
    for (char& c : name) c = c == ' ' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

// Waits for a state, reporting the screen that never came.
void StepUntil(Scenario& s, const std::function<bool()>& reached, int limit, const std::string& what) {
    for (int i = 0; i < limit && !reached(); ++i) s.Step();
    if (!reached()) Scenario::ReportFailure("the tour did not reach " + what);
}

}  // namespace

void Scenario::Tour(const std::function<void(const std::string& screen)>& atScreen) {
    c_MyApp* app = App();
    Step(3);
    atScreen("loading");
    FinishLoading();
    Step(300);
    atScreen("story");
    ToMenu();
    Step(40);  // the logo has slid in
    atScreen("menu");
    Press(GLFW_KEY_N);
    Step(60);
    atScreen("credits");
    Press(GLFW_KEY_N);
    Step(40);

    for (int game : kGames) {
        app->m_game = game;
        app->m_mode = MODE_ENTER_TITLE;
        StepUntil(
            *this, [&] { return app->m_mode == MODE_TITLE && app->m_titleTimer >= 100; }, 200, "the title card");
        Step();  // the latches the card set while it built up are released
        if (game == kGames[0]) atScreen("title_card");
        Press(GLFW_KEY_ENTER);
        StepUntil(
            *this, [&] { return app->m_mode == MODE_PLAYING; }, 10, "play");
        Step(60);
        atScreen(ScreenName(game == 8 ? "template game" : std::string(app->p_GameName(game, 1).ToUtf8())));
    }

    Press(GLFW_KEY_ESCAPE);
    Step(20);
    atScreen("pause");
    Press(GLFW_KEY_RIGHT);
    Press(GLFW_KEY_ENTER);
    Step(31);
    atScreen("options");
    Press(GLFW_KEY_ESCAPE);
    Step(30);
    Press(GLFW_KEY_ESCAPE);
    Step(5);
    app->m_gameOver = 1;
    Step(40);
    atScreen("game_over");
}

int Scenario::TexturesDrawnTwice(const std::string& screen) {
    // The menu's font under the credits box; the paused game's font and
    // icons under the options box, and the box's buttons under its icons.
    if (screen == "credits") return 1;
    if (screen == "options") return 3;
    return 0;
}
