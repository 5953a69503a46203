// Rev Urezov: a plane bombs a city of block towers flat so that it can land.
// The city is 16 columns by 7 rows at m_objects[100r + c] (0 empty, 1 intact,
// 2..30 crumbling); player record 0 is the plane (1 x, 2 altitude, 3 speed,
// 4 level speed, 5 propeller, 8 and 9 last position) and its bomb (10 in
// flight, 11 and 12 position, 13 fall speed).
#include <cmath>

#include "game/myapp.h"

namespace {
const int kColumns = 16;
const int kRows = 7;
}

int c_MyApp::p_GameTitle_Zevovever() {
    return p_GameTitle(String("Sky"), String("Lander"), String("Use your bombs"), String("to flatten the"), String("building work to"), String("allow you to land."));
}

// Starts a level: the plane back at the top left, half a pixel per update
// faster, over a new city of towers 2 to 7 blocks high.
int c_MyApp::p_NextLander() {
    Array<float>& p = m_players;
    Array<float>& o = m_objects;
    p[1] = 0;
    p[2] = 10;
    p[4] += 0.5f;
    p[3] = p[4];
    for (int c = 0; c < kColumns; ++c) {
        for (int r = 0; r < kRows; ++r) o[100 * r + c] = 0;
        int top = static_cast<int>(bb_random_Rnd2(0, 5.9f));
        for (int r = top; r < kRows; ++r) o[100 * r + c] = 1;
    }
    return 0;
}

int c_MyApp::p_LoadGame_Zevovever() {
    p_CommonSetup(1);
    p_ClearObjects();
    m_camX = m_camY = m_camTargetX = m_camTargetY = 0;
    // The first level runs at speed 1: one half-step below, then a level start.
    m_players[4] = 0.5f;
    p_NextLander();
    return 0;
}

// While paused nothing moves. From the update of the crash on the plane and
// the bomb stand still; the debris still crumbles.
int c_MyApp::p_Game_Zevovever() {
    Array<float>& p = m_players;
    Array<float>& o = m_objects;
    const bool paused = m_paused != 0;
    const float ground = bb_Game_jscrh - 24;
    const float ov = bb_Game_overscan;

    p_CLS2D(0, 128, 255, 1);
    p_CameraEase();

    bool standing = false;
    for (int c = 0; c < kColumns; ++c) {
        for (int r = 0; r < kRows; ++r) {
            float& cell = o[100 * r + c];
            const float x = 16 * c + bb_Game_jscrw / 2 - 124;
            const float y = 16 * r + bb_Game_jscrh - 128;
            if (cell > 1) {
                if (!paused) cell += 1;
                float jy = bb_random_Rnd2(-8, 8);
                float jx = bb_random_Rnd2(-8, 8);
                p_DrawImg(1, x + jx, y + jy, 53);
                if (cell > 30) cell = 0;
            } else if (cell == 1) {
                standing = true;
                p_DrawImg(1, x, y, 90);
                if (paused) continue;
                // The crash test uses where the plane was drawn last update.
                if (std::fabs(x - p[8]) < 24 && std::fabs(y - p[9]) < 12 && m_gameOver == 0) {
                    m_gameOver = 1;
                    p_PlaySFX(2, 1, 1, 0);
                }
                if (p[10] == 1 && std::fabs(x - p[11]) < 16 && std::fabs(y - p[12]) < 16) {
                    cell = 2;
                    p[10] = 0;
                    p_PlaySFX(3, 1, 1, 0);
                    m_score += 1;
                }
            }
        }
    }
    const bool moving = !paused && m_gameOver == 0;

    p_SetCol(0, 128, 0);
    p_Rect(-(4 * ov + 64), ground, bb_Game_jscrw + 8 * ov + 128, 24);
    p_SetCol(255, 255, 255);

    if (moving) {
        p[1] += p[3];
        if (p[1] > bb_Game_jscrw) {
            p[1] -= bb_Game_jscrw;
            p[2] -= 0.5f;
        }
    }

    if (!paused) p[5] = std::fmod(p[5] + 1, 15.0f);
    int blade = static_cast<int>(std::fmod(p[5] / 3, 5.0f));
    float py = static_cast<float>(static_cast<int>(bb_Game_jscrh - 16 * p[2]));
    p_DrawImg(1, p[1], py, static_cast<float>(80 + 2 * blade));
    p_DrawImg(1, p[1] + 16, py, static_cast<float>(81 + 2 * blade));

    // With the city flat the plane glides down toward the middle and lands.
    if (!standing && !paused) {
        p[2] -= 0.05f;
        py = static_cast<float>(static_cast<int>(bb_Game_jscrh - 16 * p[2]));
        if (py < ground) p[1] -= (p[1] - bb_Game_jscrw / 2) * 0.0625f;
        if (py > ground) {
            p_PlaySFX(1, 1, 1, 0);
            p_NextLander();
            // The plane is back at the top: the next crash test and a bomb
            // dropped now start from there, not from the landing strip.
            py = static_cast<float>(static_cast<int>(bb_Game_jscrh - 16 * p[2]));
        }
    }

    if (p[10] == 1 && moving) {
        p[12] += p[13];
        if (p[13] < 3) p[13] += 0.1f;
        p_DrawImg(1, p[11], p[12], 52);
        if (p[12] > ground) {
            p[10] = 0;
            p_PlaySFX(3, 1, 1, 0);
        }
    }

    p[8] = p[1];
    p[9] = py;

    // One bomb at a time, each needing a fresh press.
    bool drop = m_mouseDown >= 1 || p_PlayKeyAll(CTRL_DOWN, 1) || p_PlayKeyAll(CTRL_A, 1) ||
                p_PlayKeyAll(CTRL_B, 1) || p_PlayKeyAll(CTRL_X, 1);
    if (!paused && drop && m_keyLatch == 0 && m_touchLatch == 0 && p[10] == 0) {
        m_keyLatch = m_touchLatch = 1;
        p[10] = 1;
        p[11] = p[1] + 16;
        p[12] = py;
        p[13] = 0;
    }

    p_ScoreBar();
    return 0;
}
