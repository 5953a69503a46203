// Ridera Didud: a one-against-one ball game against the clock on a pitch
// whose single goal jumps elsewhere whenever the ball reaches it. Player
// record 0 holds three bodies of ten floats (0 the player, 10 the enemy, 20
// the ball: +1 x, +2 y, +3 and +4 velocity, +5 facing), the goal counts (7
// and 17), the timer (20), the last toucher (25), the touches left before
// the ball is re-centred (26) and the goal (31, 32).
#include <cmath>

#include "game/myapp.h"

namespace {
enum { PLAYER = 0, ENEMY = 10, BALL = 20 };
enum { TOUCHED_NOBODY = 0, TOUCHED_PLAYER = 1, TOUCHED_ENEMY = 2 };
const float kMaxSpeed = 8;
const float kFriction = 0.2f;

float TowardZero(float v, float step) {
    if (v > 0) return bb_math_Max2(v - step, 0);
    if (v < 0) return bb_math_Min2(v + step, 0);
    return v;
}
}  // namespace

int c_MyApp::p_GameTitle_Football() {
    return p_GameTitle(String("Battle"), String("Field"), String("How many goals"), String("can you score"), String("against the"), String("enemy team."));
}

int c_MyApp::p_LoadGame_Football() {
    p_CommonSetup(1);
    p_ClearObjects();
    m_camX = m_camY = m_camTargetX = m_camTargetY = 0;
    Array<float>& p = m_players;
    const float w = bb_Game_jscrw, h = bb_Game_jscrh;
    p[PLAYER + 1] = 0.25f * w;
    p[PLAYER + 2] = 0.6f * h;
    p[PLAYER + 3] = p[PLAYER + 4] = 0;
    p[PLAYER + 5] = 1;
    p[ENEMY + 1] = 0.75f * w;
    p[ENEMY + 2] = 0.6f * h;
    p[ENEMY + 3] = p[ENEMY + 4] = 0;
    p[ENEMY + 5] = -1;
    p[BALL + 1] = 0.5f * w;
    p[BALL + 2] = 0.6f * h;
    p[BALL + 3] = p[BALL + 4] = 0;
    p[25] = TOUCHED_NOBODY;
    p[31] = bb_random_Rnd2(32, w - 32);
    p[32] = bb_random_Rnd2(64, h - 32);
    p[20] = 3600;
    p[26] = 100;
    return 0;
}

