// The music option in the running game: off by default; the options row
// switches it at once and the choice is saved; with it on each of the seven
// games plays a tune of its own until its game over, only in the sound modes
// with music, and every level is laid out as in silence.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "framework/random.h"
#include "game/audio/sequencer.h"
#include "game/overlay_support.h"
#include "testing/scenario.h"

namespace {

// Sets up a game from a fixed seed on cleared object and player arrays and
// returns what it built.
std::vector<float> LevelOf(Scenario& s, int game) {
    c_MyApp* app = s.App();
    std::fill(app->m_objects.Data(), app->m_objects.Data() + app->m_objects.Length(), 0.0f);
    std::fill(app->m_players.Data(), app->m_players.Data() + app->m_players.Length(), 0.0f);
    bb_random_Seed = 5150 + game;
    app->m_game = game, app->m_mode = MODE_LOADING_GAME;
    s.Update();
    std::vector<float> level(app->m_objects.Data(), app->m_objects.Data() + app->m_objects.Length());
    level.insert(level.end(), app->m_players.Data(), app->m_players.Data() + app->m_players.Length());
    return level;
}

// Plays on for up to `steps` updates and renders (the tune loads on renders)
// until a sequencer voice (channels 31 down to 27) sounds.
bool MusicWithin(Scenario& s, int steps) {
    for (int i = 0; i < steps; ++i, s.Step())
        for (int ch = 27; ch <= 31; ++ch)
            if (bb_audio_device->m_alChannels[ch].m_state == 1) return true;
    return false;
}

void EndGame(Scenario& s) {
    s.App()->m_gameOver = 1;
    for (int i = 0; i < 200 && s.App()->m_mode == MODE_PLAYING; ++i) s.Update();
    ASSERT_EQ(s.App()->m_mode, MODE_TITLE);
}

}  // namespace

TEST(Music, TheOptionPlaysEachGamesOwnTuneInTheSoundModesWithMusicAndLeavesLevelsAlone) {
    if (!getenv("ALSOFT_CONF")) setenv("ALSOFT_DRIVERS", "null", 0);
    std::string saved;
    {
        Scenario s;
        s.FinishLoading();
        c_MyApp* app = s.App();
        c_SQPlayer* player = app->m_music;
        std::vector<std::vector<float>> silent;
        for (int game = 1; game <= 3; ++game) silent.push_back(LevelOf(s, game));
        EXPECT_FALSE(MusicWithin(s, 60));
        EXPECT_EQ(player->m_baseChannel, 0) << "the player is not even set up";

        // The options box's fourth row, by keys and by a touch on its bar's
        // top and bottom rows, starts and stops the running game's tune.
        overlay::OpenOptions(s);
        for (int i = 0; i < 4; ++i) s.Press(GLFW_KEY_DOWN);
        s.Press(GLFW_KEY_ENTER);
        const Scenario::TextRun* label = s.FindText("Music : On");
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(player->m_playState, 2);
        for (float y : {label->y - 9, label->y + 13}) {
            s.Click(label->x, y);
            const int on = y > label->y;
            EXPECT_EQ(std::make_pair(app->m_options[OPTION_MUSIC], player->m_playState), std::make_pair(on, 2 * on));
        }
        EXPECT_EQ(app->m_fullscreen, 0) << "the row above stays as it was";
        s.Press(GLFW_KEY_ESCAPE);
        saved = s.StateText();
        s.Update(30);
        s.Press(GLFW_KEY_ESCAPE);
        EXPECT_TRUE(MusicWithin(s, 60));
        EndGame(s);

        std::set<std::pair<std::string, int>> tunes;
        for (int game = 1; game <= 7; ++game) {
            const std::vector<float> level = LevelOf(s, game);
            if (game <= 3) {
                EXPECT_TRUE(level == silent[game - 1]) << "game " << game;
            }
            EXPECT_TRUE(MusicWithin(s, 120)) << "game " << game;
            tunes.insert({player->m_tunePath.ToUtf8(), player->m_seedBase});
            EndGame(s);
            EXPECT_FALSE(MusicWithin(s, 1) || player->m_playState) << "the game over stops it, game " << game;
        }
        EXPECT_EQ(tunes.size(), 7u) << "no two games share tune and seed";
        for (int mode : {0, 2, 3}) {
            app->m_options[5] = mode;
            LevelOf(s, 1);
            EXPECT_EQ(MusicWithin(s, 90), mode == 3) << "sound mode " << mode;
            EndGame(s);
        }
    }
    Scenario s(640, 480, saved, true);
    EXPECT_EQ(s.App()->m_options[OPTION_MUSIC], 1);
    EXPECT_EQ(s.App()->m_music->m_baseChannel, 32) << "ready at start";
}
