// The music option in the running game: every game plays a tune of its own
// with it on, nothing sounds with it or the sound off, the options rows
// switch the music at once, and music never changes a level's layout.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <utility>

#include "driver/scenario.h"
#include "game/audio/sequencer.h"
#include "game/overlay_support.h"

namespace {

// Some sequencer voice (channels 31 down to 27) holds a started sample.
bool VoiceSounding() {
    for (int ch = 27; ch <= 31; ++ch)
        if (bb_audio_device->m_alChannels[ch].m_state == 1) return true;
    return false;
}

// Runs the game's set-up and plays it for up to `steps` updates and renders
// (the tune loads on renders); true as soon as a voice sounds.
bool PlayUntilMusic(Scenario& s, int game, int steps) {
    c_MyApp* app = s.App();
    app->m_game = game;
    app->m_mode = MODE_LOADING_GAME;
    for (int i = 0; i < steps; ++i) {
        s.Step();
        if (VoiceSounding()) return true;
    }
    return false;
}

// Ends the running game and waits for its title card.
void EndGame(Scenario& s) {
    c_MyApp* app = s.App();
    if (app->m_mode == MODE_PLAYING && app->m_gameOver == 0) app->m_gameOver = 1;
    for (int i = 0; i < 200 && app->m_mode == MODE_PLAYING; ++i) s.Update();
    ASSERT_EQ(app->m_mode, MODE_TITLE);
}

}  // namespace

TEST(Music, EveryGamePlaysItsOwnTuneWithTheOptionOnAndNothingWithItOrTheSoundOff) {
    if (!getenv("ALSOFT_CONF")) setenv("ALSOFT_DRIVERS", "null", 0);
    Scenario s;
    s.FinishLoading();
    c_MyApp* app = s.App();
    c_SQPlayer* player = app->m_music;

    // Off by default: no game starts a tune or initialises the player.
    EXPECT_FALSE(PlayUntilMusic(s, 4, 60));
    EXPECT_EQ(player->m_playState, 0);
    EXPECT_EQ(player->m_baseChannel, 0);
    EndGame(s);

    app->m_options[OPTION_MUSIC] = 1;
    std::set<std::pair<std::string, int>> tunes;
    for (int game = 1; game <= 7; ++game) {
        EXPECT_TRUE(PlayUntilMusic(s, game, 120)) << "game " << game;
        tunes.insert({player->m_tunePath.ToUtf8(), player->m_seedBase});
        if (game <= 3) EXPECT_EQ(player->m_seedBase, 37171650) << "game " << game;
        EndGame(s);
        EXPECT_FALSE(VoiceSounding()) << "the game over stops the music, game " << game;
        EXPECT_EQ(player->m_playState, 0);
    }
    EXPECT_EQ(tunes.size(), 7u) << "no two games share tune and seed";

    // Sound off silences the music as well.
    app->m_options[5] = 0;
    EXPECT_FALSE(PlayUntilMusic(s, 1, 90));
    EndGame(s);
}

// The fourth row of the options box: keys and a touch anywhere on its bar
// (but nowhere on the row above) switch it; the running game's tune stops
// and starts at once; closing the box keeps the choice for the next start.
TEST(Music, TheMusicRowSwitchesAtOnceAndIsKeptBetweenRuns) {
    if (!getenv("ALSOFT_CONF")) setenv("ALSOFT_DRIVERS", "null", 0);
    std::string saved;
    {
        Scenario s;
        s.FinishLoading();
        c_MyApp* app = s.App();
        app->m_game = 5;
        app->m_mode = MODE_LOADING_GAME;
        s.Step();
        overlay::OpenOptions(s);
        EXPECT_TRUE(s.HasText("Music : Off"));
        for (int i = 0; i < 4; ++i) s.Press(GLFW_KEY_DOWN);
        s.Press(GLFW_KEY_ENTER);
        EXPECT_TRUE(s.HasText("Music : On"));
        EXPECT_EQ(app->m_music->m_playState, 2);

        const Scenario::TextRun* label = s.FindText("Music : On");
        ASSERT_NE(label, nullptr);
        for (float y : {label->y - 9, label->y + 13}) {  // the top and bottom rows of its bar
            s.Click(label->x, y);
            EXPECT_EQ(app->m_options[OPTION_MUSIC], y < label->y ? 0 : 1) << y;
            EXPECT_EQ(app->m_music->m_playState, y < label->y ? 0 : 2) << y;
        }
        EXPECT_EQ(app->m_fullscreen, 0);

        s.Press(GLFW_KEY_ESCAPE);
        saved = s.StateText();
        s.Update(30);
        s.Press(GLFW_KEY_ESCAPE);
        ASSERT_EQ(app->m_paused, 0);
        bool heard = false;
        for (int i = 0; i < 60 && !heard; ++i) {
            s.Step();
            heard = VoiceSounding();
        }
        EXPECT_TRUE(heard);
    }
    Scenario s(640, 480, saved, true);
    EXPECT_EQ(s.App()->m_options[OPTION_MUSIC], 1);
    EXPECT_EQ(s.App()->m_music->m_baseChannel, 32);  // the sequencer is ready
}

// Vuror Idi, Zuzo Variru and Zizarevizovu build their levels from the shared
// generator at set-up: the tune must not re-seed it.
TEST(Music, LayoutsDifferFromGameToGameWithMusicOnAndMatchTheSilentOnes) {
    Scenario s;
    s.FinishLoading();
    c_MyApp* app = s.App();
    auto layout = [&](int game, int music, int seed) {
        app->m_options[OPTION_MUSIC] = music;
        if (seed) bb_random_Seed = seed;
        app->m_game = game;
        app->m_mode = MODE_LOADING_GAME;
        s.Update();
        EXPECT_EQ(app->m_mode, MODE_PLAYING);
        std::vector<float> out(app->m_objects.Data(), app->m_objects.Data() + app->m_objects.Length());
        out.insert(out.end(), app->m_players.Data(), app->m_players.Data() + app->m_players.Length());
        return out;
    };
    for (int game = 1; game <= 3; ++game) {
        std::vector<float> silent = layout(game, 0, 5150 + game);
        std::vector<float> first = layout(game, 1, 5150 + game);
        std::vector<float> second = layout(game, 1, 0);
        EXPECT_TRUE(first == silent) << "game " << game;
        EXPECT_FALSE(second == first) << "game " << game;
    }
}