// While paused nothing moves and the clock stands; after the end the bodies
// stand while the controls still push them.
int c_MyApp::p_Game_Football() {
    Array<float>& p = m_players;
    const float w = bb_Game_jscrw, h = bb_Game_jscrh;
    const bool paused = m_paused != 0;

    p_CLS2D(0, 128, 0, 1);
    p_CameraEase();

    if (!paused && p[26] < 0) {
        p[26] = 100;
        p[BALL + 1] = w / 2;
        p[BALL + 2] = 0.6f * h;
        p[BALL + 3] = p[BALL + 4] = 0;
        p[25] = TOUCHED_NOBODY;
    }

    if (!paused) {
        p_AnalogueControl();
        if (std::fabs(m_analogX) > 0.2f) p[PLAYER + 3] += 0.5f * m_analogX;
        if (std::fabs(m_analogY) > 0.2f) p[PLAYER + 4] += 0.5f * m_analogY;
    }
    p_SetCol(255, 255, 255, 1);
    p_SetSize(1, 1);

    // A goal counts for whoever touched the ball last; the ball stays put.
    p_SetSize(2, 2);
    p_DrawImg(1, p[31], p[32], 101);
    if (!paused && std::fabs(p[31] - p[BALL + 1]) < 30 && std::fabs(p[32] - p[BALL + 2]) < 30) {
        p[31] = bb_random_Rnd2(32, w - 32);
        p[32] = bb_random_Rnd2(64, h - 32);
        if (p[25] == TOUCHED_PLAYER) {
            p_PlaySFX(1, 1, 1, 0);
            p[7] += 1;
        } else if (p[25] == TOUCHED_ENEMY) {
            p_PlaySFX(2, 1, 1, 0);
            p[17] += 1;
        }
    }

    p_SetSize(1, 1);
    const int kickers[2] = {PLAYER, ENEMY};
    for (int k = 0; k < 2; ++k) {
        const int e = kickers[k];
        if (!paused && std::fabs(p[e + 1] - p[BALL + 1]) < 16 && std::fabs(p[e + 2] - p[BALL + 2]) < 16) {
            p[BALL + 3] = (p[BALL + 1] - p[e + 1]) * 0.5f;
            p[BALL + 4] = (p[BALL + 2] - p[e + 2]) * 0.5f;
            p[25] = e == PLAYER ? TOUCHED_PLAYER : TOUCHED_ENEMY;
            p[26] -= 1;
        }
    }

    for (int e = PLAYER; e <= BALL; e += 10) {
        if (!paused) {
            p[e + 3] = bb_math_Clamp2(p[e + 3], -kMaxSpeed, kMaxSpeed);
            p[e + 4] = bb_math_Clamp2(p[e + 4], -kMaxSpeed, kMaxSpeed);
            if (m_gameOver == 0) {
                // The enemy covers half its velocity: it is slower than the player.
                const float part = e == ENEMY ? 0.5f : 1.0f;
                p[e + 1] += p[e + 3] * part;
                p[e + 2] += p[e + 4] * part;
            }
            if (p[e + 1] < 8) {
                p[e + 1] = 8;
                p[e + 3] = std::fabs(p[e + 3]);
            }
            if (p[e + 2] < 48) {
                p[e + 2] = 48;
                p[e + 4] = std::fabs(p[e + 4]);
            }
            if (p[e + 1] > w - 8) {
                p[e + 1] = w - 8;
                p[e + 3] = -std::fabs(p[e + 3]);
            }
            if (p[e + 2] > h - 8) {
                p[e + 2] = h - 8;
                p[e + 4] = -std::fabs(p[e + 4]);
            }
            p[e + 3] = TowardZero(p[e + 3], kFriction);
            p[e + 4] = TowardZero(p[e + 4], kFriction);
        }

        if (e == BALL) {
            p_SetSize(2, 2);
            float frame = p[25] == TOUCHED_PLAYER ? 102 : (p[25] == TOUCHED_ENEMY ? 103 : 100);
            p_DrawImg(1, p[e + 1], p[e + 2] - 8, frame);
        } else {
            if (p[e + 3] < 0) p[e + 5] = -1;
            if (p[e + 3] > 0) p[e + 5] = 1;
            if (p[e + 5] == 0) p[e + 5] = 1;
            p_SetSize(2 * p[e + 5], 2);
            p_DrawImg(1, p[e + 1], p[e + 2], e == PLAYER ? 96 : 98);
        }
    }

    if (!paused) {
        // The enemy heads for the side of the ball away from the goal.
        const float side = p[ENEMY + 1] <= p[31] ? 3 : -3;
        const float tx = p[BALL + 1] + side, ty = p[BALL + 2] + 3;
        if (p[ENEMY + 1] < tx) p[ENEMY + 3] += 0.25f;
        else if (p[ENEMY + 1] > tx) p[ENEMY + 3] -= 0.25f;
        if (p[ENEMY + 2] < ty) p[ENEMY + 4] += 0.25f;
        else if (p[ENEMY + 2] > ty) p[ENEMY + 4] -= 0.25f;
    }

    p_EaseShownScore();

    if (!paused) p[20] -= 1;
    int seconds = static_cast<int>(std::floor(p[20] / 60));
    if (seconds < 0) {
        m_gameOver = 1;
        seconds = 0;
    }
    m_score = bb_math_Max(0, static_cast<int>(p[7] - p[17]));

    if (m_hideHud == 0) {
        p_ScoreBar();
        p_SetCol(128, 255, 128);
        p_SetSize(1, 1);
        p_Text(32, 8, String(p[7]) + String(" - ") + String(seconds) + String(" - ") + String(p[17]), 0, 0);
    }
    return 0;
}
