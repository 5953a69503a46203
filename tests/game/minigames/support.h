// Shared step of the mini-game tests: putting a game in play through its
// set-up screen. Sounds are read from the app's per-slot play counts.
#pragma once
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

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

}  // namespace mg
