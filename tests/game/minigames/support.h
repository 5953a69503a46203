// Shared steps of the mini-game tests: putting a game in play through its
// set-up screen and naming the sound effects played since a point.
#pragma once
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "audio/gxtk_audio.h"
#include "testing/scenario.h"

namespace mg {

// Runs game `game`'s set-up screen (loading the assets first) and returns in play.
inline c_MyApp* Start(Scenario& sc, int game) {
    sc.FinishLoading();
    c_MyApp* app = sc.App();
    app->m_game = game;
    app->m_mode = MODE_LOADING_GAME;
    sc.Update();
    EXPECT_EQ(app->m_mode, MODE_PLAYING);
    return app;
}

// Effects rotate through 24 channels; the sample left on each names its slot.
class Sfx {
public:
    explicit Sfx(c_MyApp* app) : m_app(app), m_start(app->m_sfxChannel) {}
    std::vector<int> Played() const {
        std::vector<int> out;
        for (int k = 1; k <= (m_app->m_sfxChannel - m_start + 24) % 24; ++k) {
            gxtkSample* sample = bb_audio_device->m_alChannels[m_app->m_channels[(m_start + k) % 24]].m_sample;
            int slot = -1;
            for (int s = 0; s < m_app->m_sounds.Length(); ++s)
                if (m_app->m_sounds[s] && m_app->m_sounds[s]->m_sample == sample) slot = s;
            out.push_back(slot);
        }
        return out;
    }
    int Count(int slot) const {
        std::vector<int> p = Played();
        return static_cast<int>(std::count(p.begin(), p.end(), slot));
    }

private:
    c_MyApp* m_app;
    int m_start;
};

}  // namespace mg
