// Zuzo Variru: a runner waggles left and right to gain speed past the dead
// that rise through the screen. Player record 0 is the runner (1 x, 3 run
// counter, 5 side the next waggle needs, 6 speed, 10 furthest dead passed);
// object record i is dead i (0 in use, 1 x, 2 y).
#include <cmath>

#include "game/myapp.h"

namespace {
const int kLastDead = 10000;
}

int c_MyApp::p_GameTitle_Rising() {
    return p_GameTitle(String("Dead"), String("Rising"), String("Waggle your joystick"), String("to build up speed."), String("Avoid the dead,"), String("as they rise."));
}

int c_MyApp::p_LoadGame_Rising() {
    p_CommonSetup(1);
    p_ClearObjects();
    Array<float>& o = m_objects;
    // Groups of four share one x; the groups stand 96 to 148 pixels apart.
    float x = 0;
    for (int i = 0; i <= kLastDead; ++i) {
        o[10 * i] = 1;
        o[10 * i + 1] = x;
        o[10 * i + 2] = bb_random_Rnd2(0, bb_Game_jscrh);
        if (i % 4 == 3) x = static_cast<float>(static_cast<int>(x + bb_random_Rnd2(96, 148)));
    }
    m_camX = m_camY = m_camTargetX = m_camTargetY = 0;

    Array<float>& p = m_players;
    p[1] = -128;
    p[3] = 0;
    p[5] = 1;
    p[6] = 0;
    p[10] = 0;
    return 0;
}

// While paused nothing moves; after the end the runner stands and the dead
// keep rising.
int c_MyApp::p_Game_Rising() {
    Array<float>& p = m_players;
    Array<float>& o = m_objects;
    const bool moving = m_paused == 0;
    const float ground = 0.75f * bb_Game_jscrh;
    const float ov = bb_Game_overscan;

    p_CLS2D(0, 0, 128, 1);
    p_CameraEase();
    m_camTargetX = p[1] - 0.3f * bb_Game_jscrw;
    p_DoStars(m_camDX, m_camDY);

    p_SetCol(0, 255, 0);
    p_Rect(-(4 * ov + 32), ground, bb_Game_jscrw + 8 * ov + 64, 200);

    p_SetCol(255, 255, 255);
    p_DrawImg(1, p[1] - m_camX, ground - 8, 16 + static_cast<int>(std::fmod(p[3] * 0.25f, 4.0f)));

    if (moving) {
        if (m_gameOver == 0) p[1] += p[6] * 0.25f;
        p[3] += std::fmod(p[6] * 0.25f, 16.0f);

        // Speed comes only from alternating sides; both sides may step in one update.
        float stick = p_StickX(0, 0);
        bool left = p_PlayKeyAll(CTRL_LEFT, 1) > 0;
        bool right = p_PlayKeyAll(CTRL_RIGHT, 1) > 0;
        bool b = p_PlayKeyAll(CTRL_B, 1) > 0;
        bool x = p_PlayKeyAll(CTRL_X, 1) > 0;
        bool pointer = m_mouseDown > 0;
        if (stick > 0.3f || (right && !left) || (b && !x) || (pointer && m_mouseX > 0.5f * bb_Game_jscrw)) {
            if (p[5] == 1) {
                p[6] += 3;
                p[5] = -1;
            }
        }
        if (stick < -0.3f || (left && !right) || (!b && x) || (pointer && m_mouseX < 0.5f * bb_Game_jscrw)) {
            if (p[5] == -1) {
                p[6] += 3;
                p[5] = 1;
            }
        }

        if (p[6] > 16) {
            p[6] = 15.7f;
        } else if (p[6] > 0) {
            p[6] -= 0.3f;
            if (p[6] < 0) p[6] = 0;
        }
    }

    const float runnerY = ground - 8;
    for (int i = 0; i <= kLastDead; ++i) {
        float& y = o[10 * i + 2];
        const float dx = o[10 * i + 1];
        if (moving) {
            y -= 2;
            if (y < -32) y += bb_Game_jscrh + 64;
            if (dx < p[1] - 16 && i > p[10]) {
                p[10] = static_cast<float>(i);
                p_PlaySFX(99, 1, 1, 0);
            }
        }
        float sx = dx - m_camX;
        if (sx > -128 && sx < bb_Game_jscrw + 128) {
            p_DrawImg(1, sx, y, 20);
            if (moving && std::fabs(p[1] - dx) < 8 && std::fabs(y - runnerY) < 10) {
                if (m_gameOver == 0) p_PlaySFX(2, 1, 1, 0);
                m_gameOver = 1;
            }
        }
    }

    m_score = static_cast<int>(p[10]);
    p_ScoreBar();
    return 0;
}
