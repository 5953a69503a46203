// Duze zuz Izora: a top-down road race on a winding road laid row by row.
// Player record 0 is the car and the road builder; the road is m_objects
// 0..50 (row centres, row 0 the newest) and kStripes + 0..50 (row stripes).
#include <cmath>

#include "game/myapp.h"

namespace {
// The car: x, speed, steering velocity, health.
enum { CAR_X = 1, CAR_SPEED = 2, CAR_STEER = 3, CAR_HEALTH = 5 };
// The road builder: the last row's number (its seed), the next row's centre,
// the drift of the centre per row, the stripe toggle, and the scroll offset.
enum { ROW_NUMBER = 15, NEXT_CENTRE = 20, DRIFT = 21, STRIPE_TOGGLE = 22, SCROLL = 24 };

const int kStripes = 100;  // where the rows' stripes start in m_objects
const int kLastRow = 50;
const float kHalfRoad = 52;
}

int c_MyApp::p_GameTitle_ZUR() {
    return p_GameTitle(String("Need for"), String("Speed"), String("Do you have"), String("what it takes"),
                       String("to get far"), String("in the race?"));
}

// Lays the next row on top of the road. Each row re-seeds the generator from
// its number, so every game runs on the same road.
int c_MyApp::p_ZUR_Lay() {
    Array<float>& p = m_players;
    Array<float>& o = m_objects;
    p[ROW_NUMBER] += 1;
    bb_random_Seed = static_cast<int>(p[ROW_NUMBER]);
    for (int k = 0; k < 20; ++k) bb_random_Rnd();

    for (int j = kLastRow - 1; j >= 0; --j) {
        o[j + 1] = o[j];
        o[kStripes + j + 1] = o[kStripes + j];
    }
    o[0] = p[NEXT_CENTRE];
    o[kStripes] = p[STRIPE_TOGGLE];
    p[STRIPE_TOGGLE] += 1;
    if (p[STRIPE_TOGGLE] > 1) p[STRIPE_TOGGLE] = 0;

    float c = p[NEXT_CENTRE] + p[DRIFT];
    if (c < kHalfRoad) {
        p[NEXT_CENTRE] = kHalfRoad;
        p[DRIFT] = bb_random_Rnd2(0.2f, 5);
    } else {
        p[NEXT_CENTRE] = c;
    }
    if (p[NEXT_CENTRE] > bb_Game_jscrw - kHalfRoad) {
        p[NEXT_CENTRE] = bb_Game_jscrw - kHalfRoad;
        p[DRIFT] = bb_random_Rnd2(0.2f, 5);
    }
    if (bb_random_Rnd2(0, 20) < 1) p[DRIFT] = bb_random_Rnd2(-5, 5);
    return 0;
}

int c_MyApp::p_LoadGame_ZUR() {
    p_CommonSetup(0);
    p_ClearObjects();
    Array<float>& p = m_players;
    p[DRIFT] = 0;
    p[STRIPE_TOGGLE] = 180;
    p[ROW_NUMBER] = 12345;
    p[NEXT_CENTRE] = bb_Game_jscrw / 2;
    // The road on screen starts straight and centred.
    for (int k = 0; k <= kLastRow; ++k) {
        p_ZUR_Lay();
        p[DRIFT] = 0;
        p[NEXT_CENTRE] = bb_Game_jscrw / 2;
    }
    p[SCROLL] = 0;
    p[CAR_X] = bb_Game_jscrw / 2;
    p[CAR_STEER] = 0;
    p[CAR_HEALTH] = 100;
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
        float v = p[CAR_STEER] + 0.6f * m_analogX;
        if (std::fabs(m_analogX) < 0.15f) {
            if (v > 0) v = bb_math_Max2(v - 0.9f, 0);
            else if (v < 0) v = bb_math_Min2(v + 0.9f, 0);
        }
        v = bb_math_Clamp2(v, -12, 12);
        p[CAR_STEER] = v;
        p[CAR_X] += v;

        if (p_PlayKeyAll(CTRL_UP, 1) || p_PlayKeyAll(CTRL_A, 1)) p[CAR_SPEED] += 0.1f;
        else p[CAR_SPEED] -= 0.03f;
        p[CAR_SPEED] = bb_math_Clamp2(p[CAR_SPEED], 0, 9.5f);
    }

    if (!paused && m_gameOver == 0) {
        p[SCROLL] += p[CAR_SPEED];
        if (p[SCROLL] > 6) {
            p[SCROLL] -= 12;
            p_ZUR_Lay();
            m_score += 1;
        }
    }

    for (int j = 0; j <= kLastRow; ++j) {
        float y = 12 * j - 24 + p[SCROLL];
        if (!(y > -64 && y < bb_Game_jscrh + 64)) continue;
        const float c = o[j];
        const float stripe = o[kStripes + j];
        if (stripe == 1) p_SetCol(128, 128, 255);
        else p_SetCol(128, 128, 128);
        p_Rect(c - kHalfRoad, y - 6, 2 * kHalfRoad, 12);
        p_SetCol(255, 255, 255);
        // A row laid before the stripe toggle settled has no kerb frames of
        // its own: it stays a plain grey row.
        if (stripe == 0 || stripe == 1) {
            p_DrawImg(IMG_SPRITES, c - kHalfRoad, y, 68 + stripe);
            p_DrawImg(IMG_SPRITES, c + kHalfRoad, y, 69 - stripe);
        }
        if (std::fabs(y - carY) < 14 && m_gameOver == 0 && !paused) {
            if (p[CAR_X] < c - kHalfRoad || p[CAR_X] > c + kHalfRoad) {
                p[CAR_HEALTH] -= 1;
                p_PlaySFX(SFX_CRASH, 0.5f + bb_random_Rnd(), 0.15f, 0);
            }
        }
    }

    p_SetCol(255, 255, 255);
    p_DrawImg(IMG_SPRITES, p[CAR_X], carY, 64);

    p_ScoreBar();
    // The end test belongs to the HUD: with it hidden the race runs on.
    if (m_hideHud == 0) {
        p_SetCol(255, 255, 255);
        p_SetSize(1, 1);
        int health = bb_math_Clamp(static_cast<int>(p[CAR_HEALTH]), 0, 100);
        p_Text(64, 8, String("Health : ") + p_rstr(health, 3, String("0")) + String("%"), 0, 0);
        if (p[CAR_HEALTH] < 0 && m_gameOver == 0 && !paused) {
            m_gameOver = 1;
            p_PlaySFX(SFX_LOSE, 1, 1, 0);
        }
    }
    return 0;
}
