// Duze zuz Izora: a top-down road race on a winding road laid row by row.
// Player record 0 is the car (1 x, 2 speed, 3 steering, 5 health) and the
// road builder (15 last row number, 20 next centre, 21 drift, 22 stripe
// toggle, 24 scroll offset); the road is m_objects 0..50 (row centres, row 0
// the newest) and 100..150 (row stripes).
#include <cmath>

#include "game/myapp.h"

namespace {
const int kLastRow = 50;
const float kHalfRoad = 52;
}

int c_MyApp::p_GameTitle_ZUR() {
    return p_GameTitle(String("Need for"), String("Speed"), String("Do you have"), String("what it takes"), String("to get far"), String("in the race?"));
}

// Lays the next row on top of the road. Each row re-seeds the generator from
// its number, so every game runs on the same road.
int c_MyApp::p_ZUR_Lay() {
    Array<float>& p = m_players;
    Array<float>& o = m_objects;
    p[15] += 1;
    bb_random_Seed = static_cast<int>(p[15]);
    for (int k = 0; k < 20; ++k) bb_random_Rnd();

    for (int j = kLastRow - 1; j >= 0; --j) {
        o[j + 1] = o[j];
        o[101 + j] = o[100 + j];
    }
    o[0] = p[20];
    o[100] = p[22];
    p[22] += 1;
    if (p[22] > 1) p[22] = 0;

    float c = p[20] + p[21];
    if (c < kHalfRoad) {
        p[20] = kHalfRoad;
        p[21] = bb_random_Rnd2(0.2f, 5);
    } else {
        p[20] = c;
    }
    if (p[20] > bb_Game_jscrw - kHalfRoad) {
        p[20] = bb_Game_jscrw - kHalfRoad;
        p[21] = bb_random_Rnd2(0.2f, 5);
    }
    if (bb_random_Rnd2(0, 20) < 1) p[21] = bb_random_Rnd2(-5, 5);
    return 0;
}

int c_MyApp::p_LoadGame_ZUR() {
    p_CommonSetup(0);
    p_ClearObjects();
    Array<float>& p = m_players;
    p[21] = 0;
    p[22] = 180;
    p[15] = 12345;
    p[20] = bb_Game_jscrw / 2;
    // The road on screen starts straight and centred.
    for (int k = 0; k <= kLastRow; ++k) {
        p_ZUR_Lay();
        p[21] = 0;
        p[20] = bb_Game_jscrw / 2;
    }
    p[24] = 0;
    p[1] = bb_Game_jscrw / 2;
    p[3] = 0;
    p[5] = 100;
    m_camX = m_camY = m_camTargetX = m_camTargetY = 0;
    return 0;
}

// While paused nothing moves; after the end the road stands still and the
// car still steers.
int c_MyApp::p_Game_ZUR() {
    Array<float>& p = m_players;
    Array<float>& o = m_objects;
    const bool paused = m_paused != 0;
    const float carY = bb_Game_jscrh - 32;

    p_CLS2D(0, 128, 0, 1);
    p_CameraEase();
    if (!paused) p_AnalogueControl();
    p_SetCol(255, 255, 255, 1);
    p_SetSize(1, 1);

    if (!paused) {
        // Steering builds up and settles back once the stick is near the centre.
        float v = p[3] + 0.6f * m_analogX;
        if (std::fabs(m_analogX) < 0.15f) {
            if (v > 0) v = bb_math_Max2(v - 0.9f, 0);
            else if (v < 0) v = bb_math_Min2(v + 0.9f, 0);
        }
        v = bb_math_Clamp2(v, -12, 12);
        p[3] = v;
        p[1] += v;

        if (p_PlayKeyAll(CTRL_UP, 1) || p_PlayKeyAll(CTRL_A, 1)) p[2] += 0.1f;
        else p[2] -= 0.03f;
        p[2] = bb_math_Clamp2(p[2], 0, 9.5f);
    }

    if (!paused && m_gameOver == 0) {
        p[24] += p[2];
        if (p[24] > 6) {
            p[24] -= 12;
            p_ZUR_Lay();
            m_score += 1;
        }
    }

    for (int j = 0; j <= kLastRow; ++j) {
        float y = 12 * j - 24 + p[24];
        if (!(y > -64 && y < bb_Game_jscrh + 64)) continue;
        const float c = o[j];
        const float stripe = o[100 + j];
        if (stripe == 1) p_SetCol(128, 128, 255);
        else p_SetCol(128, 128, 128);
        p_Rect(c - kHalfRoad, y - 6, 2 * kHalfRoad, 12);
        p_SetCol(255, 255, 255);
        // A row laid before the stripe toggle settled has no kerb frames of
        // its own: it stays a plain grey row.
        if (stripe == 0 || stripe == 1) {
            p_DrawImg(1, c - kHalfRoad, y, 68 + stripe);
            p_DrawImg(1, c + kHalfRoad, y, 69 - stripe);
        }
        if (std::fabs(y - carY) < 14 && m_gameOver == 0 && !paused) {
            if (p[1] < c - kHalfRoad || p[1] > c + kHalfRoad) {
                p[5] -= 1;
                p_PlaySFX(3, 0.5f + bb_random_Rnd(), 0.15f, 0);
            }
        }
    }

    p_SetCol(255, 255, 255);
    p_DrawImg(1, p[1], carY, 64);

    p_ScoreBar();
    // The end test belongs to the HUD: with it hidden the race runs on.
    if (m_hideHud == 0) {
        p_SetCol(255, 255, 255);
        p_SetSize(1, 1);
        int health = bb_math_Clamp(static_cast<int>(p[5]), 0, 100);
        p_Text(64, 8, String("Health : ") + p_rstr(health, 3, String("0")) + String("%"), 0, 0);
        if (p[5] < 0 && m_gameOver == 0 && !paused) {
            m_gameOver = 1;
            p_PlaySFX(2, 1, 1, 0);
        }
    }
    return 0;
}
