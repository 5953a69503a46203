// Helpers shared by the overlay tests: reaching a running game, opening the
// options box over it, and finding image records in the draw list.
#pragma once
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "testing/scenario.h"

namespace overlay {

// From boot into play of the template game, which never ends on its own.
inline c_MyApp* StartGame(Scenario& s) {
    s.ToMenu();
    s.App()->m_game = 8;
    s.App()->m_mode = MODE_ENTER_TITLE;
    s.Step(102);
    s.Press(GLFW_KEY_ENTER);
    s.Step();
    EXPECT_TRUE(s.App()->m_mode == MODE_PLAYING && s.App()->m_paused == 0);
    return s.App();
}

// Pause, move the cursor to the gear, confirm, and wait for the box to be in
// (the first update fully in clears the box's latches).
inline void OpenOptions(Scenario& s) {
    for (int key : {GLFW_KEY_ESCAPE, GLFW_KEY_RIGHT, GLFW_KEY_ENTER}) s.Press(key);
    ASSERT_EQ(s.App()->m_optionsOpen, 1);
    s.Update(31);
    ASSERT_EQ(s.App()->m_optionsSlide, 30);
}

// Whether an image of a slot and frame is drawn at a position.
inline bool Drawn(Scenario& s, int slot, int frame, float x, float y) {
    for (const Scenario::Record& r : s.Records())
        if (r.kind == slot && r.frame == frame && r.x == x && r.y == y) return true;
    return false;
}

}  // namespace overlay
