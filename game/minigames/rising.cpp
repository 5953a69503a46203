// Zuzo Variru: a runner waggles left and right to gain speed past the dead
// that rise through the screen. Player record 0 is the runner; object record
// i is dead i.
#include <cmath>

#include "game/myapp.h"

namespace {
// The runner: world x, run counter, the side the next waggle needs (1 right,
// -1 left), speed, and the furthest dead passed.
enum { RUNNER_X = 1, RUNNER_RUN = 3, RUNNER_SIDE = 5, RUNNER_SPEED = 6, RUNNER_PASSED = 10 };
// A dead: in use, world x, screen y.
enum { DEAD_IN_USE = 0, DEAD_X = 1, DEAD_Y = 2 };

const int kLastDead = 10000;
}

int c_MyApp::p_GameTitle_Rising() {
    return p_GameTitle(String("Dead"), String("Rising"), String("Waggle your joystick"), String("to build up speed."),
                       String("Avoid the dead,"), String("as they rise."));
}

int c_MyApp::p_LoadGame_Rising() {
    p_CommonSetup(1);
    p_ClearObjects();
    // Groups of four share one x; the groups stand 96 to 148 pixels apart.
    float x = 0;
    for (int i = 0; i <= kLastDead; ++i) {
        float* dead = m_objects.Data() + OBJECT_STRIDE * i;
        dead[DEAD_IN_USE] = 1;
        dead[DEAD_X] = x;
        dead[DEAD_Y] = bb_random_Rnd2(0, bb_Game_jscrh);
        if (i % 4 == 3) x = static_cast<float>(static_cast<int>(x + bb_random_Rnd2(96, 148)));
    }
    m_camX = m_camY = m_camTargetX = m_camTargetY = 0;

    Array<float>& p = m_players;
    p[RUNNER_X] = -128;
    p[RUNNER_RUN] = 0;
    p[RUNNER_SIDE] = 1;
    p[RUNNER_SPEED] = 0;
    p[RUNNER_PASSED] = 0;
    return 0;
}

// While paused nothing moves; after the end the runner stands and the dead
// keep rising.
int c_MyApp::p_Game_Rising() {
    Array<float>& p = m_players;
    const bool moving = m_paused == 0;
    const float ground = 0.75f * bb_Game_jscrh;
    const float ov = bb_Game_overscan;

    p_CLS2D(0, 0, 128, 1);
    p_CameraEase();
    m_camTargetX = p[RUNNER_X] - 0.3f * bb_Game_jscrw;
    p_DoStars(m_camDX, m_camDY);

    p_SetCol(0, 255, 0);
    p_Rect(-(4 * ov + 32), ground, bb_Game_jscrw + 8 * ov + 64, 200);

    p_SetCol(255, 255, 255);
    const int stride = static_cast<int>(std::fmod(p[RUNNER_RUN] * 0.25f, 4.0f));
    p_DrawImg(IMG_SPRITES, p[RUNNER_X] - m_camX, ground - 8, 16 + stride);

    if (moving) {
        if (m_gameOver == 0) p[RUNNER_X] += p[RUNNER_SPEED] * 0.25f;
        p[RUNNER_RUN] += std::fmod(p[RUNNER_SPEED] * 0.25f, 16.0f);

        // Speed comes only from alternating sides; both sides may step in one update.
        float stick = p_StickX(0, 0);
        bool left = p_PlayKeyAll(CTRL_LEFT, 1) > 0;
        bool right = p_PlayKeyAll(CTRL_RIGHT, 1) > 0;
        bool b = p_PlayKeyAll(CTRL_B, 1) > 0;
        bool x = p_PlayKeyAll(CTRL_X, 1) > 0;
        bool pointer = m_mouseDown > 0;
        if (stick > 0.3f || (right && !left) || (b && !x) || (pointer && m_mouseX > 0.5f * bb_Game_jscrw)) {
            if (p[RUNNER_SIDE] == 1) {
                p[RUNNER_SPEED] += 3;
                p[RUNNER_SIDE] = -1;
            }
        }
        if (stick < -0.3f || (left && !right) || (!b && x) || (pointer && m_mouseX < 0.5f * bb_Game_jscrw)) {
            if (p[RUNNER_SIDE] == -1) {
                p[RUNNER_SPEED] += 3;
                p[RUNNER_SIDE] = 1;
            }
        }

        if (p[RUNNER_SPEED] > 16) {
            p[RUNNER_SPEED] = 15.7f;
        } else if (p[RUNNER_SPEED] > 0) {
            p[RUNNER_SPEED] -= 0.3f;
            if (p[RUNNER_SPEED] < 0) p[RUNNER_SPEED] = 0;
        }
    }

    const float runnerY = ground - 8;
    for (int i = 0; i <= kLastDead; ++i) {
        float* dead = m_objects.Data() + OBJECT_STRIDE * i;
        float& y = dead[DEAD_Y];
        const float dx = dead[DEAD_X];
        if (moving) {
            y -= 2;
            if (y < -32) y += bb_Game_jscrh + 64;
            if (dx < p[RUNNER_X] - 16 && i > p[RUNNER_PASSED]) {
                p[RUNNER_PASSED] = static_cast<float>(i);
                p_PlaySFX(SFX_CONFIRM, 1, 1, 0);
            }
        }
        float sx = dx - m_camX;
        if (sx > -128 && sx < bb_Game_jscrw + 128) {
            p_DrawImg(IMG_SPRITES, sx, y, 20);
            if (moving && std::fabs(p[RUNNER_X] - dx) < 8 && std::fabs(y - runnerY) < 10) {
                if (m_gameOver == 0) p_PlaySFX(SFX_LOSE, 1, 1, 0);
                m_gameOver = 1;
            }
        }
    }

    m_score = static_cast<int>(p[RUNNER_PASSED]);
    p_ScoreBar();
    return 0;
}
