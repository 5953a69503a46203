// The whole game under collector pressure: between updates, enough garbage
// is allocated to end a collection cycle every few updates, through start-up,
// menus, every mini-game, the overlays and a resize. Every object the game
// still uses must survive each sweep (a store that skipped the write barrier
// would be found here as a freed image, sound or device).
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "audio/audio.h"
#include "game/audio/sequencer.h"
#include "testing/scenario.h"

namespace {

int g_sweeps = 0;

// Steps with a sweep due before every update.
void PressuredSteps(Scenario& s, int n) {
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < 9; ++j) Array<char> junk((1 << 20) - 64);
        int bit = gc_markbit;
        s.Step();
        if (gc_markbit != bit) ++g_sweeps;
    }
}

void ExpectAlive(c_MyApp* app) {
    // clang-format off
    std::vector<const void*> used = {app, app->m_music, app->m_drawList.GetRep(), app->m_objects.GetRep(),
                                     bb_graphics_device, bb_graphics_context, bb_input_device,
                                     bb_input_device->m_joyStates[3], bb_audio_device, bb_Game_CreditText.GetRep(),
                                     bb_graphics_context->m_defaultFont};
    // clang-format on
    for (int slot = 0; slot < 100; ++slot) {
        if (c_Image* img = app->m_images[slot]) {
            used.insert(used.end(), {img, img->m_surface});
            const int frames = img->m_frames.Length();
            if (frames > 0) used.insert(used.end(), {img->m_frames.GetRep(), img->m_frames[frames - 1]});
        }
        if (c_Sound* snd = app->m_sounds[slot]) used.insert(used.end(), {snd, snd->m_sample});
    }
    for (size_t i = 0; i < used.size(); ++i) EXPECT_TRUE(!used[i] || gc_is_live_object(used[i])) << "object " << i;
}

}  // namespace

TEST(CollectorStress, EverythingInUseSurvivesSweepsThroughAWholeSession) {
    Scenario s;
    PressuredSteps(s, 30);  // loading under pressure
    c_MyApp* app = s.App();
    ASSERT_EQ(app->m_loadStep, 0);
    ExpectAlive(app);
    s.ToMenu();

    s.Press(GLFW_KEY_N);  // the credits over the menu
    PressuredSteps(s, 20);
    s.Press(GLFW_KEY_ESCAPE);  // back closes them and leaves the menu up
    PressuredSteps(s, 35);
    EXPECT_EQ((std::vector<int>{app->m_creditsOpen, app->m_mode}), (std::vector<int>{0, MODE_MENU}));

    // Every mini-game and the template: set-up, play, pause, game over.
    for (int game = 1; game <= 8; ++game) {
        app->m_game = game;
        app->m_mode = MODE_LOADING_GAME;
        PressuredSteps(s, 40);
        s.Press(GLFW_KEY_ESCAPE);  // pause
        PressuredSteps(s, 3);
        app->m_gameOver = 1;
        PressuredSteps(s, 100);
        ExpectAlive(app);
        EXPECT_EQ(app->m_mode, MODE_TITLE) << "game " << game;
        app->m_paused = 0;
        app->m_mode = MODE_MENU;
        PressuredSteps(s, 2);
    }

    // A resize reloads every image under pressure.
    s.Resize(800, 600);
    PressuredSteps(s, 35);
    ExpectAlive(app);
    EXPECT_EQ(app->m_hdLevel, 2);
    EXPECT_GT(g_sweeps, 300) << "a cycle ended before nearly every update";
    s.Step(40);  // the rest of the game-over overlay, then the menu
    EXPECT_TRUE(s.HasText("Quillons"));
}
