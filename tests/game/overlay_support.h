// Helpers shared by the overlay tests: reaching a running game, pausing it,
// opening the options box, and finding image records in the draw list.
#pragma once
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cmath>

#include "testing/scenario.h"

namespace overlay {

// From boot to screen 10 of the given game, through its title card.
inline void StartGame(Scenario& s, int game) {
    s.ToMenu();
    c_MyApp* app = s.App();
    app->m_game = game;
    app->m_mode = MODE_ENTER_TITLE;
    for (int i = 0; i < 200 && !(app->m_mode == MODE_TITLE && app->m_titleTimer >= 100); ++i) s.Step();
    ASSERT_EQ(app->m_mode, MODE_TITLE);
    s.Step();  // the latches the card set while it built up are released
    s.Press(GLFW_KEY_ENTER);
    for (int i = 0; i < 10 && app->m_mode != MODE_PLAYING; ++i) s.Step();
    ASSERT_EQ(app->m_mode, MODE_PLAYING);
    ASSERT_EQ(app->m_paused, 0);
}

inline void PauseWithBack(Scenario& s) {
    s.Press(GLFW_KEY_ESCAPE);
    ASSERT_EQ(s.App()->m_paused, 1);
}

// Pause, move the cursor to the gear, confirm, and wait for the box to be in.
inline void OpenOptions(Scenario& s) {
    PauseWithBack(s);
    s.Press(GLFW_KEY_RIGHT);
    ASSERT_EQ(s.App()->m_pauseCursor, 1);
    s.Press(GLFW_KEY_ENTER);
    ASSERT_EQ(s.App()->m_optionsOpen, 1);
    for (int i = 0; i < 40 && s.App()->m_optionsSlide < 30; ++i) s.Update();
    s.Update();  // the first update fully in clears the box's latches
    ASSERT_EQ(s.App()->m_optionsSlide, 30);
}

// Number of image records of a slot and frame, optionally at a position.
inline int CountImages(Scenario& s, int slot, int frame, float x = NOVALUE, float y = NOVALUE) {
    int n = 0;
    for (const Scenario::Record& r : s.Records()) {
        if (r.kind != slot || r.frame != frame) continue;
        if (x != NOVALUE && std::fabs(r.x - x) > 0.01f) continue;
        if (y != NOVALUE && std::fabs(r.y - y) > 0.01f) continue;
        ++n;
    }
    return n;
}

}  // namespace overlay
