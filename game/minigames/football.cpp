// Ridera Didud: a one-against-one ball game against the clock on a pitch
// whose single goal jumps elsewhere whenever the ball reaches it. Player
// record 0 holds everything: three bodies of ten floats and the match.
#include <cmath>

#include "game/myapp.h"

namespace {
// The bodies, ten floats each from these offsets, and their fields: place,
// velocity, and for the two players the facing (1 right, -1 left).
enum { PLAYER = 0, ENEMY = 10, BALL = 20 };
enum { BODY_X = 1, BODY_Y = 2, BODY_VX = 3, BODY_VY = 4, BODY_FACING = 5 };
// The match: the goal counts, the timer in updates, who touched the ball
// last, the touches left before the ball is re-centred, and the goal.
enum {
    PLAYER_GOALS = FOOTBALL_PLAYER_GOALS,
    ENEMY_GOALS = FOOTBALL_ENEMY_GOALS,
    TIMER = 20,
    TOUCHED_BY = 25,
    TOUCHES_LEFT = 26,
    GOAL_X = 31,
    GOAL_Y = 32
};
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
    return p_GameTitle(String("Battle"), String("Field"), String("How many goals"), String("can you score"),
                       String("against the"), String("enemy team."));
}

int c_MyApp::p_LoadGame_Football() {
    p_CommonSetup(1);
    p_ClearObjects();
    m_camX = m_camY = m_camTargetX = m_camTargetY = 0;
    Array<float>& p = m_players;
    const float w = bb_Game_jscrw, h = bb_Game_jscrh;
    p[PLAYER + BODY_X] = 0.25f * w;
    p[PLAYER + BODY_Y] = 0.6f * h;
    p[PLAYER + BODY_VX] = p[PLAYER + BODY_VY] = 0;
    p[PLAYER + BODY_FACING] = 1;
    p[ENEMY + BODY_X] = 0.75f * w;
    p[ENEMY + BODY_Y] = 0.6f * h;
    p[ENEMY + BODY_VX] = p[ENEMY + BODY_VY] = 0;
    p[ENEMY + BODY_FACING] = -1;
    p[BALL + BODY_X] = 0.5f * w;
    p[BALL + BODY_Y] = 0.6f * h;
    p[BALL + BODY_VX] = p[BALL + BODY_VY] = 0;
    p[TOUCHED_BY] = TOUCHED_NOBODY;
    p[GOAL_X] = bb_random_Rnd2(32, w - 32);
    p[GOAL_Y] = bb_random_Rnd2(64, h - 32);
    p[TIMER] = 3600;
    p[TOUCHES_LEFT] = 100;
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

    if (!paused && p[TOUCHES_LEFT] < 0) {
        p[TOUCHES_LEFT] = 100;
        p[BALL + BODY_X] = w / 2;
        p[BALL + BODY_Y] = 0.6f * h;
        p[BALL + BODY_VX] = p[BALL + BODY_VY] = 0;
        p[TOUCHED_BY] = TOUCHED_NOBODY;
    }

    if (!paused) {
        p_AnalogueControl();
        if (std::fabs(m_analogX) > 0.2f) p[PLAYER + BODY_VX] += 0.5f * m_analogX;
        if (std::fabs(m_analogY) > 0.2f) p[PLAYER + BODY_VY] += 0.5f * m_analogY;
    }
    p_SetCol(255, 255, 255, 1);
    p_SetSize(1, 1);

    // A goal counts for whoever touched the ball last; the ball stays put.
    p_SetSize(2, 2);
    p_DrawImg(IMG_SPRITES, p[GOAL_X], p[GOAL_Y], 101);
    if (!paused && std::fabs(p[GOAL_X] - p[BALL + BODY_X]) < 30 && std::fabs(p[GOAL_Y] - p[BALL + BODY_Y]) < 30) {
        p[GOAL_X] = bb_random_Rnd2(32, w - 32);
        p[GOAL_Y] = bb_random_Rnd2(64, h - 32);
        if (p[TOUCHED_BY] == TOUCHED_PLAYER) {
            p_PlaySFX(SFX_POINT, 1, 1, 0);
            p[PLAYER_GOALS] += 1;
        } else if (p[TOUCHED_BY] == TOUCHED_ENEMY) {
            p_PlaySFX(SFX_LOSE, 1, 1, 0);
            p[ENEMY_GOALS] += 1;
        }
    }

    p_SetSize(1, 1);
    const int kickers[2] = {PLAYER, ENEMY};
    for (int k = 0; k < 2; ++k) {
        const int e = kickers[k];
        const bool touching =
            std::fabs(p[e + BODY_X] - p[BALL + BODY_X]) < 16 && std::fabs(p[e + BODY_Y] - p[BALL + BODY_Y]) < 16;
        if (!paused && touching) {
            p[BALL + BODY_VX] = (p[BALL + BODY_X] - p[e + BODY_X]) * 0.5f;
            p[BALL + BODY_VY] = (p[BALL + BODY_Y] - p[e + BODY_Y]) * 0.5f;
            p[TOUCHED_BY] = e == PLAYER ? TOUCHED_PLAYER : TOUCHED_ENEMY;
            p[TOUCHES_LEFT] -= 1;
        }
    }

    for (int e = PLAYER; e <= BALL; e += 10) {
        if (!paused) {
            p[e + BODY_VX] = bb_math_Clamp2(p[e + BODY_VX], -kMaxSpeed, kMaxSpeed);
            p[e + BODY_VY] = bb_math_Clamp2(p[e + BODY_VY], -kMaxSpeed, kMaxSpeed);
            if (m_gameOver == 0) {
                // The enemy covers half its velocity: it is slower than the player.
                const float part = e == ENEMY ? 0.5f : 1.0f;
                p[e + BODY_X] += p[e + BODY_VX] * part;
                p[e + BODY_Y] += p[e + BODY_VY] * part;
            }
            if (p[e + BODY_X] < 8) {
                p[e + BODY_X] = 8;
                p[e + BODY_VX] = std::fabs(p[e + BODY_VX]);
            }
            if (p[e + BODY_Y] < 48) {
                p[e + BODY_Y] = 48;
                p[e + BODY_VY] = std::fabs(p[e + BODY_VY]);
            }
            if (p[e + BODY_X] > w - 8) {
                p[e + BODY_X] = w - 8;
                p[e + BODY_VX] = -std::fabs(p[e + BODY_VX]);
            }
            if (p[e + BODY_Y] > h - 8) {
                p[e + BODY_Y] = h - 8;
                p[e + BODY_VY] = -std::fabs(p[e + BODY_VY]);
            }
            p[e + BODY_VX] = TowardZero(p[e + BODY_VX], kFriction);
            p[e + BODY_VY] = TowardZero(p[e + BODY_VY], kFriction);
        }

        if (e == BALL) {
            p_SetSize(2, 2);
            float frame = p[TOUCHED_BY] == TOUCHED_PLAYER ? 102 : (p[TOUCHED_BY] == TOUCHED_ENEMY ? 103 : 100);
            p_DrawImg(IMG_SPRITES, p[e + BODY_X], p[e + BODY_Y] - 8, frame);
        } else {
            if (p[e + BODY_VX] < 0) p[e + BODY_FACING] = -1;
            if (p[e + BODY_VX] > 0) p[e + BODY_FACING] = 1;
            if (p[e + BODY_FACING] == 0) p[e + BODY_FACING] = 1;
            p_SetSize(2 * p[e + BODY_FACING], 2);
            p_DrawImg(IMG_SPRITES, p[e + BODY_X], p[e + BODY_Y], e == PLAYER ? 96 : 98);
        }
    }

    if (!paused) {
        // The enemy heads for the side of the ball away from the goal.
        const float side = p[ENEMY + BODY_X] <= p[GOAL_X] ? 3 : -3;
        const float tx = p[BALL + BODY_X] + side, ty = p[BALL + BODY_Y] + 3;
        if (p[ENEMY + BODY_X] < tx) p[ENEMY + BODY_VX] += 0.25f;
        else if (p[ENEMY + BODY_X] > tx) p[ENEMY + BODY_VX] -= 0.25f;
        if (p[ENEMY + BODY_Y] < ty) p[ENEMY + BODY_VY] += 0.25f;
        else if (p[ENEMY + BODY_Y] > ty) p[ENEMY + BODY_VY] -= 0.25f;
    }

    p_EaseShownScore();

    if (!paused) p[TIMER] -= 1;
    int seconds = static_cast<int>(std::floor(p[TIMER] / 60));
    if (seconds < 0) {
        m_gameOver = 1;
        seconds = 0;
    }
    m_score = bb_math_Max(0, static_cast<int>(p[PLAYER_GOALS] - p[ENEMY_GOALS]));

    if (m_hideHud == 0) {
        p_ScoreBar();
        p_SetCol(128, 255, 128);
        p_SetSize(1, 1);
        String line =
            String(p[PLAYER_GOALS]) + String(" - ") + String(seconds) + String(" - ") + String(p[ENEMY_GOALS]);
        p_Text(32, 8, line, 0, 0);
    }
    return 0;
}
