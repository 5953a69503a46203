// The whole game under collector pressure: between updates, enough garbage
// is allocated to end a collection cycle every few updates, through start-up,
// menus, every mini-game, the overlays and a resize. Every object the game
// still uses must survive each sweep (a store that skipped the write barrier
// would be found here as a freed image, sound or device).
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "audio/audio.h"
#include "testing/scenario.h"
#include "game/audio/sequencer.h"

namespace {

int g_sweeps = 0;

void Churn() {
    for (int i = 0; i < 9; ++i) Array<char> junk((1 << 20) - 64);
}

// Steps with a sweep due before every update.
void PressuredSteps(Scenario& s, int n) {
    for (int i = 0; i < n; ++i) {
        Churn();
        int bit = gc_markbit;
        s.Step();
        if (gc_markbit != bit) ++g_sweeps;
    }
}

void ExpectAlive(c_MyApp* app) {
    ASSERT_TRUE(gc_is_live_object(app));
    EXPECT_TRUE(gc_is_live_object(app->m_music));
    EXPECT_TRUE(gc_is_live_object(app->m_drawList.GetRep()));
    EXPECT_TRUE(gc_is_live_object(app->m_objects.GetRep()));
    for (int slot = 0; slot < 100; ++slot) {
        if (c_Image* img = app->m_images[slot]) {
            EXPECT_TRUE(gc_is_live_object(img)) << "image slot " << slot;
            EXPECT_TRUE(gc_is_live_object(img->m_surface)) << "surface of slot " << slot;
            if (img->m_frames.Length() > 0) {
                EXPECT_TRUE(gc_is_live_object(img->m_frames.GetRep())) << "frames of slot " << slot;
                EXPECT_TRUE(gc_is_live_object(img->m_frames[img->m_frames.Length() - 1]));
            }
        }
        if (c_Sound* snd = app->m_sounds[slot]) {
            EXPECT_TRUE(gc_is_live_object(snd)) << "sound slot " << slot;
            EXPECT_TRUE(gc_is_live_object(snd->m_sample)) << "sample of slot " << slot;
        }
    }
    EXPECT_TRUE(gc_is_live_object(bb_graphics_device));
    EXPECT_TRUE(gc_is_live_object(bb_graphics_context));
    EXPECT_TRUE(gc_is_live_object(bb_input_device));
    EXPECT_TRUE(gc_is_live_object(bb_input_device->m_joyStates[3]));
    EXPECT_TRUE(gc_is_live_object(bb_audio_device));
    if (bb_graphics_context->m_defaultFont) EXPECT_TRUE(gc_is_live_object(bb_graphics_context->m_defaultFont));
    EXPECT_TRUE(gc_is_live_object(bb_Game_CreditText.GetRep()));
}

}  // namespace

TEST(CollectorStress, EverythingInUseSurvivesSweepsThroughAWholeSession) {
    Scenario s;
    PressuredSteps(s, 30);  // loading under pressure
    ASSERT_EQ(s.App()->m_loadStep, 0);
    ExpectAlive(s.App());
    s.ToMenu();
    c_MyApp* app = s.App();

    // Credits over the menu.
    s.Press(GLFW_KEY_N);
    PressuredSteps(s, 20);
    s.Press(GLFW_KEY_N);
    PressuredSteps(s, 35);
    ExpectAlive(app);

    // Every mini-game and the template: title card, set-up, play, pause.
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
