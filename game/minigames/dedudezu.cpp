// Dedu Dezu: a light-trail duel on a walled grid of 8-pixel cells. Cell
// (cx, cy) keeps its kind at m_objects[kGrid cy + cx] and its life in steps
// at kLife + kGrid cy + cx. Player records 0 (the player) to 3 (enemies) are
// the snakes.
#include <cmath>

#include "game/myapp.h"

namespace {
// A snake: its kind (KIND_DEAD while out), its cell and its direction.
enum { SNAKE_KIND = 0, SNAKE_X = 1, SNAKE_Y = 2, SNAKE_DIR = 3 };
// Player record 0 also keeps the life a new trail cell gets, the step tick,
// the step period in updates and the count to an enemy's re-entry.
enum { TRAIL_LIFE = 7, STEP_TICK = 20, STEP_PERIOD = 21, REENTRY = 23 };
enum { KIND_DEAD = 0, KIND_PLAYER = 1, KIND_PICKUP = 2, KIND_ENEMY = 7, KIND_WALL = 8 };
enum { DIR_UP = 1, DIR_RIGHT = 2, DIR_DOWN = 3, DIR_LEFT = 4 };
const int kGrid = 100;            // cells per row and column of the index scheme
const int kLife = kGrid * kGrid;  // offset of the life grid
const int kReentryEvery = 120;

// The kind of cell (cx, cy). Beyond the 100 x 100 cell grid every cell is
// wall: on a board that an extreme window shape squeezes to nothing no snake
// looks or runs off the arrays.
float CellKind(const Array<float>& o, int cx, int cy) {
    if (cx < 0 || cx >= kGrid || cy < 0 || cy >= kGrid) return KIND_WALL;
    return o[kGrid * cy + cx];
}
}  // namespace

int c_MyApp::p_GameTitle_DeduDezu() {
    return p_GameTitle(String("Kill"), String("Zone"), String("Destroy all"), String("of the enemy"),
                       String("snakes before"), String("they kill you."));
}

int c_MyApp::p_LoadGame_DeduDezu() {
    p_CommonSetup(0);  // every enemy record stays 0: all enemies start dead
    p_ClearObjects();
    m_camX = m_camY = m_camTargetX = m_camTargetY = 0;
    const int h = static_cast<int>((bb_Game_jscrh - 48) * 0.125f);
    Array<float>& p = m_players;
    p[SNAKE_KIND] = KIND_PLAYER;
    p[SNAKE_X] = 4;
    p[SNAKE_Y] = static_cast<float>(h / 2);
    p[SNAKE_DIR] = DIR_RIGHT;
    p[TRAIL_LIFE] = 24;
    p[STEP_TICK] = 0;
    p[STEP_PERIOD] = 8;
    return 0;
}

