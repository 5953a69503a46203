// Rev Urezov: a plane bombs a city of block towers flat so that it can land.
// The city is 16 columns by 7 rows at m_objects[kGrid r + c] (0 empty, 1
// intact, 2..30 crumbling); player record 0 is the plane and its bomb.
#include <cmath>

#include "game/myapp.h"

namespace {
// The plane: x, altitude in 16-pixel units, speed, the level's speed, the
// propeller counter, and where it was drawn last update.
enum { PLANE_X = 1, ALTITUDE = 2, PLANE_SPEED = 3, LEVEL_SPEED = 4, PROPELLER = 5, LAST_X = 8, LAST_Y = 9 };
// The bomb: in flight (1 or 0), x, y and fall speed.
enum { BOMB = 10, BOMB_X = 11, BOMB_Y = 12, BOMB_FALL = 13 };

const int kGrid = 100;  // cells per row of the city's index scheme
const int kColumns = 16;
const int kRows = 7;
}

int c_MyApp::p_GameTitle_Zevovever() {
    return p_GameTitle(String("Sky"), String("Lander"), String("Use your bombs"), String("to flatten the"),
                       String("building work to"), String("allow you to land."));
}

// Starts a level: the plane back at the top left, half a pixel per update
// faster, over a new city of towers 2 to 7 blocks high.
int c_MyApp::p_NextLander() {
    Array<float>& p = m_players;
    Array<float>& o = m_objects;
    p[PLANE_X] = 0;
    p[ALTITUDE] = 10;
    p[LEVEL_SPEED] += 0.5f;
    p[PLANE_SPEED] = p[LEVEL_SPEED];
    for (int c = 0; c < kColumns; ++c) {
        for (int r = 0; r < kRows; ++r) o[kGrid * r + c] = 0;
        int top = static_cast<int>(bb_random_Rnd2(0, 5.9f));
        for (int r = top; r < kRows; ++r) o[kGrid * r + c] = 1;
    }
    return 0;
}

int c_MyApp::p_LoadGame_Zevovever() {
    p_CommonSetup(1);
    p_ClearObjects();
    m_camX = m_camY = m_camTargetX = m_camTargetY = 0;
    // The first level runs at speed 1: one half-step below, then a level start.
    m_players[LEVEL_SPEED] = 0.5f;
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
            float& cell = o[kGrid * r + c];
            const float x = 16 * c + bb_Game_jscrw / 2 - 124;
            const float y = 16 * r + bb_Game_jscrh - 128;
            if (cell > 1) {
                if (!paused) cell += 1;
                float jy = bb_random_Rnd2(-8, 8);
                float jx = bb_random_Rnd2(-8, 8);
                p_DrawImg(IMG_SPRITES, x + jx, y + jy, 53);
                if (cell > 30) cell = 0;
            } else if (cell == 1) {
                standing = true;
                p_DrawImg(IMG_SPRITES, x, y, 90);
                if (paused) continue;
                // The crash test uses where the plane was drawn last update.
                if (std::fabs(x - p[LAST_X]) < 24 && std::fabs(y - p[LAST_Y]) < 12 && m_gameOver == 0) {
                    m_gameOver = 1;
                    p_PlaySFX(SFX_LOSE, 1, 1, 0);
                }
                if (p[BOMB] == 1 && std::fabs(x - p[BOMB_X]) < 16 && std::fabs(y - p[BOMB_Y]) < 16) {
                    cell = 2;
                    p[BOMB] = 0;
                    p_PlaySFX(SFX_CRASH, 1, 1, 0);
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
        p[PLANE_X] += p[PLANE_SPEED];
        if (p[PLANE_X] > bb_Game_jscrw) {
            p[PLANE_X] -= bb_Game_jscrw;
            p[ALTITUDE] -= 0.5f;
        }
    }

    if (!paused) p[PROPELLER] = std::fmod(p[PROPELLER] + 1, 15.0f);
    int blade = static_cast<int>(std::fmod(p[PROPELLER] / 3, 5.0f));
    float py = static_cast<float>(static_cast<int>(bb_Game_jscrh - 16 * p[ALTITUDE]));
    p_DrawImg(IMG_SPRITES, p[PLANE_X], py, static_cast<float>(80 + 2 * blade));
    p_DrawImg(IMG_SPRITES, p[PLANE_X] + 16, py, static_cast<float>(81 + 2 * blade));

    // With the city flat the plane glides down toward the middle and lands.
    if (!standing && !paused) {
        p[ALTITUDE] -= 0.05f;
        py = static_cast<float>(static_cast<int>(bb_Game_jscrh - 16 * p[ALTITUDE]));
        if (py < ground) p[PLANE_X] -= (p[PLANE_X] - bb_Game_jscrw / 2) * 0.0625f;
        if (py > ground) {
            p_PlaySFX(SFX_POINT, 1, 1, 0);
            p_NextLander();
            // The plane is back at the top: the next crash test and a bomb
            // dropped now start from there, not from the landing strip.
            py = static_cast<float>(static_cast<int>(bb_Game_jscrh - 16 * p[ALTITUDE]));
        }
    }

    if (p[BOMB] == 1 && moving) {
        p[BOMB_Y] += p[BOMB_FALL];
        if (p[BOMB_FALL] < 3) p[BOMB_FALL] += 0.1f;
        p_DrawImg(IMG_SPRITES, p[BOMB_X], p[BOMB_Y], 52);
        if (p[BOMB_Y] > ground) {
            p[BOMB] = 0;
            p_PlaySFX(SFX_CRASH, 1, 1, 0);
        }
    }

    p[LAST_X] = p[PLANE_X];
    p[LAST_Y] = py;

    // One bomb at a time, each needing a fresh press.
    bool drop = m_mouseDown >= 1 || p_PlayKeyAll(CTRL_DOWN, 1) || p_PlayKeyAll(CTRL_A, 1) || p_PlayKeyAll(CTRL_B, 1) ||
                p_PlayKeyAll(CTRL_X, 1);
    if (!paused && drop && m_keyLatch == 0 && m_touchLatch == 0 && p[BOMB] == 0) {
        m_keyLatch = m_touchLatch = 1;
        p[BOMB] = 1;
        p[BOMB_X] = p[PLANE_X] + 16;
        p[BOMB_Y] = py;
        p[BOMB_FALL] = 0;
    }

    p_ScoreBar();
    return 0;
}
