// Sound effects and tunes in the running game: slot file names and the
// message for missing ones, the channel rotation, the sound-mode gate, and
// the tune flag.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "testing/scenario.h"

namespace fs = std::filesystem;

TEST(Sfx, EffectsRotateThroughTwentyFourChannelsStartingAtOne) {
    Scenario s;
    s.FinishLoading();
    c_MyApp* app = s.App();
    app->m_sfxChannel = 0;
    std::vector<int> channels;
    for (int i = 0; i < 25; ++i) {
        app->p_PlaySFX(i % 2 ? 98 : 42);  // 42 holds no sound: it still takes a channel
        channels.push_back(app->m_sfxChannel);
    }
    EXPECT_EQ(channels[0], 1);
    EXPECT_EQ(channels[22], 23);
    EXPECT_EQ(channels[23], 0);
    EXPECT_EQ(channels[24], 1);
    EXPECT_EQ(app->m_lastSfxSlot, 42);
    EXPECT_FLOAT_EQ(app->m_lastSfxRate, 1);
    EXPECT_FLOAT_EQ(app->m_lastSfxVolume, 1);
    EXPECT_FLOAT_EQ(app->m_lastSfxPan, 0);
    app->p_PlaySFX(98, 0.5f, 0.25f, -1);
    EXPECT_FLOAT_EQ(app->m_lastSfxRate, 0.5f);
    EXPECT_FLOAT_EQ(app->m_lastSfxVolume, 0.25f);
    EXPECT_FLOAT_EQ(app->m_lastSfxPan, -1);
    // Slots outside the table are empty slots, not a crash.
    app->p_PlaySFX(-1);
    app->p_PlaySFX(1000);
    EXPECT_EQ(app->m_sfxChannel, 4);
}

TEST(Sfx, TheSoundModeGatesEffectsAndTunes) {
    Scenario s;
    s.FinishLoading();
    c_MyApp* app = s.App();
    const struct {
        int mode;
        bool effects, music;
    } modes[] = {{0, false, false}, {1, true, true}, {2, true, false}, {3, false, true}};
    for (auto& m : modes) {
        app->m_options[5] = m.mode;
        int channel = app->m_sfxChannel, plays = app->m_sfxPlays[99];
        app->p_PlaySFX(99);
        EXPECT_EQ(app->m_sfxChannel != channel, m.effects) << "mode " << m.mode;
        EXPECT_EQ(app->m_sfxPlays[99] - plays, m.effects ? 1 : 0) << "mode " << m.mode;

        app->p_PlayTune(String("missing"), 1);  // a missing file still counts as started
        EXPECT_EQ(app->m_tunePlaying, m.music ? 1 : 0) << "mode " << m.mode;
        app->p_PlayTune(String("missing"), 1);  // the second stops the first
        EXPECT_EQ(app->m_tunePlaying, m.music ? 1 : 0) << "mode " << m.mode;
        app->p_StopTune();
        EXPECT_EQ(app->m_tunePlaying, 0);
    }
}

TEST(Sfx, SlotsLoadTheirThreeDigitFilesAndMissingOnesAreNamedOnce) {
    Scenario s;
    c_MyApp* app = s.App();
    // A data folder of our own with two renamed copies of one effect and a
    // damaged one.
    std::string data = s.WorkDir() + "/data";
    fs::remove(data);
    fs::create_directories(data + "/sfx");
    fs::copy_file(std::string(KQ_DATA_DIR) + "/sfx/001.wav", data + "/sfx/007.wav");
    fs::copy_file(std::string(KQ_DATA_DIR) + "/sfx/001.wav", data + "/sfx/042.wav");
    std::ofstream(data + "/sfx/009.wav") << "RIFF";
    testing::internal::CaptureStderr();
    for (int slot : {7, 42, 8, 9, 1, 8, 9}) app->p_LoadSFX(slot);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kestrel-quillons: data/sfx/008.wav is missing; the game plays on without that sound\n"
              "kestrel-quillons: data/sfx/009.wav is damaged (it cannot be decoded); the game plays on without "
              "that sound\n"
              "kestrel-quillons: data/sfx/001.wav is missing; the game plays on without that sound\n");
    EXPECT_TRUE(app->m_sounds[7] != nullptr);
    EXPECT_TRUE(app->m_sounds[42] != nullptr);
    EXPECT_TRUE(app->m_sounds[8] == nullptr);
    EXPECT_TRUE(app->m_sounds[9] == nullptr);
    EXPECT_TRUE(app->m_sounds[1] == nullptr);  // sfx/001.wav is not in this folder
    app->p_PlaySFX(8);                          // an empty slot plays nothing
    app->p_LoadSFX(100);                        // beyond the 100 slots: ignored
    app->p_LoadSFX(-3);
}