// While paused nothing moves; the board runs on beside the game-over
// sequence.
int c_MyApp::p_Game_DeduDezu() {
    Array<float>& p = m_players;
    Array<float>& o = m_objects;
    const int w = static_cast<int>(bb_Game_jscrw * 0.125f);
    const int h = static_cast<int>((bb_Game_jscrh - 48) * 0.125f);
    const bool moving = m_paused == 0;

    p_CLS2D(0, 0, 0, 1);
    p_CameraEase();
    if (moving) p_AnalogueControl();
    p_SetCol(255, 255, 255, 1);
    p_SetSize(1, 1);

    if (moving) {
        p[REENTRY] += 1;
        if (p[REENTRY] > kReentryEvery) p[REENTRY] = 0;
        if (p[STEP_PERIOD] < 4) p[STEP_PERIOD] = 4;
        if (p[SNAKE_KIND] == KIND_DEAD) p[STEP_PERIOD] = 4;
        p[STEP_TICK] += 1;
        if (!(p[STEP_TICK] < p[STEP_PERIOD])) p[STEP_TICK] = 0;
    }
    const bool stepTick = moving && p[STEP_TICK] == 0;

    bool playerTrail = false;
    for (int cx = 0; cx < w; ++cx) {
        for (int cy = 0; cy < h; ++cy) {
            const int c = kGrid * cy + cx;
            const float px = static_cast<float>(8 * cx + 4), py = static_cast<float>(8 * cy + 36);
            if (cx == 0 || cy == 0 || cx == w - 1 || cy == h - 1) {
                const int frame = 56 + (cx + cy) % 2;
                p_DrawImg(IMG_SPRITES, px, py, static_cast<float>(frame));
                if (moving) {
                    o[c] = static_cast<float>(frame);
                    o[kLife + c] = 10;
                }
            }
            const float kind = o[c];
            if (kind >= 1 && kind <= 9) {
                p_DrawImg(IMG_SPRITES, px, py, kind + 47);
                if (kind == KIND_PLAYER) playerTrail = true;
            }
            if (stepTick) {
                o[kLife + c] -= 1;
                if (o[kLife + c] < 0) {
                    // Fading trails sometimes leave a pickup behind.
                    bool fromPlayer = bb_random_Rnd2(0, 20) < 1;
                    bool fromOther = bb_random_Rnd2(0, 15) < 1;
                    if ((fromPlayer && kind == KIND_PLAYER) || (fromOther && kind > 5)) {
                        o[c] = KIND_PICKUP;
                        o[kLife + c] = 360;
                    } else {
                        o[c] = 0;
                        o[kLife + c] = 0;
                    }
                }
            }
        }
    }
    if (p[SNAKE_KIND] != KIND_DEAD) playerTrail = true;

    for (int s = 0; s < 4; ++s) {
        const int b = PLAYER_STRIDE * s;
        if (moving && s > 0 && p[b + SNAKE_KIND] == KIND_DEAD && p[REENTRY] == 0) {
            // Enter at a wall cell at least two cells from a corner, heading inward.
            p[REENTRY] = 1;
            int cx, cy;
            for (;;) {
                cx = static_cast<int>(bb_random_Rnd2(0, static_cast<float>(w)));
                cy = static_cast<int>(bb_random_Rnd2(0, static_cast<float>(h)));
                if ((cx == 0 || cx == w - 1) && cy >= 2 && cy <= h - 3) break;
                if ((cy == 0 || cy == h - 1) && cx >= 2 && cx <= w - 3) break;
            }
            p[b + SNAKE_KIND] = KIND_ENEMY;
            p[b + SNAKE_X] = static_cast<float>(cx);
            p[b + SNAKE_Y] = static_cast<float>(cy);
            if (cx == 0) p[b + SNAKE_DIR] = DIR_RIGHT;
            else if (cy == 0) p[b + SNAKE_DIR] = DIR_DOWN;
            else if (cx == w - 1) p[b + SNAKE_DIR] = DIR_LEFT;
            else p[b + SNAKE_DIR] = DIR_UP;
        }
        if (p[b + SNAKE_KIND] == KIND_DEAD) continue;

        int cx = static_cast<int>(p[b + SNAKE_X]);
        int cy = static_cast<int>(p[b + SNAKE_Y]);
        if (moving && s == 0) {
            // The player may not turn into its own trail; later tests win.
            if (m_analogX < -0.3f && cx > 0 && CellKind(o, cx - 1, cy) != KIND_PLAYER) p[b + SNAKE_DIR] = DIR_LEFT;
            if (m_analogX > 0.3f && cx < w - 1 && CellKind(o, cx + 1, cy) != KIND_PLAYER) p[b + SNAKE_DIR] = DIR_RIGHT;
            if (m_analogY < -0.3f && cy > 0 && CellKind(o, cx, cy - 1) != KIND_PLAYER) p[b + SNAKE_DIR] = DIR_UP;
            if (m_analogY > 0.3f && cy < h - 1 && CellKind(o, cx, cy + 1) != KIND_PLAYER) p[b + SNAKE_DIR] = DIR_DOWN;
        }
        if (moving && s > 0) {
            // Enemies turn at random, only into empty cells away from the walls.
            if (cx > 6 && CellKind(o, cx - 1, cy) == 0 && bb_random_Rnd2(0, 80) < 1) p[b + SNAKE_DIR] = DIR_LEFT;
            if (cx < w - 7 && CellKind(o, cx + 1, cy) == 0 && bb_random_Rnd2(0, 80) < 1) p[b + SNAKE_DIR] = DIR_RIGHT;
            if (cy > 6 && CellKind(o, cx, cy - 1) == 0 && bb_random_Rnd2(0, 80) < 1) p[b + SNAKE_DIR] = DIR_UP;
            if (cy < h - 7 && CellKind(o, cx, cy + 1) == 0 && bb_random_Rnd2(0, 80) < 1) p[b + SNAKE_DIR] = DIR_DOWN;
        }

        const float x = static_cast<float>(8 * cx + 4), y = static_cast<float>(8 * cy + 36);
        p_DrawImg(IMG_SPRITES, x, y, p[b + SNAKE_KIND] + 47);

        if (moving && p[STEP_TICK] == s) {
            switch (static_cast<int>(p[b + SNAKE_DIR])) {
                case DIR_UP: cy -= 1; break;
                case DIR_RIGHT: cx += 1; break;
                case DIR_DOWN: cy += 1; break;
                case DIR_LEFT: cx -= 1; break;
            }
            p[b + SNAKE_X] = static_cast<float>(cx);
            p[b + SNAKE_Y] = static_cast<float>(cy);
            const int c = kGrid * cy + cx;
            const float k = CellKind(o, cx, cy);
            float crashVolume = -1;
            if (k == KIND_PLAYER) {
                if (s > 0) {
                    m_score += 5;
                    p_PlaySFX(SFX_POINT, 1, 1, 0);
                    crashVolume = 0.7f;
                } else {
                    crashVolume = 1;
                }
            } else if (k == KIND_ENEMY || k >= KIND_WALL) {
                crashVolume = s > 0 ? 0.4f : 1.0f;
            } else if (k == KIND_PICKUP && s == 0) {
                p[TRAIL_LIFE] += 0.35f;
                m_score += 1;
                o[c] = 0;
                p[STEP_PERIOD] -= 0.1f;
                p_PlaySFX(SFX_POINT, 1, 1, 0);
            }
            if (crashVolume >= 0) {
                p[b + SNAKE_KIND] = KIND_DEAD;
                p_PlaySFX(SFX_CRASH, bb_random_Rnd2(0.8f, 1.2f), crashVolume, 0);
                if (s == 0) p_PlaySFX(SFX_LOSE, 1, 1, 0);
            } else {
                o[c] = p[b + SNAKE_KIND];
                o[kLife + c] = p[TRAIL_LIFE];
            }
        }
    }

    if (moving && p[SNAKE_KIND] == KIND_DEAD && !playerTrail) m_gameOver = 1;

    p_ScoreBar();
    return 0;
}
