// Sound effects and tunes in the running game: slot file names, the channel
// rotation, and the sound mode's gate on effects and tunes.
#include <gtest/gtest.h>

#include <filesystem>

#include "testing/scenario.h"

namespace fs = std::filesystem;

TEST(Sfx, SlotsLoadTheirThreeDigitFilesEffectsRotateOverTwentyFourChannelsAndTheModeGatesThem) {
    Scenario s;
    s.FinishLoading();
    c_MyApp* app = s.App();
    // A data folder of our own with two renamed copies of one effect.
    const std::string data = s.WorkDir() + "/data";
    fs::remove(data);
    fs::create_directories(data + "/sfx");
    for (const char* name : {"/sfx/007.wav", "/sfx/042.wav"})
        fs::copy_file(std::string(KQ_DATA_DIR) + "/sfx/001.wav", data + name);
    for (int slot : {7, 42, 8, 1, 100, -3}) app->p_LoadSFX(slot);  // beyond the 100 slots: ignored
    EXPECT_TRUE(app->m_sounds[7] && app->m_sounds[42]);
    EXPECT_FALSE(app->m_sounds[8] || app->m_sounds[1]);  // sfx/001.wav is not in this folder

    app->m_sfxChannel = 0;
    std::vector<int> channels;
    for (int i = 0; i < 25; ++i) {
        app->p_PlaySFX(i % 2 ? 42 : 8);  // 8 holds no sound: it still takes a channel
        channels.push_back(app->m_sfxChannel);
    }
    EXPECT_EQ((std::vector<int>{channels[0], channels[22], channels[23], channels[24]}),
              (std::vector<int>{1, 23, 0, 1}));
    app->p_PlaySFX(98, 0.5f, 0.25f, -1);
    EXPECT_EQ((std::vector<float>{app->m_lastSfxRate, app->m_lastSfxVolume, app->m_lastSfxPan}),
              (std::vector<float>{0.5f, 0.25f, -1}));
    app->p_PlaySFX(-1);  // slots outside the table are empty slots
    app->p_PlaySFX(1000);
    EXPECT_EQ(app->m_sfxChannel, 4);

    // Mode 0 is silent, 1 plays both, 2 effects only, 3 tunes only.
    for (int mode = 0; mode < 4; ++mode) {
        app->m_options[5] = mode;
        const int plays = app->m_sfxPlays[99];
        app->p_PlaySFX(99);
        EXPECT_EQ(app->m_sfxPlays[99] - plays, mode == 1 || mode == 2 ? 1 : 0) << "mode " << mode;
        app->p_PlayTune(String("missing"), 1);  // a missing file still counts as started
        app->p_PlayTune(String("missing"), 1);  // the second stops the first
        EXPECT_EQ(app->m_tunePlaying, mode == 1 || mode == 3 ? 1 : 0) << "mode " << mode;
        app->p_StopTune();
        EXPECT_EQ(app->m_tunePlaying, 0);
    }
}
