// Sound effects and tunes in the running game: slot file names and the
// message for missing or damaged ones, the channel rotation, and the sound
// mode's gate on effects and tunes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "testing/scenario.h"

namespace fs = std::filesystem;

TEST(Sfx, SlotsLoadTheirThreeDigitFilesEffectsRotateOverTwentyFourChannelsAndTheModeGatesThem) {
    Scenario s;
    s.FinishLoading();
    c_MyApp* app = s.App();
    // A data folder of our own holding sfx/007.wav and sfx/042.wav and a
    // damaged sfx/009.wav: each missing or damaged file is named once.
    const std::string data = s.WorkDir() + "/data";
    fs::remove(data);
    fs::create_directories(data + "/sfx");
    for (const char* name : {"/sfx/007.wav", "/sfx/042.wav"})
        fs::copy_file(std::string(KQ_DATA_DIR) + "/sfx/001.wav", data + name);
    std::ofstream(data + "/sfx/009.wav") << "RIFF";
    testing::internal::CaptureStderr();
    for (int slot : {7, 42, 9, 1, 9, 100, -3}) app->p_LoadSFX(slot);  // beyond the 100 slots: ignored
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kestrel-quillons: data/sfx/009.wav is damaged (it cannot be decoded); the game plays on without "
              "that sound\n"
              "kestrel-quillons: data/sfx/001.wav is missing; the game plays on without that sound\n");
    EXPECT_EQ((std::vector<bool>{!!app->m_sounds[7], !!app->m_sounds[42], !!app->m_sounds[9], !!app->m_sounds[1]}),
              (std::vector<bool>{true, true, false, false}));

    // Channels 1 .. 23, then 0 again; an empty slot or one outside the table
    // still takes its channel.
    app->m_sfxChannel = 0;
    std::vector<int> channels;
    for (int slot : {42, 8, -1, 1000}) app->p_PlaySFX(slot), channels.push_back(app->m_sfxChannel);
    for (int i = 0; i < 21; ++i) app->p_PlaySFX(42), channels.push_back(app->m_sfxChannel);
    EXPECT_EQ((std::vector<int>{channels[0], channels[3], channels[22], channels[23], channels[24]}),
              (std::vector<int>{1, 4, 23, 0, 1}));

    // Mode 0 is silent, 1 plays both, 2 effects only, 3 tunes only.
    for (int mode = 0; mode < 4; ++mode) {
        app->m_options[5] = mode;
        const int plays = app->m_sfxPlays[99];
        app->p_PlaySFX(99);
        app->p_PlayTune(String("missing"), 1);  // a missing file still counts as started
        EXPECT_EQ((std::vector<int>{app->m_sfxPlays[99] - plays, app->m_tunePlaying}),
                  (std::vector<int>{mode == 1 || mode == 2, mode == 1 || mode == 3}))
            << "mode " << mode;
        app->p_StopTune();
    }
}
